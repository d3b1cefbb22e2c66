// A window region in serialised form: a 32-byte header (int32 header size 32, int32 kind 1
// for rectangles, int32 rectangle count, int32 byte size of the rectangles, then the
// bounding rectangle) followed by the rectangles, each int32 left, top, right, bottom
// (right and bottom exclusive), in rows from the top and left to right within a row.
// All integers little-endian.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QRegion>

class TRgnData {
public:
    int Size() const { return FSize; }
    const QByteArray& Buffer() const { return FBuffer; }
    bool IsEmpty() const { return FSize == 0; }

    // Resizes the buffer (contents kept up to the new size, the rest zero).
    void SetSize(int size);
    void Clear() { SetSize(0); }

    // The serialised form of `region`; an empty region clears the data.
    void SetRegion(const QRegion& region);
    // The region the buffer describes; empty for data that is empty or malformed.
    QRegion CreateRegion() const;

    // int32 size, then the buffer. Loading reads no more than the stream holds and throws
    // SkinError on a short stream or a negative size.
    void SaveToStream(QIODevice& stream) const;
    void LoadFromStream(QIODevice& stream);

private:
    int FSize = 0;
    QByteArray FBuffer;
};
