// The bitmap list stream: the stored form of a collection of pictures (a file, a form's data, a
// generated resource). Little-endian: the id 0x00355462, a signed 32-bit count N, then N complete
// Windows BMP file images one after another, each as long as its own file-size field says.
//
// Reading is bounded by the stream: no read goes past its end and no picture is made larger
// than the bytes it comes from allow, whatever the count and size fields claim.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <cstdint>
#include <functional>

class QIODevice;

inline constexpr uint32_t BitmapsFileId = 0x00355462;

// Reads a stream from the device's current position and hands each picture to `add` as soon as
// it is read, so that the pictures before a damaged one are kept by the caller. Throws
// EVrException: "Invalid file format" when the id differs (nothing is handed over), "Stream read
// error" when the stream ends inside the id or the count, "Bitmap image is not valid" at the
// first picture that is damaged or claims more bytes than the stream has left. A count of 0 or
// below reads nothing.
void ReadBitmapListStream(QIODevice& stream, const std::function<void(QImage&&)>& add);

// Writes the id, the count and every picture as a BMP file image.
void WriteBitmapListStream(QIODevice& stream, const QList<const QImage*>& bitmaps);

// One picture as a complete BMP file image (the generator's and the skin packs' encoding: 24 bits,
// or 32 with alpha), and back. DecodeBitmapFile is false for bytes that are not a sound BMP file
// of exactly their own length; a 0 x 0 file is an empty picture, and a palette shorter than its
// pixel values reach is filled up with black.
QByteArray EncodeBitmapFile(const QImage& image);
bool DecodeBitmapFile(const QByteArray& file, QImage& image);
