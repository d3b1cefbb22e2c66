#include "snkins/vs/trgndata.h"

#include <QList>
#include <QRect>
#include <QtEndian>
#include <climits>

#include "snkins/vs/skinerror.h"
#include "snkins/vs/vsstream.h"

namespace {

constexpr int kHeader = 32;

void put32(QByteArray& b, qsizetype at, qint32 v) { qToLittleEndian(v, b.data() + at); }
qint32 get32(const QByteArray& b, qsizetype at) { return qint32(littleEndianAt(b, at, 4)); }

// Rows from the top, runs left to right, every run of a row as high as the row and clear of
// the one before it: the order QRegion::setRects takes without re-sorting.
bool banded(const QList<QRect>& rects)
{
    for (qsizetype i = 1; i < rects.size(); ++i) {
        const QRect& a = rects[i - 1];
        const QRect& b = rects[i];
        const bool sameRow = b.top() == a.top() && b.bottom() == a.bottom() && b.left() > a.right();
        if (!sameRow && b.top() <= a.bottom()) return false;
    }
    return true;
}

}  // namespace

void TRgnData::SetSize(int size)
{
    if (size == FSize) return;
    FBuffer.resize(qMax(size, 0), '\0');
    FSize = int(FBuffer.size());
}

void TRgnData::SetRegion(const QRegion& region)
{
    const qsizetype count = region.rectCount();
    if (count == 0) {
        Clear();
        return;
    }
    SetSize(int(kHeader + count * 16));
    const QRect bound = region.boundingRect();
    put32(FBuffer, 0, kHeader);
    put32(FBuffer, 4, 1);
    put32(FBuffer, 8, qint32(count));
    put32(FBuffer, 12, qint32(count * 16));
    put32(FBuffer, 16, bound.left());
    put32(FBuffer, 20, bound.top());
    put32(FBuffer, 24, bound.left() + bound.width());
    put32(FBuffer, 28, bound.top() + bound.height());
    qsizetype at = kHeader;
    for (const QRect& r : region) {
        put32(FBuffer, at, r.left());
        put32(FBuffer, at + 4, r.top());
        put32(FBuffer, at + 8, r.left() + r.width());
        put32(FBuffer, at + 12, r.top() + r.height());
        at += 16;
    }
}

QRegion TRgnData::CreateRegion() const
{
    if (FSize < kHeader || get32(FBuffer, 0) != kHeader || get32(FBuffer, 4) != 1) return QRegion();
    const qint64 count = get32(FBuffer, 8);
    if (count <= 0 || count > (FSize - kHeader) / 16) return QRegion();
    QList<QRect> rects;
    rects.reserve(count);
    for (qint64 i = 0; i < count; ++i) {
        const qsizetype at = kHeader + i * 16;
        const qint64 l = get32(FBuffer, at), t = get32(FBuffer, at + 4);
        const qint64 r = get32(FBuffer, at + 8), b = get32(FBuffer, at + 12);
        if (r <= l || b <= t || r - l > INT_MAX || b - t > INT_MAX) return QRegion();
        rects.append(QRect(int(l), int(t), int(r - l), int(b - t)));
    }
    QRegion region;
    if (banded(rects)) {
        region.setRects(rects.constData(), int(rects.size()));
    } else {
        for (const QRect& r : rects) region += r;
    }
    return region;
}

void TRgnData::SaveToStream(QIODevice& stream) const
{
    writeStreamInt32(stream, FSize);
    writeStreamBytes(stream, FBuffer);
}

void TRgnData::LoadFromStream(QIODevice& stream)
{
    const qint32 size = readStreamInt32(stream);
    if (size < 0) throw SkinError(QStringLiteral("Stream read error"));
    FBuffer = readStreamBytes(stream, size);
    FSize = size;
}
