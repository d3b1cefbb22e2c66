#include <gtest/gtest.h>

#include <vector>

#include "engine/dib/dib_error.h"
#include "tests/engine/dib/dibtesthelpers.h"

struct StrideCase {
    int w, h;
    TDUPixelFormat f;
    int stride;
};

TEST(Surface, StrideSizeAndRowOrder)
{
    const StrideCase cases[] = {{480, 60, DUpf24, 1440}, {481, 60, DUpf24, 1444}, {1, 3, DUpf1, 4},
                                {33, 2, DUpf1, 8},       {9, 2, DUpf4, 8},        {5, 2, DUpf8, 8},
                                {3, 2, DUpf15, 8},       {3, 2, DUpf16, 8},       {3, 2, DUpf32, 12}};
    for (const auto& c : cases) {
        TDIBUltra d(c.w, c.h, c.f);
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " format " << int(c.f));
        EXPECT_EQ(d.DIBWidth_b, -c.stride);
        EXPECT_EQ(d.DIBHalfWidth, -c.stride / 2);
        EXPECT_EQ(d.DIBSize, c.stride * c.h);
        EXPECT_EQ(d.DIBBPP, DUbpp[c.f]);
        EXPECT_EQ(d.ClpRect, (TRect{0, 0, c.w - 1, c.h - 1}));
        // the top row is the last one in memory
        EXPECT_EQ(d.DIBAdr, d.DIBbits + (c.h - 1) * c.stride);
        EXPECT_EQ(d.GetScanLine(0), d.DIBAdr);
        EXPECT_EQ(d.GetScanLine(c.h - 1), d.DIBbits);
        EXPECT_EQ(d.GetScanLine(-1), nullptr);
        EXPECT_EQ(d.GetScanLine(c.h), nullptr);
        for (int i = 0; i < d.DIBSize; ++i) ASSERT_EQ(d.DIBbits[i], 0);
        EXPECT_TRUE(d.RLZH());
    }
}

TEST(Surface, PixelZeroIsFirstByteOfTopRow)
{
    TDIBUltra d(4, 3, DUpf24);
    d.DirectPlot(0, 0, 0x112233);
    EXPECT_EQ(d.DIBbits[2 * d.Stride()], 0x33);
    EXPECT_EQ(d.DIBbits[2 * d.Stride() + 2], 0x11);
}

TEST(Surface, SubBytePixelLayout)
{
    TDIBUltra one(16, 1, DUpf1);
    one.DirectPlot(0, 0, 1);
    one.DirectPlot(9, 0, 1);
    EXPECT_EQ(one.DIBAdr[0], 0x80);
    EXPECT_EQ(one.DIBAdr[1], 0x40);
    one.DirectPlot(0, 0, 0);
    EXPECT_EQ(one.DIBAdr[0], 0x00);
    EXPECT_EQ(one.GetPixelIndex(9, 0), 1u);

    TDIBUltra four(4, 1, DUpf4);
    four.DirectPlot(0, 0, 0xA);
    four.DirectPlot(1, 0, 0x5);
    four.DirectPlot(3, 0, 0xF);
    EXPECT_EQ(four.DIBAdr[0], 0xA5);
    EXPECT_EQ(four.DIBAdr[1], 0x0F);
    EXPECT_EQ(four.GetPixelIndex(0, 0), 0xAu);
}

TEST(Surface, SixteenBitIsFiveSixFive)
{
    TDIBUltra d(2, 2, DUpf16);
    EXPECT_EQ(d.GetIndexFromColor(0xFFFFFF), 0xFFFFu);
    EXPECT_EQ(d.GetIndexFromColor(0x0000FF), 0xF800u);
    EXPECT_EQ(d.DIBheader.Compression, 3u);
    EXPECT_EQ(d.DIBheader.Colors[0] | d.DIBheader.Colors[1] << 16, 0xF800u);
    // the brush starts white
    EXPECT_EQ(d.BcoulW, 0xFFFF);
    EXPECT_EQ(d.PcoulW, 0);
}

