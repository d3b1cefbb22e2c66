// A canvas over pixel memory: either a surface's own memory (in its format and palette)
// or a caller's block of 32-bit 0xFFRRGGBB pixels, top row first (what the user interface
// wraps a window image with). It fills, copies and draws wide lines; every write is
// limited to its pixels. Rectangles exclude their right column and bottom row.
#pragma once

#include <cstdint>

#include "engine/dib/dibtypes.h"

class TDIBUltra;

class DibCanvas {
public:
    explicit DibCanvas(TDIBUltra& Surface) : surface_(&Surface) {}
    DibCanvas(uint32_t* Rgb32, int Width, int Height, int BytesPerLine)
        : rgb_(Rgb32), width_(Width), height_(Height), rgbStride_(BytesPerLine) {}

    int Width() const;
    int Height() const;
    bool Bound() const { return surface_ != nullptr || rgb_ != nullptr; }

    TColor PenColor = 0;
    int PenWidth = 1;
    TColor BrushColor = 0xFFFFFF;

    void FillRect(const TRect& R);
    // R is (left, top, right, bottom), sizes may differ: the source is stretched
    void CopyRect(const TRect& Dest, DibCanvas& Source, const TRect& Src);
    void BitBlt(int X, int Y, int W, int H, DibCanvas& Source, int XSrc, int YSrc);
    void StretchBlt(int X, int Y, int W, int H, DibCanvas& Source, int XSrc, int YSrc, int WSrc, int HSrc);
    // lines in the pen colour and width, last point excluded
    void MoveTo(int X, int Y) { penX_ = X, penY_ = Y; }
    void LineTo(int X, int Y);

    TColor Pixel(int X, int Y) const;  // 0 outside
    void SetPixel(int X, int Y, TColor Color);

private:
    void Dot(int X, int Y, uint32_t Value);  // a square of PenWidth pixels, clipped
    uint32_t ValueOf(TColor Color) const;
    void PutValue(int X, int Y, uint32_t Value);

    TDIBUltra* surface_ = nullptr;
    uint32_t* rgb_ = nullptr;
    int width_ = 0, height_ = 0, rgbStride_ = 0;
    int penX_ = 0, penY_ = 0;
};
