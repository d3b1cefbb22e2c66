#include "snkins/vr/bitmapliststream.h"

#include <QIODevice>
#include <QtEndian>

#include "snkins/vr/evrexception.h"
#include "snkins/vs/bmpfile.h"
#include "snkins/vs/vsstream.h"

namespace {

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

quint32 u32(const QByteArray& b, int at) { return littleEndianAt(b, at, 4); }

}  // namespace

QByteArray EncodeBitmapFile(const QImage& image) { return encodeBmp(image); }

bool DecodeBitmapFile(const QByteArray& file, QImage& image)
{
    if (file.size() < kMinFile || u32(file, 2) != quint32(file.size())) return false;
    QImage decoded;
    if (!decodeBmp(file, decoded)) return false;
    // a palette shorter than the pixel values reach: the missing colours are black
    if (decoded.format() == QImage::Format_Indexed8 || decoded.format() == QImage::Format_Mono) {
        const int need = decoded.format() == QImage::Format_Mono ? 2 : 256;
        if (decoded.colorCount() < need) {
            QList<QRgb> table = decoded.colorTable();
            table.resize(need, qRgb(0, 0, 0));
            decoded.setColorTable(table);
        }
    }
    image = decoded;
    return true;
}

void ReadBitmapListStream(QIODevice& stream, const std::function<void(QImage&&)>& add)
{
    const QByteArray id = readExact(stream, 4, "Stream read error");
    if (u32(id, 0) != BitmapsFileId) throw EVrException("Invalid file format");
    const qint32 count = qint32(u32(readExact(stream, 4, "Stream read error"), 0));
    for (qint32 i = 0; i < count; ++i) {
        const QByteArray head = readExact(stream, 6, kInvalidImage);
        const quint32 size = u32(head, 2);
        if (head[0] != 'B' || head[1] != 'M' || size < quint32(kMinFile) || size - 6 > quint64(bytesLeft(stream)))
            throw EVrException(kInvalidImage);
        QImage image;
        if (!DecodeBitmapFile(head + readExact(stream, size - 6, kInvalidImage), image))
            throw EVrException(kInvalidImage);
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