TEST(Surface, DefaultPalettes)
{
    const auto& p4 = TDIBUltra::DefaultPalette(DUpf4);
    ASSERT_EQ(p4.Count, 16);
    EXPECT_EQ(p4.Entries[7].Red, 128);   // gray
    EXPECT_EQ(p4.Entries[8].Green, 192); // silver
    EXPECT_EQ(p4.Entries[15].Blue, 255);
    EXPECT_EQ(TDIBUltra::DefaultPalette(DUpf1).Count, 2);
    TDIBUltra d(2, 2, DUpf8);
    EXPECT_EQ(d.DIBLogPal.Count, 256);
    EXPECT_EQ(d.GetColorFromIndex(d.StdIndex(White)), 0xFFFFFFu);
    EXPECT_EQ(d.GetColorFromIndex(d.StdIndex(Red)), 0x0000FFu);
    EXPECT_EQ(d.GetColorFromIndex(d.StdIndex(Gray)), 0x808080u);
    EXPECT_EQ(d.GetIndexFromColor(0xFFFFFF), 245u);
}

TEST(Surface, CreateRefusesEmptyOrHugeSizes)
{
    const char* msg = "DIB ERROR :\rCan NOT create DIB ? ? !\rImpossible de créer une image tampon ? ? !";
    EXPECT_EQ(ErrorOf([] { TDIBUltra d(0, 5, DUpf24); }), msg);
    EXPECT_EQ(ErrorOf([] { TDIBUltra d(5, 0, DUpf24); }), msg);
    EXPECT_EQ(ErrorOf([] { TDIBUltra d(65536, 1, DUpf24); }), msg);
    EXPECT_THROW(TDIBUltra(5, 5, TDUPixelFormat(7)), DIB_ERROR);
}

TEST(Surface, BufferDim)
{
    TDIBUltra d(10, 6, DUpf24);
    d.DirectPlot(3, 2, 0xABCDEF);
    d.BufferDim(10, 6);
    EXPECT_EQ(d.ClpRect, (TRect{0, 0, 10, 6}));
    EXPECT_EQ(d.GetPixelIndex(3, 2), 0xABCDEFu);
    d.BufferDim(4, 2);  // smaller: nothing re-made
    EXPECT_EQ(d.DIBWidth, 10);
    EXPECT_EQ(d.GetPixelIndex(3, 2), 0xABCDEFu);
    int client = 0;
    d.BufferOf(&client);
    d.BufferDim(20, 3);
    EXPECT_EQ(d.DIBWidth, 20);
    EXPECT_EQ(d.DIBHeight, 6);
    EXPECT_EQ(d.GetPixelIndex(3, 2), 0u);
    EXPECT_FALSE(d.BufferOf(&client));
    // the clip reaches one column and row beyond the surface: a fill covers all of it
    d.BufferDim(20, 6);
    d.SetBrhColor(0x0000FF);
    d.FillRect(d.ClpRect);
    EXPECT_EQ(Drawn(d, 0), Rect(0, 0, 19, 5));
}

TEST(Surface, BufferOf)
{
    TDIBUltra d(2, 2, DUpf24);
    int a = 0, b = 0;
    EXPECT_FALSE(d.BufferOf(&a));
    EXPECT_TRUE(d.BufferOf(&a));
    EXPECT_FALSE(d.BufferOf(&b));
    EXPECT_TRUE(d.BufferOf(&b));
    d.BufferToUpdate();
    EXPECT_FALSE(d.BufferOf(&b));
}

struct Screen {
    int w, h;
    std::vector<uint32_t> px;
    DibCanvas canvas;
    Screen(int W, int H) : w(W), h(H), px(size_t(W * H), 0xFF000000u), canvas(px.data(), W, H, W * 4) {}
    uint32_t at(int x, int y) const { return px[size_t(y * w + x)]; }
};

