#include <cstddef>
#include <cstdint>

#include <QBuffer>
#include <QByteArray>

#include "library/tid3v1tag.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TID3v1Tag t;
    t.Load(data, static_cast<int64_t>(size));
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    t.LoadFromStream(&buf, static_cast<int64_t>(size));
    if (t.fOk) {
        uint8_t out[128];
        t.Save(out, sizeof out);
        TID3v1Tag back;
        back.Load(out, sizeof out);
        if (!back.fOk) __builtin_trap();
    }
    return 0;
}
