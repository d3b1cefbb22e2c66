#include <cstddef>
#include <cstdint>

#include <QBuffer>
#include <QByteArray>

#include "library/taudioinfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    TAudioInfo a;
    a.fMaxGapBeforeMpeg = 2048;
    a.LoadFromStream(&buf, static_cast<int64_t>(size));
    TMpegFrameHdr h;
    h.Locate(data, static_cast<int64_t>(size));
    return 0;
}
