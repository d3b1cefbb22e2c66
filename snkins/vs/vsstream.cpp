#include "snkins/vs/vsstream.h"

#include <QtEndian>

#include "snkins/vs/skinerror.h"

namespace {

[[noreturn]] void readError() { throw SkinError(QStringLiteral("Stream read error")); }

}  // namespace

QByteArray readStreamBytes(QIODevice& stream, qint64 count)
{
    if (count < 0) readError();
    if (!stream.isSequential() && stream.size() - stream.pos() < count) readError();
    // in slices, so that a pipe claiming more than it has costs at most one slice
    constexpr qint64 slice = 1 << 20;
    QByteArray out;
    while (out.size() < count) {
        const qint64 want = qMin(slice, count - out.size());
        const QByteArray part = stream.read(want);
        if (part.isEmpty()) readError();  // no waiting: what is not there now is missing
        out += part;
    }
    return out;
}

qint32 readStreamInt32(QIODevice& stream)
{
    return qint32(littleEndianAt(readStreamBytes(stream, 4), 0, 4));
}

quint8 readStreamByte(QIODevice& stream)
{
    return quint8(readStreamBytes(stream, 1).at(0));
}

void writeStreamBytes(QIODevice& stream, const QByteArray& bytes)
{
    if (stream.write(bytes) != bytes.size()) throw SkinError(QStringLiteral("Stream write error"));
}

void writeStreamInt32(QIODevice& stream, qint32 value)
{
    char b[4];
    qToLittleEndian(value, b);
    writeStreamBytes(stream, QByteArray(b, 4));
}
