// The kit's pictures, drawn at build time into the ":/kit/" resources (snkins/art/kit_quor.cpp).
// The program and each test link ostrel_art_kit to have them.
#pragma once

#include <QImage>

// The picture ":/kit/<name>" as a 32-bit image; an empty image when the resource is missing.
QImage kitPicture(const char* name);

// A copy of `img` in which every pixel of the colour `key` (24-bit compare) is see-through:
// how the kit draws a picture "with a transparent colour".
QImage keyedCopy(const QImage& img, QRgb key);

// The colour of the bottom-left pixel, the default transparent colour of a picture; black for
// an empty one.
QRgb bottomLeftColour(const QImage& img);
