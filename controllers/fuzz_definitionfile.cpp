// libFuzzer target: the MIDI definition loader (controller 1 or 2 by the input's length) and the
// keyboard map loader on any bytes. Every load must end, write inside its tables and at worst show the load's message.
#include <cstdint>

#include <QByteArray>

#include "controllers/controllertables.h"
#include "controllers/quietsurface.h"
#include "controllers/tcontroladora.h"


extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QuietSurface surface;
    static ControllerTables tables;
    TControladora loader(tables, surface, QString());
    loader.pauseMs = 0;
    const QByteArray xml(reinterpret_cast<const char*>(data), int(size));
    // one controller's load per input (each clears two tables of 65,536 entries), then the keyboard map
    loader.loadcontrollerData(size % 2 == 0 ? 1 : 2, xml);
    loader.loadtecladoData(xml);
    return 0;
}
