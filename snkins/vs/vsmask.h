// The window region cut out by a mask colour: every pixel of that colour lies outside the
// window and takes no clicks. Shared by the skinned surface and the splash.
#pragma once

#include <QImage>
#include <QRegion>

// The region of `bitmap`'s pixels that differ from `maskColor` (compared as 24-bit RGB, alpha
// ignored), one rectangle per run of such pixels in each row, rows with the same runs one
// above the other joined into one band, moved by (offsetX, offsetY). An image whose every
// pixel has the mask colour gives an empty region.
QRegion ExtGenerateMask(int offsetX, int offsetY, const QImage& bitmap, QRgb maskColor);
