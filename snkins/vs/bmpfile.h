// BMP file images: the bytes a bitmap file holds ("BM" file header, info header, optional
// palette, pixel rows). Used by the skin graphics packs and by the art generator.
#pragma once

#include <QByteArray>
#include <QImage>

// Encodes an image as a BMP file (bottom-up rows, no compression). 24 bits per pixel for an
// opaque image, 32 for one with alpha. Deterministic: the same image gives the same bytes.
// A null image gives a 0 x 0 file.
QByteArray encodeBmp(const QImage& image);

// Decodes a whole BMP file image into `image`. A 0 x 0 file gives a null image. False for
// anything else that is not a BMP of 1, 4, 8, 16, 24 or 32 bits (plain, bit fields or RLE),
// and for one whose pixel rows the bytes cannot hold: a header never makes it allocate more
// than the file can describe.
bool decodeBmp(const QByteArray& file, QImage& image);
