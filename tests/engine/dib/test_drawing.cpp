#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "engine/dib/dib_error.h"
#include "tests/engine/dib/dibtesthelpers.h"

namespace {

struct LineCase {
    const char* name;
    int x1, y1, x2, y2;
    bool notLast;
    Pixels expected;
};

Pixels Column(int x, int y0, int y1)
{
    return Rect(x, y0, x, y1);
}

}  // namespace

TEST(Drawing, LinesPixelExact)
{
    const int W = 20, H = 16;
    Pixels slope = Rect(0, 0, 2, 0);
    for (auto p : Rect(3, 1, 6, 1)) slope.insert(p);
    for (auto p : Rect(7, 2, 9, 2)) slope.insert(p);
    Pixels diag;
    for (int i = 0; i < 5; ++i) diag.insert({2 + i, 7 - i});
    const LineCase cases[] = {
        {"vertical", 5, 0, 5, 10, false, Column(5, 0, 10)},
        {"vertical not last", 5, 0, 5, 10, true, Column(5, 0, 9)},
        {"from below the surface starts at the last row", 4, H, 4, 10, false, Column(4, 10, H - 1)},
        {"horizontal", 0, 3, 9, 3, false, Rect(0, 3, 9, 3)},
        {"horizontal not last", 0, 3, 9, 3, true, Rect(0, 3, 8, 3)},
        {"horizontal backwards", 9, 3, 0, 3, false, Rect(0, 3, 9, 3)},
        {"horizontal backwards not last", 9, 3, 0, 3, true, Rect(1, 3, 9, 3)},
        {"x-major slope", 0, 0, 9, 2, false, slope},
        {"x-major slope backwards", 9, 2, 0, 0, false,
         Pixels{{9, 2}, {8, 2}, {7, 2}, {6, 1}, {5, 1}, {4, 1}, {3, 1}, {2, 0}, {1, 0}, {0, 0}}},
        {"diagonal up", 2, 7, 6, 3, false, diag},
        {"single point", 3, 3, 3, 3, false, Pixels{{3, 3}}},
        {"single point not last", 3, 3, 3, 3, true, Pixels{}},
        {"left of the surface", -10, 2, -1, 12, false, Pixels{}},
        {"clipped both ends", -5, 5, 30, 5, false, Rect(0, 5, W - 1, 5)},
        {"clipped both ends not last drops the clipped end", -5, 5, 30, 5, true, Rect(0, 5, W - 2, 5)},
        {"through a corner", -4, -4, 40, 40, false, [] {
             Pixels p;
             for (int i = 0; i < 16; ++i) p.insert({i, i});
             return p;
         }()},
    };
    for (const auto& c : cases) {
        TDIBUltra d(W, H, DUpf24);
        d.NotLast = c.notLast;
        d.SetPenColor(0x00FF00);
        d.MoveTo(c.x1, c.y1);
        d.LineTo(c.x2, c.y2);
        EXPECT_EQ(Drawn(d, 0), c.expected) << c.name;
        EXPECT_EQ(d.PenPos().X, c.x2) << c.name;
        EXPECT_EQ(d.PenPos().Y, c.y2) << c.name;
    }
}

TEST(Drawing, ClipRectangle)
{
    TDIBUltra d(480, 60, DUpf24);
    d.SetClipRect({-5, -5, 10000, 10000});
    EXPECT_EQ(d.ClpRect, (TRect{0, 0, 479, 59}));
    EXPECT_FALSE(d.CantDraw);
    d.SetClipRect({10, 0, 5, 59});
    EXPECT_TRUE(d.ExitClip);
    EXPECT_TRUE(d.CantDraw);
    d.MoveTo(0, 0);
    d.LineTo(100, 30);  // only moves
    EXPECT_EQ(Drawn(d, 0), Pixels{});
    EXPECT_EQ(d.PenPos().X, 100);

    TDIBUltra e(20, 20, DUpf24);
    e.SetClipRect({5, 5, 14, 14});
    e.SetPenColor(0xFFFFFF);
    e.MoveTo(0, 0);
    e.LineTo(19, 19);
    Pixels diag;
    for (int i = 5; i <= 14; ++i) diag.insert({i, i});
    EXPECT_EQ(Drawn(e, 0), diag);
}

