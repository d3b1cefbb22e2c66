#include "engine/dib/dibcanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/dib/tdibultra.h"

namespace {

inline uint32_t ToRgb32(TColor c)
{
    return 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}
inline TColor FromRgb32(uint32_t v)
{
    return (v >> 16 & 0xFF) | (v & 0xFF00) | (v & 0xFF) << 16;
}

bool SamePalette(const TDIBUltra& a, const TDIBUltra& b)
{
    if (a.DIBResol > DUpf8) return true;
    return a.DIBLogPal.Count == b.DIBLogPal.Count &&
           std::memcmp(a.DIBLogPal.Entries, b.DIBLogPal.Entries, sizeof(TPaletteEntry) * a.DIBLogPal.Count) == 0;
}

}  // namespace

int DibCanvas::Width() const { return surface_ ? surface_->DIBWidth : width_; }
int DibCanvas::Height() const { return surface_ ? surface_->DIBHeight : height_; }

uint32_t DibCanvas::ValueOf(TColor Color) const
{
    return surface_ ? surface_->GetIndexFromColor(Color) : ToRgb32(Color);
}

void DibCanvas::PutValue(int X, int Y, uint32_t Value)
{
    if (surface_) surface_->DirectPlot(X, Y, Value);
    else rgb_[int64_t(Y) * (rgbStride_ / 4) + X] = Value;
}

TColor DibCanvas::Pixel(int X, int Y) const
{
    if (X < 0 || Y < 0 || X >= Width() || Y >= Height()) return 0;
    if (surface_) return surface_->GetPixel(X, Y);
    return FromRgb32(rgb_[int64_t(Y) * (rgbStride_ / 4) + X]);
}

void DibCanvas::SetPixel(int X, int Y, TColor Color)
{
    if (X < 0 || Y < 0 || X >= Width() || Y >= Height()) return;
    PutValue(X, Y, ValueOf(Color));
}

void DibCanvas::FillRect(const TRect& R)
{
    if (!Bound()) return;
    const int l = std::max(R.Left, 0), t = std::max(R.Top, 0);
    const int r = std::min(R.Right, Width()), b = std::min(R.Bottom, Height());
    if (l >= r || t >= b) return;
    const uint32_t v = ValueOf(BrushColor);
    if (!surface_ || surface_->DIBBPP < 8) {
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x) PutValue(x, y, v);
        return;
    }
    // one row in the surface's format, copied down
    const int bpp = surface_->BytesPerPixel();
    uint8_t pattern[4];
    std::memcpy(pattern, &v, 4);
    uint8_t* first = surface_->GetScanLine(t) + l * bpp;
    for (int x = 0; x < r - l; ++x) std::memcpy(first + x * bpp, pattern, bpp);
    for (int y = t + 1; y < b; ++y) std::memcpy(surface_->GetScanLine(y) + l * bpp, first, size_t(r - l) * bpp);
}

void DibCanvas::CopyRect(const TRect& Dest, DibCanvas& Source, const TRect& Src)
{
    StretchBlt(Dest.Left, Dest.Top, Dest.Right - Dest.Left, Dest.Bottom - Dest.Top, Source, Src.Left, Src.Top,
               Src.Right - Src.Left, Src.Bottom - Src.Top);
}

void DibCanvas::BitBlt(int X, int Y, int W, int H, DibCanvas& Source, int XSrc, int YSrc)
{
    StretchBlt(X, Y, W, H, Source, XSrc, YSrc, W, H);
}