TEST(Surface, DrawOnNegativeSourceOffsetMovesTheTarget)
{
    TDIBUltra d(100, 50, DUpf24);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) d.DirectPlot(x, y, uint32_t(x << 8 | y));
    Screen s(120, 60);
    d.DrawOn({0, 0, 100, 50}, s.canvas, -10, 0);
    int copied = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x)
            if (s.at(x, y) != 0xFF000000u) {
                ++copied;
                // column 0 of the surface lands at x = 10
                EXPECT_EQ(s.at(x, y), 0xFF000000u | uint32_t((x - 10) << 8 | y));
            }
    // (0, 0) is black in the source too: count the covered area instead
    EXPECT_GE(copied, 90 * 50 - 1);
    EXPECT_EQ(s.at(9, 5), 0xFF000000u);
    EXPECT_EQ(s.at(100, 5), 0xFF000000u);
}

TEST(Surface, DrawOnConvertsEveryFormat)
{
    for (int f = DUpf1; f <= DUpf32; ++f) {
        TDIBUltra d(3, 2, TDUPixelFormat(f));
        d.SetPixel(1, 1, 0xFFFFFF);
        Screen s(3, 2);
        d.DrawOn({0, 0, 3, 2}, s.canvas, 0, 0);
        // 5-bit and 6-bit channels come back with their low bits 0
        const uint32_t white = f == DUpf15 ? 0xFFF8F8F8u : f == DUpf16 ? 0xFFF8FCF8u : 0xFFFFFFFFu;
        EXPECT_EQ(s.at(1, 1), white) << f;
        EXPECT_EQ(s.at(0, 0), 0xFF000000u) << f;
    }
}

TEST(Surface, CanvasCopyBetweenSurfaces)
{
    TDIBUltra src(4, 4, DUpf24), dst(6, 6, DUpf16);
    src.SetBrhColor(0x00FF00);
    src.ClearAll();
    dst.Cnv.CopyRect({1, 1, 5, 5}, src.Cnv, {0, 0, 4, 4});
    EXPECT_EQ(Drawn(dst, 0), Rect(1, 1, 4, 4));
    EXPECT_EQ(dst.GetPixelIndex(2, 2), 0x07E0u);
    // a rectangle copy that hangs over every edge stays inside
    dst.Cnv.BitBlt(-3, 4, 10, 10, src.Cnv, 0, 0);
    EXPECT_EQ(dst.GetPixelIndex(0, 5), 0x07E0u);
}

// The visual step copies 16-bit backgrounds into 24-bit surfaces every pass: that copy goes
// row by row and gives what the pixel routines give.
TEST(Surface, SixteenBitCopiesIntoTrueColourAsThePixelRoutinesRead)
{
    for (TDUPixelFormat from : {DUpf15, DUpf16})
        for (TDUPixelFormat to : {DUpf24, DUpf32}) {
            TDIBUltra src(37, 5, from), dst(40, 7, to);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 37; ++x) src.DirectPlot(x, y, uint32_t(x * 1777 + y * 65099) & DUmaxValue[from]);
            dst.SetBrhColor(0x123456);
            dst.ClearAll();
            dst.Cnv.BitBlt(2, 1, 37, 5, src.Cnv, 0, 0);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 37; ++x)
                    ASSERT_EQ(dst.GetPixel(x + 2, y + 1), src.GetPixel(x, y)) << from << " " << to << " " << x;
            EXPECT_EQ(dst.GetPixel(1, 1), 0x123456u);
            EXPECT_EQ(dst.GetPixel(39, 6), 0x123456u);
            if (to == DUpf32) {
                EXPECT_EQ(dst.GetScanLine(1)[2 * 4 + 3], 0);
            }
        }
}

TEST(Surface, StretchAndTile)
{
    TDIBUltra d(3, 3, DUpf24);
    d.DirectPlot(0, 0, 0xFF0000);
    Screen s(8, 8);
    d.TiledOn({0, 0, 8, 8}, s.canvas);
    for (int y : {0, 3, 6})
        for (int x : {0, 3, 6}) EXPECT_EQ(s.at(x, y), 0xFFFF0000u) << x << "," << y;
    EXPECT_EQ(s.at(1, 0), 0xFF000000u);
    Screen t(4, 4);
    d.StretchOn({0, 0, 4, 4}, t.canvas);  // the 2x2 top-left part of the surface, doubled
    EXPECT_EQ(t.at(1, 1), 0xFFFF0000u);
    EXPECT_EQ(t.at(2, 2), 0xFF000000u);
}