TEST(Drawing, FillRectStaysInClip)
{
    TDIBUltra d(12, 12, DUpf24);
    d.SetClipRect({2, 2, 5, 5});
    d.SetBrhColor(0x0000FF);
    d.FillRect({0, 0, 10, 10});
    EXPECT_EQ(Drawn(d, 0), Rect(2, 2, 4, 4));
    d.ClearClipRect();
    EXPECT_EQ(Drawn(d, 0), Rect(2, 2, 5, 5));
    d.ClearAll();
    EXPECT_EQ(Drawn(d, 0), Rect(0, 0, 11, 11));
    // the default clip leaves the last column and row of a FillRect(ClpRect)
    TDIBUltra e(6, 4, DUpf16);
    e.ClearAll();
    e.SetBrhColor(0);
    e.FillRect(e.ClpRect);
    EXPECT_EQ(Drawn(e, 0xFFFF), Rect(0, 0, 4, 2));
}

TEST(Drawing, PenColourValues)
{
    struct C {
        TDUPixelFormat f;
        uint32_t index;
    };
    for (auto c : {C{DUpf16, 0x07E0}, C{DUpf15, 0x03E0}, C{DUpf24, 0x00FF00}, C{DUpf32, 0x00FF00}}) {
        TDIBUltra d(4, 4, c.f);
        d.SetPenColor(0x00FF00);
        EXPECT_EQ(d.GetPenColorIndex(), c.index) << int(c.f);
        d.MoveTo(1, 1);
        d.LineTo(1, 1);
        EXPECT_EQ(d.GetPixelIndex(1, 1), c.index) << int(c.f);
    }
    TDIBUltra d(4, 4, DUpf24);
    d.SetPenColor(0x00FF00);
    EXPECT_EQ(d.PcoulB, 0);
    EXPECT_EQ(d.PcoulV, 255);
    EXPECT_EQ(d.PcoulR, 0);
    // an equal colour does nothing, even after the pen value was set directly
    d.SetPenColorIndex(0x123456);
    d.SetPenColor(d.ColorPen);
    EXPECT_EQ(d.GetPenColorIndex(), 0x123456u);
    EXPECT_EQ(d.Cnv.PenColor, 0x00FF00u);

    TDIBUltra one(8, 1, DUpf1), four(8, 1, DUpf4);
    one.SetPenColor(0xFFFFFF);
    EXPECT_EQ(one.PcoulL, 0xFFFFFFFFu);
    four.SetPenColorIndex(0xC);
    EXPECT_EQ(four.PcoulB, 0xCC);
    EXPECT_EQ(four.PcoulL, 0xCCCCCCCCu);
    // the line drawer leaves 1-bit and 4-bit surfaces alone
    one.MoveTo(0, 0), one.LineTo(7, 0);
    four.MoveTo(0, 0), four.LineTo(7, 0);
    EXPECT_EQ(Drawn(one, 0), Pixels{});
    EXPECT_EQ(Drawn(four, 0), Pixels{});
}

TEST(Drawing, StdIndexTable)
{
    TDIBUltra d1(1, 1, DUpf1), d8(1, 1, DUpf8), d16(1, 1, DUpf16), d24(1, 1, DUpf24);
    EXPECT_EQ(d1.StdIndex(Yellow), 1u);
    EXPECT_EQ(d1.StdIndex(Red), 0u);
    EXPECT_EQ(d8.StdIndex(LtGray), 7u);
    EXPECT_EQ(d8.StdIndex(DkGray), 248u);
    EXPECT_EQ(d8.StdIndex(White), 245u);
    EXPECT_EQ(d16.StdIndex(Maroon), 0x8000u);
    EXPECT_EQ(d24.StdIndex(Silver), 0xC0C0C0u);
    EXPECT_EQ(d24.StdIndex(Navy), 0x000080u);
}

