// libFuzzer target: the HID definition loader of controller 1 or 2 (by the input's length) on any
// bytes, then the input's first bytes as an input report decoded with the tables it loaded, each
// event going through the HID input handler into the dispatcher. Every load must end and every
// position it names must stay inside the tables and the report.
#include <cstdint>

#include <QByteArray>

#include "controllers/controllertables.h"
#include "controllers/dispatch/actiondispatcher.h"
#include "controllers/dispatch/controllervalues.h"
#include "controllers/dispatch/dispatcherstate.h"
#include "controllers/dispatch/tinfo.h"
#include "controllers/hid/hidcontrollers.h"
#include "controllers/quietsurface.h"
#include "controllers/tcontroladora.h"
#include "engine/psoundconfig.h"
#include "platform/hid/fakehidbackend.h"

namespace {

struct World {
    QuietSurface surface;
    ControllerTables tables;
    ControllerValues values;
    DispatcherState state;
    PSoundConfig config;
    TInfo bp;
    hid::FakeHidBackend backend;
    ActionDispatcher dispatcher{surface, values, state, tables};
    HidControllers hid{tables, state, surface, config, bp, [this](TInfo& e) { dispatcher.updatecontroler(e); }, backend,
                       QString()};
    World()
    {
        hid.createDrivers();
        hid.hidcontrol1->FonButton = [this](TOstrelHid* s, bool on, int c, int a1, int a2) {
            hid.hIDCONTROL1Button(s, on, c, a1, a2);
        };
        hid.Hidcontrol2->FonButton = [this](TOstrelHid* s, bool on, int c, int a1, int a2) {
            hid.Hidcontrol2Button(s, on, c, a1, a2);
        };
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static World w;
    TControladora loader(w.tables, w.surface, QString());
    loader.pauseMs = 0;
    const int controller = size % 2 == 0 ? 1 : 2;
    loader.loadhidcontrollerData(controller, QByteArray(reinterpret_cast<const char*>(data), int(size)));
    TOstrelHid* driver = controller == 1 ? w.hid.hidcontrol1.get() : static_cast<TOstrelHid*>(w.hid.Hidcontrol2.get());
    // a report exactly as long as what the input gives, so that a read past it shows
    const int n = int(size < 24 ? size : 24);
    driver->ShowRead(nullptr, n > 0 ? data[0] : 0, n > 1 ? data + 1 : nullptr, n > 1 ? n - 1 : 0);
    return 0;
}