void DibCanvas::StretchBlt(int X, int Y, int W, int H, DibCanvas& Source, int XSrc, int YSrc, int WSrc, int HSrc)
{
    if (!Bound() || !Source.Bound() || W <= 0 || H <= 0 || WSrc <= 0 || HSrc <= 0) return;
    const bool same = W == WSrc && H == HSrc;
    // destination pixels whose source lies inside both pictures
    auto srcX = [&](int64_t i) { return XSrc + i * WSrc / W; };
    auto srcY = [&](int64_t j) { return YSrc + j * HSrc / H; };
    int64_t i0 = std::max<int64_t>(0, -int64_t(X)), i1 = std::min<int64_t>(W, int64_t(Width()) - X);
    int64_t j0 = std::max<int64_t>(0, -int64_t(Y)), j1 = std::min<int64_t>(H, int64_t(Height()) - Y);
    while (i0 < i1 && srcX(i0) < 0) ++i0;
    while (i1 > i0 && srcX(i1 - 1) >= Source.Width()) --i1;
    while (j0 < j1 && srcY(j0) < 0) ++j0;
    while (j1 > j0 && srcY(j1 - 1) >= Source.Height()) --j1;
    if (i0 >= i1 || j0 >= j1) return;

    TDIBUltra* s = Source.surface_;
    TDIBUltra* d = surface_;
    if (same && s && d && s->DIBResol == d->DIBResol && s->DIBBPP >= 8 && SamePalette(*s, *d)) {
        const int bpp = s->BytesPerPixel();
        for (int64_t j = j0; j < j1; ++j)
            std::memmove(d->GetScanLine(int(Y + j)) + (X + i0) * bpp, s->GetScanLine(int(srcY(j))) + srcX(i0) * bpp,
                         size_t(i1 - i0) * bpp);
        return;
    }
    if (same && s && d && (s->DIBResol == DUpf15 || s->DIBResol == DUpf16) &&
        (d->DIBResol == DUpf24 || d->DIBResol == DUpf32)) {
        // 5-5-5 or 5-6-5 rows widened as GetColorFromIndex does, written as blue, green, red
        const bool g6 = s->DIBResol == DUpf16;
        const int dbpp = d->BytesPerPixel();
        for (int64_t j = j0; j < j1; ++j) {
            const uint8_t* in = s->GetScanLine(int(srcY(j))) + srcX(i0) * 2;
            uint8_t* out = d->GetScanLine(int(Y + j)) + (X + i0) * dbpp;
            for (int64_t i = i0; i < i1; ++i, in += 2, out += dbpp) {
                const uint32_t v = uint32_t(in[0]) | uint32_t(in[1]) << 8;
                out[0] = uint8_t((v & 31) << 3);
                out[1] = g6 ? uint8_t((v >> 5 & 63) << 2) : uint8_t((v >> 5 & 31) << 3);
                out[2] = g6 ? uint8_t((v >> 11 & 31) << 3) : uint8_t((v >> 10 & 31) << 3);
                if (dbpp == 4) out[3] = 0;
            }
        }
        return;
    }
    if (s && !d && (s->DIBResol == DUpf24 || s->DIBResol == DUpf32)) {
        const int bpp = s->BytesPerPixel();
        for (int64_t j = j0; j < j1; ++j) {
            const uint8_t* row = s->GetScanLine(int(srcY(j)));
            uint32_t* out = rgb_ + (Y + j) * (rgbStride_ / 4) + X;
            if (same) {
                // four bytes a pixel read at once; the run's last pixel by its three, which may
                // end the pixel memory
                const uint8_t* p = row + srcX(i0) * bpp;
                for (int64_t i = i0; i < i1 - 1; ++i, p += bpp) {
                    uint32_t w;
                    std::memcpy(&w, p, 4);
                    out[i] = 0xFF000000u | (w & 0xFFFFFFu);
                }
                out[i1 - 1] = 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
                continue;
            }
            for (int64_t i = i0; i < i1; ++i) {
                const uint8_t* p = row + srcX(i) * bpp;
                out[i] = 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
            }
        }
        return;
    }
    TColor lastC = 0;
    uint32_t lastV = ValueOf(0);
    for (int64_t j = j0; j < j1; ++j)
        for (int64_t i = i0; i < i1; ++i) {
            const TColor c = Source.Pixel(int(srcX(i)), int(srcY(j)));
            if (c != lastC) lastC = c, lastV = ValueOf(c);
            PutValue(int(X + i), int(Y + j), lastV);
        }
}

void DibCanvas::Dot(int X, int Y, uint32_t Value)
{
    const int w = std::max(PenWidth, 1), x0 = X - (w - 1) / 2, y0 = Y - (w - 1) / 2;
    for (int y = std::max(y0, 0); y < std::min(y0 + w, Height()); ++y)
        for (int x = std::max(x0, 0); x < std::min(x0 + w, Width()); ++x) PutValue(x, y, Value);
}

void DibCanvas::LineTo(int X, int Y)
{
    const int ex = penX_, ey = penY_;
    penX_ = X, penY_ = Y;
    if (!Bound()) return;
    // only the part of the segment near the picture is walked
    const double m = std::max(PenWidth, 1) + 1;
    double t0 = 0, t1 = 1;
    const double dx = double(X) - ex, dy = double(Y) - ey;
    auto edge = [&](double p, double q) {  // keep the part where p * t <= q
        if (p == 0) return q >= 0;
        const double r = q / p;
        if (p < 0) t0 = std::max(t0, r);
        else t1 = std::min(t1, r);
        return t0 <= t1;
    };
    if (!edge(-dx, ex + m) || !edge(dx, Width() - 1 + m - ex) || !edge(-dy, ey + m) ||
        !edge(dy, Height() - 1 + m - ey))
        return;
    int64_t x = int64_t(std::floor(ex + t0 * dx + 0.5)), y = int64_t(std::floor(ey + t0 * dy + 0.5));
    const int64_t x2 = int64_t(std::floor(ex + t1 * dx + 0.5)), y2 = int64_t(std::floor(ey + t1 * dy + 0.5));
    const bool ownEnd = t1 >= 1;  // the real end point is not drawn; a cut end is
    const uint32_t v = ValueOf(PenColor);
    const int64_t adx = std::abs(x2 - x), ady = -std::abs(y2 - y);
    const int sx = x < x2 ? 1 : -1, sy = y < y2 ? 1 : -1;
    int64_t err = adx + ady;
    for (;;) {
        const bool last = x == x2 && y == y2;
        if (last && ownEnd) break;
        Dot(int(x), int(y), v);
        if (last) break;
        const int64_t e2 = 2 * err;
        if (e2 >= ady) err += ady, x += sx;
        if (e2 <= adx) err += adx, y += sy;
    }
}
