// Reading and writing the skin engine's binary streams. A read never allocates more than the
// stream really holds: a length the rest of the stream cannot hold throws
// SkinError("Stream read error") before or while it is read, whatever the device (file,
// resource, buffer). Nothing waits: bytes a sequential device has not received are missing.
#pragma once

#include <QByteArray>
#include <QIODevice>

QByteArray readStreamBytes(QIODevice& stream, qint64 count);
// The next `count` bytes added to the end of `out` (kept as it was when they are missing).
void appendStreamBytes(QIODevice& stream, qint64 count, QByteArray& out);
qint32 readStreamInt32(QIODevice& stream);
quint8 readStreamByte(QIODevice& stream);

// The little-endian number of `bytes` bytes (1 to 4) at `at`; the caller has checked the size.
inline quint32 littleEndianAt(const QByteArray& data, qsizetype at, int bytes)
{
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | quint8(data.at(at + i));
    return v;
}

// Throw SkinError("Stream write error") when the device takes fewer bytes.
void writeStreamBytes(QIODevice& stream, const QByteArray& bytes);
void writeStreamInt32(QIODevice& stream, qint32 value);