TEST(Drawing, PenModes)
{
    struct M {
        TDUPenMode mode;
        uint8_t expected;
    };
    // pixel 0x5A, pen 0x0F
    for (auto m : {M{DUpmCOPY, 0x0F}, M{DUpmNOT, 0xA5}, M{DUpmANDPEN, 0x0A}, M{DUpmORPEN, 0x5F},
                   M{DUpmXORPEN, 0x55}, M{DUpmALPHAPEN, 0x0F}, M{DUpmUSER, 0x5A}, M{DUpmNOP, 0x5A}}) {
        TDIBUltra d(3, 1, DUpf8);
        d.DirectPlot(1, 0, 0x5A);
        d.SetPenColorIndex(0x0F);
        d.SetMode(m.mode);
        d.MoveTo(1, 0);
        d.LineTo(1, 0);
        EXPECT_EQ(d.GetPixelIndex(1, 0), m.expected) << int(m.mode);
        EXPECT_EQ(d.GetPixelIndex(0, 0), 0u);
    }
    TDIBUltra d(2, 1, DUpf24);
    d.DirectPlot(0, 0, 0x102030);
    d.SetMode(DUpmALPHAPEN);
    d.SetPenColor(0xFFFFFF);
    d.MoveTo(0, 0), d.LineTo(0, 0);
    EXPECT_EQ(d.GetPixelIndex(0, 0), 0x102030u);
    d.SetMode(DUpmNOT);
    d.MoveTo(0, 0), d.LineTo(0, 0);
    EXPECT_EQ(d.GetPixelIndex(0, 0), 0xEFDFCFu);
}

TEST(Drawing, StyleContinuesAcrossSegments)
{
    TDIBUltra d(40, 3, DUpf24);
    d.SetPenColor(0xFFFFFF);
    d.SetMask(0xF0F0F0F0);
    d.MoveTo(0, 0);
    d.LineTo(15, 0);
    Pixels first = Rect(0, 0, 3, 0);
    for (auto p : Rect(8, 0, 11, 0)) first.insert(p);
    EXPECT_EQ(Drawn(d, 0), first);
    // the pattern goes on where it stopped: 16 pixels used, the next starts with four ones
    d.MoveTo(0, 1);
    d.LineTo(5, 1);
    EXPECT_EQ(d.GetPixelIndex(3, 1), 0xFFFFFFu);
    EXPECT_EQ(d.GetPixelIndex(4, 1), 0u);
    // a rejected segment leaves the style as it was
    const uint32_t before = d.Mask;
    d.MoveTo(-9, 0);
    d.LineTo(-2, 2);
    EXPECT_EQ(d.Mask, before);
    EXPECT_EQ(d.PenPos().X, -2);

    d.SetMask(0);
    EXPECT_TRUE(d.CantDraw);
    d.SetMask(0x00F00000);
    d.PrepareStyle();
    EXPECT_EQ(d.Mask, 0xF0000000u);
    d.RotateStyle(4);
    EXPECT_EQ(d.Mask, 0x0000000Fu);
}

TEST(Drawing, WidePens)
{
    struct P {
        int width;
        int x1, y1, x2, y2;
        Pixels expected;
    };
    const P cases[] = {
        {2, 2, 5, 6, 5, Rect(2, 4, 6, 5)},
        {3, 2, 5, 6, 5, Rect(2, 4, 6, 6)},
        {2, 5, 2, 5, 6, Rect(4, 2, 5, 6)},
        {3, 5, 2, 5, 6, Rect(4, 2, 6, 6)},
        {0, 0, 0, 9, 9, Pixels{}},
        {5, -20, 5, 40, 5, Rect(0, 3, 11, 7)},
        {5, -2000000000, 5, 2000000000, 5, Rect(0, 3, 11, 7)},
    };
    for (const auto& c : cases) {
        TDIBUltra d(12, 12, DUpf16);
        d.SetPenColor(0xFFFFFF);
        d.SetWidthPen(c.width);
        d.MoveTo(c.x1, c.y1);
        d.LineTo(c.x2, c.y2);
        EXPECT_EQ(Drawn(d, 0), c.expected) << c.width;
    }
    // far ends are cut before the walk
    TDIBUltra far(12, 12, DUpf16);
    far.SetPenColor(0xFFFFFF);
    far.SetWidthPen(5);
    far.MoveTo(INT_MIN + 1, INT_MIN + 1);
    far.LineTo(INT_MAX - 1, INT_MAX - 1);
    EXPECT_EQ(far.GetPixelIndex(0, 0), 0xFFFFu);
    EXPECT_EQ(far.GetPixelIndex(11, 11), 0xFFFFu);
}

