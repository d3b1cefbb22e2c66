// Pen, brush, clip, the line drawer and single pixels.
#include "engine/dib/tdibultra.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <mutex>

#include <QDebug>

#include "engine/dib/dib_error.h"

namespace {

constexpr int kKeep = INT_MAX;  // a coordinate that keeps the pen's

std::mutex gHandlerLock;
std::function<void(const QString&)>& ClippingHandler()
{
    static std::function<void(const QString&)> h = [](const QString& m) { qWarning().noquote() << m; };
    return h;
}

inline uint16_t Rd16(const uint8_t* p)
{
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
inline void Wr16(uint8_t* p, uint16_t v) { std::memcpy(p, &v, 2); }
inline uint32_t Rd32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline void Wr32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
inline uint32_t Rd24(const uint8_t* p) { return p[0] | p[1] << 8 | uint32_t(p[2]) << 16; }
inline void Wr24(uint8_t* p, uint32_t v) { p[0] = uint8_t(v), p[1] = uint8_t(v >> 8), p[2] = uint8_t(v >> 16); }

// pixel writers of the line drawer, by bytes per pixel and pen mode
using Writer = void (*)(uint8_t*, uint32_t);
template <int Bytes>
uint32_t Rd(const uint8_t* p)
{
    if constexpr (Bytes == 1) return *p;
    else if constexpr (Bytes == 2) return Rd16(p);
    else if constexpr (Bytes == 3) return Rd24(p);
    else return Rd32(p);
}
template <int Bytes>
void Wr(uint8_t* p, uint32_t v)
{
    if constexpr (Bytes == 1) *p = uint8_t(v);
    else if constexpr (Bytes == 2) Wr16(p, uint16_t(v));
    else if constexpr (Bytes == 3) Wr24(p, v);
    else Wr32(p, v);
}
template <int Bytes, TDUPenMode M>
void Put(uint8_t* p, uint32_t v)
{
    if constexpr (M == DUpmCOPY) Wr<Bytes>(p, v);
    else if constexpr (M == DUpmNOT) Wr<Bytes>(p, ~Rd<Bytes>(p));
    else if constexpr (M == DUpmANDPEN) Wr<Bytes>(p, Rd<Bytes>(p) & v);
    else if constexpr (M == DUpmORPEN) Wr<Bytes>(p, Rd<Bytes>(p) | v);
    else if constexpr (M == DUpmXORPEN) Wr<Bytes>(p, Rd<Bytes>(p) ^ v);
    else if constexpr (M == DUpmALPHAPEN && Bytes == 1) Wr<Bytes>(p, v);
}
void PutNothing(uint8_t*, uint32_t) {}

// n pixels from (x, y) in steps of (sx, sy), those on the surface written with v
template <int Bytes>
void Straight(TDIBUltra& d, int64_t x, int64_t y, int64_t sx, int64_t sy, int64_t n, uint32_t v)
{
    for (int64_t i = 0; i < n; ++i, x += sx, y += sy)
        if (x >= 0 && y >= 0 && x < d.DIBWidth && y < d.DIBHeight) Wr<Bytes>(d.DIBAdr + y * d.DIBWidth_b + x * Bytes, v);
}

template <int Bytes>
constexpr Writer kRow[7] = {Put<Bytes, DUpmCOPY>,  Put<Bytes, DUpmNOT>,      Put<Bytes, DUpmANDPEN>,
                            Put<Bytes, DUpmORPEN>, Put<Bytes, DUpmXORPEN>,   Put<Bytes, DUpmALPHAPEN>,
                            PutNothing};
constexpr Writer kNone[7] = {PutNothing, PutNothing, PutNothing, PutNothing, PutNothing, PutNothing, PutNothing};
constexpr const Writer* kWriters[DUpfCount] = {kNone, kNone, kRow<1>, kRow<2>, kRow<2>, kRow<3>, kRow<4>};

QString Four(int64_t a, int64_t b, int64_t c, int64_t d)
{
    return QStringLiteral("%1,%2/%3,%4").arg(a).arg(b).arg(c).arg(d);
}

}  // namespace

void TDIBUltra::SetClippingErrorHandler(std::function<void(const QString&)> Handler)
{
    std::lock_guard lock(gHandlerLock);
    ClippingHandler() = std::move(Handler);
}

// ---- colours

TDIBUltra::PenValue TDIBUltra::MakePenValue(uint32_t v) const
{
    PenValue p{};
    switch (DIBResol) {
    case DUpf1:
        p.L = (v & 1) ? 0xFFFFFFFF : 0;
        p.B = uint8_t(p.L);
        break;
    case DUpf4:
        p.B = uint8_t((v & 15) * 0x11);
        p.L = p.B * 0x01010101u;
        break;
    case DUpf8:
        p.B = uint8_t(v);
        p.L = p.B * 0x01010101u;
        break;
    case DUpf15:
    case DUpf16:
        p.W = uint16_t(v & DUmaxValue[DIBResol]);
        p.L = p.W | uint32_t(p.W) << 16;
        break;
    case DUpf24:
        p.B = uint8_t(v);
        p.R = uint8_t(v >> 16);
        p.V = uint8_t(v >> 8);
        p.L = (v & 0xFFFFFF) | uint32_t(p.B) << 24;
        break;
    case DUpf32: p.L = v & 0xFFFFFF; break;
    }
    return p;
}

void TDIBUltra::SetPenColor(TColor Color)
{
    if (Color == ColorPen) return;
    SetPenColorIndex(GetIndexFromColor(Color));
    ColorPen = Color;
    Cnv.PenColor = Color;
}

void TDIBUltra::SetBrhColor(TColor Color)
{
    if (Color == ColorBrh) return;
    SetBrushColorIndex(GetIndexFromColor(Color));
    ColorBrh = Color;
    Cnv.BrushColor = Color;
}

void TDIBUltra::SetPenColorIndex(uint32_t Value)
{
    const PenValue p = MakePenValue(Value);
    PcoulL = p.L, PcoulW = p.W, PcoulR = p.R, PcoulV = p.V, PcoulB = p.B;
    ColorPen = GetColorFromIndex(Value);
}

void TDIBUltra::SetBrushColorIndex(uint32_t Value)
{
    const PenValue p = MakePenValue(Value);
    BcoulL = p.L, BcoulW = p.W, BcoulR = p.R, BcoulV = p.V, BcoulB = p.B;
    ColorBrh = GetColorFromIndex(Value);
}

uint32_t TDIBUltra::GetPenColorIndex() const { return PcoulL & DUmaxValue[DIBResol]; }
uint32_t TDIBUltra::GetBrushColorIndex() const { return BcoulL & DUmaxValue[DIBResol]; }

uint32_t TDIBUltra::GetIndexFromColor(TColor Color) const
{
    const uint32_t r = Color & 0xFF, g = Color >> 8 & 0xFF, b = Color >> 16 & 0xFF;
    switch (DIBResol) {
    case DUpf15: return (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
    case DUpf16: return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
    case DUpf24:
    case DUpf32: return r << 16 | g << 8 | b;
    default: break;
    }
    // nearest entry of the palette, the first of equals
    uint32_t best = 0;
    int64_t bestD = INT64_MAX;
    const int n = std::min<int>(DIBLogPal.Count, 256);
    for (int i = 0; i < n && bestD; ++i) {
        const TPaletteEntry& e = DIBLogPal.Entries[i];
        const int64_t dr = int(e.Red) - int(r), dg = int(e.Green) - int(g), db = int(e.Blue) - int(b);
        const int64_t d = dr * dr + dg * dg + db * db;
        if (d < bestD) bestD = d, best = uint32_t(i);
    }
    return best;
}

TColor TDIBUltra::GetColorFromIndex(uint32_t Index) const
{
    uint32_t r, g, b;
    switch (DIBResol) {
    case DUpf15: r = (Index >> 10 & 31) << 3, g = (Index >> 5 & 31) << 3, b = (Index & 31) << 3; break;
    case DUpf16: r = (Index >> 11 & 31) << 3, g = (Index >> 5 & 63) << 2, b = (Index & 31) << 3; break;
    case DUpf24:
    case DUpf32: r = Index >> 16 & 0xFF, g = Index >> 8 & 0xFF, b = Index & 0xFF; break;
    default: {
        const TPaletteEntry& e = DIBLogPal.Entries[Index & 0xFF];
        r = e.Red, g = e.Green, b = e.Blue;
    }
    }
    return r | g << 8 | b << 16;
}

uint32_t TDIBUltra::StdIndex(TDUColor Color) const
{
    static const uint8_t idx4[18] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 8, 7, 15};
    static const uint8_t idx1[18] = {0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0, 1, 1, 1, 1, 1};
    static const uint8_t idx8[18] = {0, 1, 2, 3, 4, 5, 6, 248, 7, 249, 250, 251, 252, 253, 254, 7, 248, 245};
    if (Color > White) return 0;
    switch (DIBResol) {
    case DUpf1: return idx1[Color];
    case DUpf4: return idx4[Color];
    case DUpf8: return idx8[Color];
    default: {
        const TPaletteEntry& e = DefaultPalette(DUpf4).Entries[idx4[Color]];
        return GetIndexFromColor(e.Red | e.Green << 8 | uint32_t(e.Blue) << 16);
    }
    }
}

// ---- state

void TDIBUltra::UpdateCantDraw()
{
    CantDraw = ExitClip || ExitMask || ExitWidth || ExitMode;
}

void TDIBUltra::SetClipRect(const TRect& R)
{
    ExitClip = false;
    ClpRect.Left = std::max(R.Left, 0);
    ClpRect.Top = std::max(R.Top, 0);
    ClpRect.Right = R.Right < DIBWidth ? R.Right : DIBWidth - 1;
    ClpRect.Bottom = R.Bottom < DIBHeight ? R.Bottom : DIBHeight - 1;
    ExitClip = ClpRect.Left > ClpRect.Right || ClpRect.Top > ClpRect.Bottom;
    UpdateCantDraw();
}

void TDIBUltra::SetWidthPen(int Value)
{
    WidthPen = Value;
    ExitWidth = Value == 0;
    UpdateCantDraw();
}

void TDIBUltra::SetMode(TDUPenMode Value)
{
    Mode = Value;
    ExitMode = Value == DUpmNOP;
    UpdateCantDraw();
}

void TDIBUltra::SetMask(uint32_t Value)
{
    Mask = Value;
    ExitMask = Value == 0;
    UpdateCantDraw();
}

void TDIBUltra::RotateStyle(uint8_t N) { Mask = std::rotl(Mask, N); }

void TDIBUltra::PrepareStyle()
{
    if (Mask) Mask = std::rotl(Mask, std::countl_zero(Mask));
}

bool TDIBUltra::TestPointInClipRect(int AX, int AY, const TRect& R)
{
    return R.Left <= AX && AX <= R.Right && R.Top <= AY && AY <= R.Bottom;
}

// ---- lines

void TDIBUltra::MoveTo(int AX, int AY)
{
    if (AX != kKeep) X = AX;
    if (AY != kKeep) Y = AY;
}

void TDIBUltra::StepTo(int DX, int DY)
{
    LineTo(int(uint32_t(X) + uint32_t(DX)), int(uint32_t(Y) + uint32_t(DY)));
}

void TDIBUltra::DirectLineTo(const TLine&)
{
    throw DIB_ERROR("NOT YET IMPLEMENTED");
}

void TDIBUltra::LineTo(int AX, int AY)
{
    if (AX == kKeep) AX = X;
    if (AY == kKeep) AY = Y;
    if (CantDraw) {
        X = AX, Y = AY;
        return;
    }
    Sg = {X, Y, AX, AY, 0, 0};
    X = AX, Y = AY;
    if (WidthPen > 3 || WidthPen < 1) {
        Cnv.PenWidth = WidthPen;
        Cnv.MoveTo(Sg.X1, Sg.Y1);
        Cnv.LineTo(Sg.X2, Sg.Y2);
        return;
    }
    const uint32_t styleBefore = Mask;
    DrawSegment();
    if (WidthPen == 1) return;

    const int64_t dx = int64_t(Sg.X2) - Sg.X1, dy = int64_t(Sg.Y2) - Sg.Y1;
    PenteX = dx >= 0 ? 1 : -1;
    PenteY = dy >= 0 ? 1 : -1;
    const int slope = std::abs(dx) > std::abs(dy) ? 0 : std::abs(dx) == std::abs(dy) ? 1 : 2;
    auto shift = [this](int sx, int sy) {
        auto add = [](int a, int d) { return int(uint32_t(a) + uint32_t(d)); };
        Sg.X1 = add(Sg.X1, sx), Sg.X2 = add(Sg.X2, sx), Sg.Y1 = add(Sg.Y1, sy), Sg.Y2 = add(Sg.Y2, sy);
    };
    // every side line starts with the style the first one had
    Mask = styleBefore;
    if (slope == 2) shift(-1, 0);
    else if (WidthPen == 3 && slope == 1) shift(0, -PenteY);
    else shift(0, -1);
    DrawSegment();
    if (WidthPen == 2) return;
    Mask = styleBefore;
    if (slope == 0) shift(0, 2);
    else if (slope == 1) shift(-PenteX, PenteY);
    else shift(2, 0);
    DrawSegment();
}

void TDIBUltra::DrawSegment()
{
    enum : unsigned { Below = 1, Above = 2, RightOf = 4, LeftOf = 8 };
    const int64_t L = ClpRect.Left, T = ClpRect.Top, R = ClpRect.Right, B = ClpRect.Bottom;
    int64_t x1 = Sg.X1, y1 = Sg.Y1, x2 = Sg.X2, y2 = Sg.Y2;
    const int yinc = y1 > y2 ? -1 : 1;
    int xinc = 1;
    const bool swapped = x1 > x2;
    if (swapped) {
        xinc = -1;
        std::swap(x1, x2), std::swap(y1, y2);
    }
    const int64_t in1 = x1, in2 = y1, in3 = x2, in4 = y2;
    auto code = [&](int64_t x, int64_t y) {
        return (y > B ? Below : 0u) | (y < T ? Above : 0u) | (x > R ? RightOf : 0u) | (x < L ? LeftOf : 0u);
    };
    // onto the horizontal border c, or the vertical one
    auto ontoRow = [&](int64_t& x, int64_t& y, int64_t c) {
        x = x1 + (c - y1) * (x2 - x1) / (y2 - y1);
        y = c;
    };
    auto ontoColumn = [&](int64_t& x, int64_t& y, int64_t c) {
        y = y1 + (c - x1) * (y2 - y1) / (x2 - x1);
        x = c;
    };
    auto moveOutsideInY = [&](unsigned c1, unsigned c2) {
        if (c1 & (Above | Below)) ontoRow(x1, y1, (c1 & Above) ? T : B);
        if (c2 & (Above | Below)) ontoRow(x2, y2, (c2 & Above) ? T : B);
    };
    for (;;) {
        const unsigned c1 = code(x1, y1), c2 = code(x2, y2);
        if (!(c1 | c2)) break;
        if (c1 & c2) return;  // both beyond the same border
        const unsigned yf = (c1 | c2) & (Above | Below), xf = (c1 | c2) & (LeftOf | RightOf);
        if (!xf) {
            moveOutsideInY(c1, c2);
            break;
        }
        if (!yf) {
            if (c1 & LeftOf) ontoColumn(x1, y1, L);
            if (c2 & RightOf) ontoColumn(x2, y2, R);
            break;
        }
        moveOutsideInY(c1, c2);
    }
    if (code(x1, y1) || code(x2, y2) || x2 < x1) {
        const QString m = QStringLiteral("Erreur de clipping : \rSegment en entrée : ") + Four(in1, in2, in3, in4) +
                          QStringLiteral("\rSegment Clippé    : ") + Four(x1, y1, x2, y2) + QStringLiteral(".");
        std::function<void(const QString&)> h;
        {
            std::lock_guard lock(gHandlerLock);
            h = ClippingHandler();
        }
        if (h) h(m);
        return;
    }
    if (swapped) std::swap(x1, x2), std::swap(y1, y2);
    DrawClipped(int(x1), int(y1), int(x2), int(y2), xinc, yinc);
}

void TDIBUltra::DrawClipped(int X1, int Y1, int X2, int Y2, int Xinc, int Yinc)
{
    const Writer put = kWriters[DIBResol][std::min<int>(Mode, DUpmUSER)];
    const uint32_t value = DIBResol <= DUpf8 ? PcoulB : DIBResol <= DUpf16 ? PcoulW : PcoulL;
    const int bpp = BytesPerPixel();
    uint32_t style = Mask;
    int64_t cx = X1, cy = Y1;
    auto plot = [&] {
        const bool on = style & 0x80000000u;
        style = std::rotl(style, 1);
        // whatever the clip rectangle says, only the surface is written
        if (on && cx >= 0 && cy >= 0 && cx < DIBWidth && cy < DIBHeight)
            put(DIBAdr + cy * DIBWidth_b + cx * bpp, value);
    };
    const int64_t DX = int64_t(X2) - X1 + Xinc, DY = int64_t(Y2) - Y1 + Yinc;
    const int64_t adx = std::abs(DX), ady = std::abs(DY), last = NotLast ? 1 : 0;
    if (!adx || !ady) return;
    if (Mask == 0xFFFFFFFFu && Mode == DUpmCOPY && DIBResol >= DUpf8 && (X1 == X2 || Y1 == Y2)) {
        // a solid straight line (the waveform's columns): the pixels the runs below would
        // write, in one loop; a solid style rotates into itself
        const bool vertical = X1 == X2;
        const int64_t n = (vertical ? ady : adx) - last;
        const int64_t sx = vertical ? 0 : Xinc, sy = vertical ? Yinc : 0;
        switch (bpp) {
        case 1: Straight<1>(*this, cx, cy, sx, sy, n, value); break;
        case 2: Straight<2>(*this, cx, cy, sx, sy, n, value); break;
        case 3: Straight<3>(*this, cx, cy, sx, sy, n, value); break;
        default: Straight<4>(*this, cx, cy, sx, sy, n, value); break;
        }
        return;
    }
    // one run along the major axis per step of the minor one, in 16.16 fixed point
    auto runs = [&](int64_t dMajor, int64_t minorSteps, int64_t from, int64_t to, int inc, int64_t& major,
                    int64_t& minor, int minorInc) {
        auto run = [&](int64_t n) {
            for (int64_t i = 0; i < n; ++i) plot(), major += inc;
        };
        const int64_t step = dMajor * 65536 / minorSteps;
        int64_t acc = (from - inc) * 65536 + 32768, prev = from - inc;
        for (int64_t r = 0; r < minorSteps - 1; ++r) {
            acc += step;
            const int64_t v = acc >> 16;
            run((v - prev) * inc);
            prev = v;
            minor += minorInc;
        }
        run((to - prev) * inc - last);
    };
    if (adx > ady) {
        runs(DX, ady, X1, X2, Xinc, cx, cy, Yinc);
    } else if (adx < ady) {
        runs(DY, adx, Y1, Y2, Yinc, cy, cx, Xinc);
    } else {
        for (int64_t i = 0; i < adx - last; ++i) plot(), cx += Xinc, cy += Yinc;
    }
    Mask = style;
}

// ---- fills and pixels

void TDIBUltra::FillRect(const TRect& R)
{
    TRect r = R;
    r.Left = std::max(r.Left, ClpRect.Left);
    r.Top = std::max(r.Top, ClpRect.Top);
    r.Right = std::min(r.Right, ClpRect.Right);
    r.Bottom = std::min(r.Bottom, ClpRect.Bottom);
    Cnv.FillRect(r);
}

void TDIBUltra::ClearAll()
{
    Cnv.BrushColor = ColorBrh;
    Cnv.FillRect({0, 0, DIBWidth, DIBHeight});
}

void TDIBUltra::ClearClipRect()
{
    Cnv.FillRect({ClpRect.Left, ClpRect.Top, ClpRect.Right + 1, ClpRect.Bottom + 1});
}

void TDIBUltra::Plot(int AX, int AY)
{
    MoveTo(AX, AY);
    SetPixelIndex(X, Y, GetPenColorIndex());
}

void TDIBUltra::SetPixel(int AX, int AY, TColor Color)
{
    SetPixelIndex(AX, AY, GetIndexFromColor(Color));
}

void TDIBUltra::SetPixelIndex(int AX, int AY, uint32_t Value)
{
    // the clip may reach one column and row beyond the surface (BufferDim)
    if (TestPointInClipRect(AX, AY, ClpRect) && AX >= 0 && AY >= 0 && AX < DIBWidth && AY < DIBHeight)
        DirectPlot(AX, AY, Value);
}

void TDIBUltra::DirectPlot(int AX, int AY, uint32_t Value)
{
    Q_ASSERT(AX >= 0 && AY >= 0 && AX < DIBWidth && AY < DIBHeight);
    uint8_t* row = DIBAdr + int64_t(AY) * DIBWidth_b;
    switch (DIBResol) {
    case DUpf1: {
        uint8_t& b = row[AX >> 3];
        const uint8_t bit = uint8_t(0x80 >> (AX & 7));
        b = (Value & 1) ? (b | bit) : (b & ~bit);
        break;
    }
    case DUpf4: {
        uint8_t& b = row[AX >> 1];
        b = (AX & 1) ? uint8_t((b & 0xF0) | (Value & 15)) : uint8_t((b & 0x0F) | (Value & 15) << 4);
        break;
    }
    case DUpf8: row[AX] = uint8_t(Value); break;
    case DUpf15:
    case DUpf16: Wr16(row + AX * 2, uint16_t(Value)); break;
    case DUpf24: Wr24(row + AX * 3, Value); break;
    case DUpf32: Wr32(row + AX * 4, Value); break;
    }
}

uint32_t TDIBUltra::GetPixelIndex(int AX, int AY) const
{
    Q_ASSERT(AX >= 0 && AY >= 0 && AX < DIBWidth && AY < DIBHeight);
    const uint8_t* row = DIBAdr + int64_t(AY) * DIBWidth_b;
    switch (DIBResol) {
    case DUpf1: return row[AX >> 3] >> (7 - (AX & 7)) & 1;
    case DUpf4: return (AX & 1) ? row[AX >> 1] & 15 : row[AX >> 1] >> 4;
    case DUpf8: return row[AX];
    case DUpf15:
    case DUpf16: return Rd16(row + AX * 2);
    case DUpf24: return Rd24(row + AX * 3);
    case DUpf32: return Rd32(row + AX * 4);
    }
    return 0;
}

TColor TDIBUltra::GetPixel(int AX, int AY) const
{
    return GetColorFromIndex(GetPixelIndex(AX, AY));
}
