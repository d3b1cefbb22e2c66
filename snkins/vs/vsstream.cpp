#include "snkins/vs/vsstream.h"

#include <QtEndian>

#include "snkins/vs/skinerror.h"

namespace {

[[noreturn]] void readError() { throw SkinError(QStringLiteral("Stream read error")); }

}  // namespace

void appendStreamBytes(QIODevice& stream, qint64 count, QByteArray& out)
{
    if (count < 0) readError();
    if (!stream.isSequential() && stream.size() - stream.pos() < count) readError();
    // in slices, so that a pipe claiming more than it has costs at most one slice; each slice is
    // read straight into its place
    constexpr qint64 slice = 1 << 20;
    const qint64 start = out.size(), end = start + count;
    while (out.size() < end) {
        const qint64 at = out.size();
        const qint64 want = qMin(slice, end - at);
        out.resize(at + want);
        const qint64 got = stream.read(out.data() + at, want);
        if (got <= 0) {  // no waiting: what is not there now is missing
            out.resize(start);
            readError();
        }
        out.resize(at + got);
    }
}

QByteArray readStreamBytes(QIODevice& stream, qint64 count)
{
    QByteArray out;
    appendStreamBytes(stream, count, out);
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
