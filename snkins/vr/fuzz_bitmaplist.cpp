// libFuzzer target: any bytes given to the bitmap list reader are refused with EVrException or
// give pictures; never a crash, a read past the stream, or a picture larger than its bytes allow.
#include <QBuffer>
#include <QByteArray>
#include <QtGlobal>
#include <cstdint>

#include "snkins/vr/bitmapliststream.h"
#include "snkins/vr/evrexception.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // the image reader's warnings about odd palettes would drown the fuzzer's own output
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QBuffer buffer;
    buffer.setData(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    buffer.open(QIODevice::ReadOnly);
    try {
        ReadBitmapListStream(buffer, [size](QImage&& image) {
            // every picture comes from at most `size` bytes: 1 bit a pixel is the densest format,
            // and an RLE run of two bytes gives at most 255 pixels
            if (qint64(image.width()) * image.height() > qint64(size) * 128 + 64) __builtin_trap();
            volatile uint32_t sum = 0;
            for (int y = 0; y < image.height(); ++y) sum = sum + image.pixel(image.width() - 1, y);
        });
    } catch (const EVrException&) {
    }
    if (buffer.pos() > buffer.size()) __builtin_trap();
    return 0;
}
