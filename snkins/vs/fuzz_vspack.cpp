// libFuzzer target: any bytes given to the skin graphics pack reader load, or throw SkinError
// keeping the entries before the fault; never a crash, a read out of bounds or an allocation
// beyond the input. What loads saves and loads back to the same bytes.
#include <QBuffer>
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "snkins/vs/skinerror.h"
#include "snkins/vs/tvsgraphics.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    TVsGraphics graphics;
    try {
        graphics.LoadFromStream(in);
    } catch (const SkinError&) {
    }
    QByteArray saved;
    QBuffer out(&saved);
    out.open(QIODevice::WriteOnly);
    graphics.SaveToStream(out);
    out.close();
    out.open(QIODevice::ReadOnly);
    TVsGraphics again;
    again.LoadFromStream(out);  // what was saved always loads
    if (again.Count() != graphics.Count()) std::abort();
    return 0;
}
