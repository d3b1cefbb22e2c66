#include "snkins/vr/bitmapliststream.h"

#include <QBuffer>
#include <QIODevice>
#include <QImageWriter>
#include <QtEndian>

#include "snkins/vr/evrexception.h"

namespace {

constexpr int kFileHeader = 14;
constexpr int kMinFile = 54;  // file header and the 40-byte information header

const char* const kInvalidImage = "Bitmap image is not valid";

qint64 bytesLeft(QIODevice& s) { return s.isSequential() ? s.bytesAvailable() : s.size() - s.pos(); }

QByteArray readExact(QIODevice& s, qint64 n, const char* error)
{
    if (n > bytesLeft(s)) throw EVrException(error);
    QByteArray b = s.read(n);
    if (b.size() != n) throw EVrException(error);
    return b;
}

// little-endian fields, byte by byte (callers have checked the length)
quint32 u32(const QByteArray& b, int at)
{
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 | quint32(uchar(b[at + 2])) << 16 |
           quint32(uchar(b[at + 3])) << 24;
}
qint32 s32(const QByteArray& b, int at) { return qint32(u32(b, at)); }
quint16 u16(const QByteArray& b, int at) { return quint16(uchar(b[at]) | uchar(b[at + 1]) << 8); }

// The header checks that bound what the decoder will allocate by the bytes at hand.
bool soundHeader(const QByteArray& f)
{
    if (f.size() < kMinFile || f[0] != 'B' || f[1] != 'M' || u32(f, 2) != quint32(f.size())) return false;
    const quint32 info = u32(f, 14), offset = u32(f, 10);
    qint64 w, h;
    int bpp;
    quint32 compression = 0;
    if (info == 12) {
        w = u16(f, 18);
        h = u16(f, 20);
        bpp = u16(f, 24);
    } else if (info >= 40 && info <= 124) {
        w = s32(f, 18);
        h = s32(f, 22);
        bpp = u16(f, 28);
        compression = u32(f, 30);
    } else {
        return false;
    }
    if (h < 0) h = -h;
    if (w <= 0 || h == 0) return false;
    if (offset < kFileHeader + info || offset > quint32(f.size())) return false;
    const qint64 data = f.size() - qint64(offset);
    switch (bpp) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
    }
    switch (compression) {
    case 0:  // plain rows
    case 3:  // bit fields
        return ((w * bpp + 31) / 32) * 4 * h <= data;
    case 1:  // RLE8
    case 2:  // RLE4: a two-byte run gives at most 255 pixels
        return (compression == 1 ? bpp == 8 : bpp == 4) && w * h <= 128 * data;
    default: return false;
    }
}

}  // namespace

QByteArray EncodeBitmapFile(const QImage& image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "BMP");
    if (!writer.write(image)) throw EVrException("Cannot write a picture of the bitmap list");
    return buffer.data();
}

QImage DecodeBitmapFile(const QByteArray& file)
{
    if (!soundHeader(file)) return QImage();
    QImage image = QImage::fromData(file, "BMP");
    // a palette shorter than the pixel values reach: the missing colours are black
    if (image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono) {
        const int need = image.format() == QImage::Format_Mono ? 2 : 256;
        if (image.colorCount() < need) {
            QList<QRgb> table = image.colorTable();
            table.resize(need, qRgb(0, 0, 0));
            image.setColorTable(table);
        }
    }
    return image;
}

void ReadBitmapListStream(QIODevice& stream, const std::function<void(QImage&&)>& add)
{
    const QByteArray id = readExact(stream, 4, "Stream read error");
    if (u32(id, 0) != BitmapsFileId) throw EVrException("Invalid file format");
    const qint32 count = s32(readExact(stream, 4, "Stream read error"), 0);
    for (qint32 i = 0; i < count; ++i) {
        const QByteArray head = readExact(stream, 6, kInvalidImage);
        const quint32 size = u32(head, 2);
        if (head[0] != 'B' || head[1] != 'M' || size < quint32(kMinFile) || size - 6 > quint64(bytesLeft(stream)))
            throw EVrException(kInvalidImage);
        QImage image = DecodeBitmapFile(head + readExact(stream, size - 6, kInvalidImage));
        if (image.isNull()) throw EVrException(kInvalidImage);
        add(std::move(image));
    }
}

void WriteBitmapListStream(QIODevice& stream, const QList<const QImage*>& bitmaps)
{
    QByteArray out(8, '\0');
    qToLittleEndian<quint32>(BitmapsFileId, out.data());
    qToLittleEndian<qint32>(qint32(bitmaps.size()), out.data() + 4);
    for (const QImage* image : bitmaps) out += EncodeBitmapFile(*image);
    if (stream.write(out) != out.size()) throw EVrException("Stream write error");
}
