#include <cstddef>
#include <cstdint>

#include <QBuffer>
#include <QByteArray>

#include "library/tid3v2tag.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    TID3v2Tag t;
    t.LoadFromStream(&buf, static_cast<int64_t>(size));
    if (t.GetSize() > static_cast<int64_t>(size) && size >= 10) __builtin_trap();
    TID3v2Tag frames;
    frames.Load(data, static_cast<int64_t>(size));
    return 0;
}
