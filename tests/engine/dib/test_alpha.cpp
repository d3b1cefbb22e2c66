#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "engine/dib/dib_error.h"
#include "tests/engine/dib/dibtesthelpers.h"

namespace {

std::vector<uint16_t> Runs(const TDIBUltra& d)
{
    std::vector<uint16_t> w;
    for (size_t i = AlphaHeaderSize; i + 1 < d.Alpha.size(); i += 2) w.push_back(uint16_t(d.Alpha[i] | d.Alpha[i + 1] << 8));
    return w;
}

uint16_t Rgb565(int r, int g, int b) { return uint16_t(r << 11 | g << 5 | b); }

}  // namespace

TEST(Alpha, Transparency)
{
    TDIBUltra d8(2, 2, DUpf8), d24(2, 2, DUpf24);
    d8.MakeTransparent(7);
    EXPECT_TRUE(DUhas(d8.DIBStatus, DUtTransparent));
    EXPECT_EQ(d8.DIBTransp, 7);
    d8.MakeOpaque();
    EXPECT_FALSE(DUhas(d8.DIBStatus, DUtTransparent));
    d24.MakeTransparent(7);
    EXPECT_FALSE(DUhas(d24.DIBStatus, DUtTransparent));
}

TEST(Alpha, MaskRuns)
{
    TDIBUltra pic(300, 3, DUpf16), mask(300, 3, DUpf8);
    // row 0: 0, 255, 255, 0 ... ; row 1: all 0; row 2: 300 pixels of 255
    mask.DirectPlot(1, 0, 255);
    mask.DirectPlot(2, 0, 248);
    for (int x = 0; x < 300; ++x) mask.DirectPlot(x, 2, 255);
    pic.SetAlphaMask(mask, 1, 0x1234);
    EXPECT_TRUE(DUhas(pic.DIBStatus, DUtAlpha));
    const std::vector<uint16_t> expected = {0x0001, 0x1F02, 0, 0x0001, 0, 0x1FFF, 0x1F2D, 0, 0};
    EXPECT_EQ(Runs(pic), expected);
    const auto& a = pic.Alpha;
    ASSERT_EQ(a.size(), size_t(AlphaHeaderSize + 18));
    EXPECT_EQ(a[0] | a[1] << 8, 1);
    EXPECT_EQ(uint32_t(a[2] | a[3] << 8 | a[4] << 16 | a[5] << 24), uint32_t(AlphaHeaderSize + 18));
    EXPECT_EQ(a[6], 0x34);
    EXPECT_EQ(a[7] | a[8] << 8, 18);
    pic.NoAlpha();
    EXPECT_TRUE(pic.Alpha.empty());
    EXPECT_FALSE(DUhas(pic.DIBStatus, DUtAlpha));
}

TEST(Alpha, MaskRefusals)
{
    TDIBUltra pic(4, 4, DUpf16), mask8(4, 4, DUpf8), mask24(4, 4, DUpf24), small(3, 4, DUpf8);
    EXPECT_EQ(ErrorOf([&] { pic.SetAlphaMask(mask8, 2, 0); }),
              "AlphaBlit ne supporte pas encore l'animation. (Num doit être = 1)");
    EXPECT_EQ(ErrorOf([&] { pic.SetAlphaMask(mask24, 1, 0); }), "Le masque doit être une image en 256 couleurs !");
    EXPECT_EQ(ErrorOf([&] { pic.SetAlphaMask(small, 1, 0); }),
              "L'image du masque doit être de même dimensions que le motif !");
    // every pixel a run of its own: more than 64 KB of runs
    TDIBUltra big(200, 200, DUpf16), noisy(200, 200, DUpf8);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) noisy.DirectPlot(x, y, (x + y) % 2 ? 255 : 100);
    EXPECT_EQ(ErrorOf([&] { big.SetAlphaMask(noisy, 1, 0); }),
              "TDIBUltra ne gère pas les masques Alpha faisant + de 65Ko après compression !");
    EXPECT_EQ(ErrorOf([&] { pic.SetAlphaFile("/nonexistent/mask.dib", 1, 0); }), "Alpha Mask File Invalid.");
}

