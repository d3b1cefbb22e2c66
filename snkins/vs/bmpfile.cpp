#include "snkins/vs/bmpfile.h"

#include "snkins/vs/vsstream.h"

#include <QtEndian>
#include <cstdint>
#include <cstdlib>

namespace {

void put16(QByteArray& b, int at, quint16 v) { qToLittleEndian(v, b.data() + at); }
void put32(QByteArray& b, int at, quint32 v) { qToLittleEndian(v, b.data() + at); }
quint16 get16(const QByteArray& b, int at) { return quint16(littleEndianAt(b, at, 2)); }
quint32 get32(const QByteArray& b, int at) { return littleEndianAt(b, at, 4); }

}  // namespace

QByteArray encodeBmp(const QImage& source)
{
    const bool alpha = source.hasAlphaChannel();
    const QImage img = source.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const int w = img.width(), h = img.height();
    const int bpp = alpha ? 4 : 3;
    const int stride = (w * bpp + 3) & ~3;
    const int headers = 14 + 40;
    QByteArray b(headers + stride * h, '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, quint32(b.size()));
    put32(b, 10, headers);
    put32(b, 14, 40);
    put32(b, 18, quint32(w));
    put32(b, 22, quint32(h));
    put16(b, 26, 1);
    put16(b, 28, quint16(bpp * 8));
    put32(b, 34, quint32(stride * h));
    put32(b, 38, 2835);  // 72 dpi
    put32(b, 42, 2835);
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        char* out = b.data() + headers + (h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            const QRgb p = line[x];
            *out++ = char(qBlue(p));
            *out++ = char(qGreen(p));
            *out++ = char(qRed(p));
            if (alpha) *out++ = char(qAlpha(p));
        }
    }
    return b;
}

bool decodeBmp(const QByteArray& file, QImage& image)
{
    const qint64 n = file.size();
    if (n < 14 + 12 || file[0] != 'B' || file[1] != 'M') return false;
    const qint64 offBits = get32(file, 10);
    const qint64 infoSize = get32(file, 14);
    qint64 w, h;
    int bits;
    quint32 compression = 0;
    if (infoSize == 12) {  // the old core header: 16-bit sizes
        w = get16(file, 18);
        h = qint16(get16(file, 20));
        bits = get16(file, 24);
    } else if (infoSize >= 40 && 14 + infoSize <= n) {
        w = qint32(get32(file, 18));
        h = qint32(get32(file, 22));
        bits = get16(file, 28);
        compression = get32(file, 30);
    } else {
        return false;
    }
    if (w < 0) return false;
    if (w == 0 || h == 0) {
        image = QImage();
        return true;
    }
    h = std::llabs(h);
    if (offBits < 14 + infoSize || offBits > n) return false;
    const qint64 pixelBytes = n - offBits;
    switch (compression) {
    case 0:  // plain rows
    case 3:  // bit fields
    case 6: {
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
        if (compression != 0 && bits != 16 && bits != 32) return false;
        const qint64 stride = (w * bits + 31) / 32 * 4;
        if (stride > pixelBytes || stride * h > pixelBytes) return false;  // no overflow: both below 2^32
        break;
    }
    case 1:  // RLE8
    case 2:  // RLE4: a run of two bytes paints at most 255 pixels
        if (bits != (compression == 1 ? 8 : 4)) return false;
        if (w * h > pixelBytes * 128) return false;
        break;
    default:
        return false;
    }
    QImage decoded;
    if (!decoded.loadFromData(file, "BMP") || decoded.isNull()) return false;
    image = decoded;
    return true;
}