TEST(Drawing, PointsAndPixels)
{
    TDIBUltra d(8, 8, DUpf24);
    d.SetClipRect({2, 2, 5, 5});
    d.SetPenColor(0x0000FF);
    d.Plot(1, 1);
    EXPECT_EQ(d.PenPos().X, 1);
    d.Plot(3, 3);
    d.SetPixel(7, 7, 0xFFFFFF);
    d.SetPixelIndex(4, 4, 0x123456);
    d.MoveTo(INT_MAX, 6);
    EXPECT_EQ(d.PenPos().X, 3);
    EXPECT_EQ(d.PenPos().Y, 6);
    EXPECT_EQ(Drawn(d, 0), (Pixels{{3, 3}, {4, 4}}));
    EXPECT_EQ(d.GetPixel(3, 3), 0x0000FFu);
    EXPECT_EQ(d.GetPixelIndex(3, 3), 0xFF0000u);
    EXPECT_EQ(d.GetColorFromIndex(0x123456), 0x563412u);
    EXPECT_TRUE(TDIBUltra::TestPointInClipRect(5, 2, d.ClpRect));
    EXPECT_FALSE(TDIBUltra::TestPointInClipRect(6, 2, d.ClpRect));
    EXPECT_EQ(ErrorOf([&] { d.DirectLineTo({}); }), "NOT YET IMPLEMENTED");
    // StepTo draws relative to the pen
    d.SetClipRect({0, 0, 7, 7});
    d.MoveTo(0, 7);
    d.StepTo(3, 0);
    EXPECT_EQ(d.GetPixelIndex(3, 7), 0xFF0000u);
}

TEST(Drawing, ClipOneBeyondTheSurfaceNeverWritesOutside)
{
    // after BufferDim the clip is one column and row larger than the surface
    TDIBUltra d(10, 5, DUpf32);
    d.BufferDim(10, 5);
    d.SetPenColor(0xFFFFFF);
    d.MoveTo(10, -3);
    d.LineTo(10, 20);
    d.MoveTo(-3, 5);
    d.LineTo(30, 5);
    d.MoveTo(0, 0);
    d.LineTo(10, 5);
    d.Plot(10, 5);
    EXPECT_EQ(Drawn(d, 0).count({0, 0}), 1u);
    EXPECT_EQ(d.GetPixelIndex(9, 4), 0u);
}

TEST(Drawing, RandomLinesStayInTheClipAndNeverFail)
{
    int failures = 0;
    TDIBUltra::SetClippingErrorHandler([&](const QString&) { ++failures; });
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(-200, 260);
    for (int i = 0; i < 3000; ++i) {
        TDIBUltra d(64, 48, DUpf8);
        const TRect clip{coord(rng) / 4, coord(rng) / 4, coord(rng) / 2, coord(rng) / 3};
        d.SetClipRect(clip);
        d.SetPenColorIndex(1);
        const int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
        d.MoveTo(x1, y1);
        d.LineTo(x2, y2);
        for (auto [x, y] : Drawn(d, 0)) ASSERT_TRUE(TDIBUltra::TestPointInClipRect(x, y, d.ClpRect));
        // a line with both ends inside is drawn whole, from end to end
        if (!d.ExitClip && TDIBUltra::TestPointInClipRect(x1, y1, d.ClpRect) &&
            TDIBUltra::TestPointInClipRect(x2, y2, d.ClpRect)) {
            EXPECT_EQ(d.GetPixelIndex(x1, y1), 1u);
            EXPECT_EQ(d.GetPixelIndex(x2, y2), 1u);
            EXPECT_EQ(Drawn(d, 0).size(), size_t(std::max(std::abs(x2 - x1), std::abs(y2 - y1)) + 1));
        }
    }
    TDIBUltra::SetClippingErrorHandler(nullptr);
    EXPECT_EQ(failures, 0);
}