TEST(Alpha, ChannelBlit)
{
    TDIBUltra pic(3, 2, DUpf16), mask(3, 2, DUpf8), dest(5, 4, DUpf16);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) pic.DirectPlot(x, y, Rgb565(31, 63, 31));
    dest.SetBrhColor(0);
    dest.ClearAll();
    mask.DirectPlot(1, 0, 255);  // level 31
    mask.DirectPlot(2, 0, 128);  // level 16
    mask.DirectPlot(0, 1, 8);    // level 1
    pic.SetAlphaMask(mask, 1, 0);
    pic.AlphaChanelBlit(dest, 1, 1, 2);
    EXPECT_EQ(dest.GetPixelIndex(1, 2), 0u);
    EXPECT_EQ(dest.GetPixelIndex(2, 2), Rgb565(31 * 31 / 32, 63 * 31 / 32, 31 * 31 / 32));
    EXPECT_EQ(dest.GetPixelIndex(3, 2), Rgb565(15, 31, 15));
    EXPECT_EQ(dest.GetPixelIndex(1, 3), Rgb565(0, 1, 0));
    EXPECT_EQ(Drawn(dest, 0), (Pixels{{2, 2}, {3, 2}, {1, 3}}));

    TDIBUltra plain(3, 2, DUpf16), dest24(5, 4, DUpf24);
    EXPECT_EQ(ErrorOf([&] { plain.AlphaChanelBlit(dest, 0, 1, 0); }),
              "Cette DIBUltra ne supporte pas le traitement Alpha.");
    EXPECT_EQ(ErrorOf([&] { pic.AlphaChanelBlit(dest, 0, 3, 0); }),
              "AlphaBlit ne supporte pas encore l'animation. (Num doit être = 1)");
    EXPECT_EQ(ErrorOf([&] { pic.AlphaChanelBlit(dest24, 0, 1, 0); }),
              "L'image en Destination doit être une image à 16 Bpp !");
    for (auto [x, y] : {std::pair{3, 0}, std::pair{-1, 0}, std::pair{0, 3}})
        EXPECT_EQ(ErrorOf([&] { pic.AlphaChanelBlit(dest, x, 1, y); }),
                  "Le clipping n'est pas encore supporté.\rLe sprite doit tenir entièrement dans l'image de "
                  "destination.");
    TDIBUltra pic24(3, 2, DUpf24);
    pic24.SetAlphaMask(mask, 1, 0);
    EXPECT_EQ(ErrorOf([&] { pic24.AlphaChanelBlit(dest, 0, 1, 0); }),
              "La DIBUltra a afficher par filtre Alpha doit être une image à 16 Bpp !");
}

TEST(Alpha, LevelBlit)
{
    // odd width: the row padding is not blended onto the next pixel of the destination
    TDIBUltra pic(3, 2, DUpf16), dest(4, 2, DUpf16);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) pic.DirectPlot(x, y, Rgb565(20, 40, 10));
    dest.ClearAll();
    pic.AlphaBlit(dest, 1, 0, 0);
    EXPECT_EQ(Drawn(dest, 0xFFFF), Pixels{});
    pic.AlphaBlit(dest, 1, 8, 0);
    const uint16_t mix = Rgb565((20 * 8 + 31 * 24) / 32, (40 * 8 + 63 * 24) / 32, (10 * 8 + 31 * 24) / 32);
    EXPECT_EQ(dest.GetPixelIndex(1, 0), mix);
    EXPECT_EQ(dest.GetPixelIndex(3, 1), mix);
    EXPECT_EQ(Drawn(dest, 0xFFFF), Rect(1, 0, 3, 1));
    // level 32 and above: the clip rectangle copied onto the same rectangle
    TDIBUltra d2(4, 2, DUpf16);
    pic.AlphaBlit(d2, 1, 40, 0);
    EXPECT_EQ(Drawn(d2, 0), Rect(0, 0, 1, 0));

    TDIBUltra pic8(2, 2, DUpf8);
    EXPECT_EQ(ErrorOf([&] { pic8.AlphaBlit(dest, 0, 5, 0); }),
              "La DIBUltra à afficher par filtre Alpha doit être une image à 16 Bpp !");
    TDIBUltra dest8(4, 4, DUpf8);
    EXPECT_EQ(ErrorOf([&] { pic.AlphaBlit(dest8, 0, 5, 0); }), "L'image en Destination doit être une image à 16 Bpp !");
    EXPECT_EQ(ErrorOf([&] { pic.AlphaBlit(dest, 2, 5, 0); }),
              "Le clipping n'est pas encore supporté.\rDest doit contenir la DIB fournissant le blend.");
}
