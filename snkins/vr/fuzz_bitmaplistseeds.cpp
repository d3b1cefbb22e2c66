// fuzz_bitmaplistseeds DIR: writes seed streams for fuzz_bitmaplist: pictures of every BMP depth
// the reader meets (1, 4 and 8 bits with palettes, 16, 24 and 32 bits, RLE, top-down rows), alone
// and in lists, and a few broken ones.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QtEndian>
#include <cstdio>

#include "snkins/vr/bitmapliststream.h"

namespace {

QImage picture(int w, int h, QImage::Format format)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x * 40, y * 60, (x + y) * 20));
    if (format == QImage::Format_Indexed8 || format == QImage::Format_Mono)
        return img.convertToFormat(format, Qt::ThresholdDither);
    return img.convertToFormat(format);
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray list(const QList<QByteArray>& files)
{
    QByteArray out = le32(BitmapsFileId) + le32(quint32(files.size()));
    for (const QByteArray& f : files) out += f;
    return out;
}

// A BMP file written by hand: `bpp` bits, optional compression, rows bottom-up unless topDown.
QByteArray handBmp(int w, int h, int bpp, int compression, const QByteArray& pixels, int colours, bool topDown)
{
    QByteArray info(40, '\0');
    qToLittleEndian<quint32>(40, info.data());
    qToLittleEndian<qint32>(w, info.data() + 4);
    qToLittleEndian<qint32>(topDown ? -h : h, info.data() + 8);
    qToLittleEndian<quint16>(1, info.data() + 12);
    qToLittleEndian<quint16>(quint16(bpp), info.data() + 14);
    qToLittleEndian<quint32>(quint32(compression), info.data() + 16);
    qToLittleEndian<quint32>(quint32(pixels.size()), info.data() + 20);
    qToLittleEndian<quint32>(quint32(colours), info.data() + 32);
    QByteArray palette;
    for (int i = 0; i < colours; ++i) palette += QByteArray::fromHex(QByteArray::number(i * 0x10203 & 0xFFFFFF, 16).rightJustified(6, '0')) + '\0';
    QByteArray file = "BM" + le32(0) + le32(0) + le32(quint32(14 + 40 + palette.size())) + info + palette + pixels;
    qToLittleEndian<quint32>(quint32(file.size()), file.data() + 2);
    return file;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: fuzz_bitmaplistseeds DIR\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    QList<QPair<QString, QByteArray>> seeds;
    QList<QByteArray> files;
    for (auto format : {QImage::Format_Mono, QImage::Format_Indexed8, QImage::Format_RGB16, QImage::Format_RGB32,
                        QImage::Format_ARGB32}) {
        QByteArray f = EncodeBitmapFile(picture(7, 5, format));
        if (format == QImage::Format_Mono || format == QImage::Format_Indexed8) {  // with a palette
            QBuffer b;
            b.open(QIODevice::WriteOnly);
            picture(7, 5, format).save(&b, "BMP");
            f = b.data();
        }
        files << f;
        seeds.append({QStringLiteral("format-%1.bls").arg(int(format)), list({f})});
    }
    seeds.append({QStringLiteral("all.bls"), list(files)});
    // RLE8: two runs and an end of bitmap; RLE4 the same
    seeds.append({QStringLiteral("rle8.bls"),
                  list({handBmp(8, 2, 8, 1, QByteArray::fromHex("0801080200000801080200000001"), 4, false)})});
    seeds.append({QStringLiteral("rle4.bls"),
                  list({handBmp(8, 2, 4, 2, QByteArray::fromHex("081208340000081208340000000001"), 4, false)})});
    seeds.append({QStringLiteral("4bit-topdown.bls"),
                  list({handBmp(8, 2, 4, 0, QByteArray::fromHex("0123456789ABCDEF"), 16, true)})});
    seeds.append({QStringLiteral("empty.bls"), list({})});
    seeds.append({QStringLiteral("truncated.bls"), list(files).left(60)});
    seeds.append({QStringLiteral("count-high.bls"), le32(BitmapsFileId) + le32(1000) + files.first()});
    for (const auto& [name, bytes] : seeds) {
        QFile f(dir + QLatin1Char('/') + name);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return 1;
    }
    std::printf("%lld seeds in %s\n", qlonglong(seeds.size()), argv[1]);
    return 0;
}