TEST(Drawing, TwoSurfacesDrawnFromTwoThreads)
{
    auto draw = [](TDIBUltra& d, int seed) {
        std::mt19937 rng(seed);
        std::uniform_int_distribution<int> c(-50, 350);
        for (int i = 0; i < 4000; ++i) {
            d.SetPenColor(rng() & 0xFFFFFF);
            d.MoveTo(c(rng), c(rng));
            d.LineTo(c(rng), c(rng));
        }
    };
    TDIBUltra a(300, 300, DUpf24), b(300, 300, DUpf24), ra(300, 300, DUpf24), rb(300, 300, DUpf24);
    draw(ra, 1);
    draw(rb, 2);
    std::thread t1([&] { draw(a, 1); }), t2([&] { draw(b, 2); });
    t1.join();
    t2.join();
    EXPECT_EQ(std::memcmp(a.DIBbits, ra.DIBbits, size_t(a.DIBSize)), 0);
    EXPECT_EQ(std::memcmp(b.DIBbits, rb.DIBbits, size_t(b.DIBSize)), 0);
}

TEST(Drawing, InconsistentClipIsReportedAndNothingDrawn)
{
    std::vector<QString> shown;
    TDIBUltra::SetClippingErrorHandler([&](const QString& m) { shown.push_back(m); });
    TDIBUltra d(12, 12, DUpf24);
    d.SetPenColor(0xFFFFFF);
    d.ClpRect = {5, 0, 3, 10};  // set directly: left beyond right
    d.MoveTo(10, 5);
    d.LineTo(0, 5);
    TDIBUltra::SetClippingErrorHandler(nullptr);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], QStringLiteral("Erreur de clipping : \rSegment en entrée : 0,5/10,5\r"
                                       "Segment Clippé    : 5,5/3,5."));
    EXPECT_EQ(Drawn(d, 0), Pixels{});
    EXPECT_EQ(d.PenPos().X, 0);
}

TEST(Drawing, WaveformPass)
{
    // what the waveform display does each pass: clear, one-pixel columns from the centre line,
    // then one copy to the window
    const int W = 480, H = 60;
    TDIBUltra d(W, H, DUpf24);
    d.SetClipRect({0, 0, W, H});
    d.NotLast = true;
    d.SetBrhColor(0x202020);
    d.FillRect(d.ClpRect);
    for (int x = 0; x < W; ++x) {
        d.SetPenColor(x < W / 2 ? 0x00FF00 : 0x0000FF);
        d.MoveTo(x, H / 2);
        d.LineTo(x, H / 2 - 1 - x % 20);
        d.MoveTo(x, H / 2);
        d.LineTo(x, H / 2 + 1 + x % 20);
    }
    std::vector<uint32_t> screen(size_t(W * H));
    DibCanvas canvas(screen.data(), W, H, W * 4);
    d.DrawOn({0, 0, W, H}, canvas, 0, 0);
    auto at = [&](int x, int y) { return screen[size_t(y * W + x)]; };
    EXPECT_EQ(at(0, H / 2), 0xFF00FF00u);
    EXPECT_EQ(at(0, H / 2 - 1), 0xFF202020u);  // the last pixel of each line is left out
    EXPECT_EQ(at(19, H / 2 - 19), 0xFF00FF00u);
    EXPECT_EQ(at(19, H / 2 - 20), 0xFF202020u);
    EXPECT_EQ(at(305, H / 2 + 1), 0xFFFF0000u);
    // the fill of the clip rectangle leaves its last column and row
    EXPECT_EQ(at(W - 1, H - 1), 0xFF000000u);
    EXPECT_EQ(at(W - 2, H - 2), 0xFF202020u);
}
