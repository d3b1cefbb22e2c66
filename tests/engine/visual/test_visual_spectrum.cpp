// The spectrum view's bar drawer: bar heights from magnitudes, the fall of bars and peak marks,
// lines, the background picture and bins beyond the frame.
#include <gtest/gtest.h>

#include <limits>

#include "engine/visual/tspectrum.h"
#include "tests/engine/visual/visualfakes.h"

namespace {

constexpr int W = 480, H = 74;

// As the visual step sets it up for deck A.
std::unique_ptr<TSpectrum> deckSpectrum()
{
    auto s = std::make_unique<TSpectrum>(W, H);
    s->DrawType = 1;
    s->SpecHeight = 40;
    s->DrawRes = 2;
    s->ColWidth = 15;
    s->BkgColor = 0;
    s->PenColor = 0x0AB2FE;
    return s;
}

TEST(VisualSpectrum, MagnitudesBecomeBarsCappedAtTheHeightLimit)
{
    auto s = deckSpectrum();
    FakeBox box(W, H);
    TFFTData f{};
    f[6] = 0.1f;    // bar 3: 0.1 x 500 = 50, capped to 40
    f[10] = 0.05f;  // bar 5: 25
    f[11] = 1.0f;   // an odd bin: no bar shows it
    s->Draw(box.Canvas(), f, 0, 0);
    EXPECT_EQ(s->FFTFallOff[3], 40);
    EXPECT_EQ(s->FFTFallOff[5], 25);
    EXPECT_EQ(s->FFTFallOff[4], 0);
    // bar 3 covers columns 48 .. 62, its 40 bottom rows; the gap column stays background
    for (int x : {48, 55, 62}) EXPECT_EQ(box.count(x, 0x0AB2FE), 40) << x;
    EXPECT_EQ(box.count(63, 0), H);
    EXPECT_EQ(box.count(80 + 7, 0x0AB2FE), 25);
    EXPECT_EQ(box.at(50, H - 41), 0u);
}

TEST(VisualSpectrum, BarsFallThreeAndPeaksOneAFrame)
{
    auto s = deckSpectrum();
    FakeBox box(W, H);
    TFFTData f{};
    f[24] = 0.25f;
    s->Draw(box.Canvas(), f, 0, 0);
    ASSERT_EQ(s->FFTFallOff[12], 40);
    const TFFTData silence{};
    for (int frame = 1; frame <= 14; ++frame) {
        s->Draw(box.Canvas(), silence, 0, 0);
        EXPECT_EQ(s->FFTFallOff[12], std::max(40 - 3 * frame, 0));
        EXPECT_EQ(s->FFTPeacks[12], 40 - frame);
    }
    // the peak mark 26 rows up, a 15-pixel line over an empty bar
    const int x0 = 12 * 16;
    EXPECT_EQ(box.at(x0, H - 26), 0x00FFFFu);
    EXPECT_EQ(box.at(x0 + 14, H - 26), 0x00FFFFu);
    EXPECT_EQ(box.at(x0 + 15, H - 26), 0u);
    EXPECT_EQ(box.count(x0 + 3, 0x0AB2FE), 0);
    // a new peak above the falling mark lifts both at once
    f[24] = 0.0625f;  // 31
    s->Draw(box.Canvas(), f, 0, 0);
    EXPECT_EQ(s->FFTFallOff[12], 31);
    EXPECT_EQ(s->FFTPeacks[12], 31);
}

TEST(VisualSpectrum, LinesWithPeakPixels)
{
    TSpectrum s(200, 60);
    FakeBox box(200, 60);
    TFFTData f{};
    f[7] = 0.0625f;  // 31
    s.Draw(box.Canvas(), f, 0, 0);
    f[7] = 0;
    s.Draw(box.Canvas(), f, 0, 0);
    // the line 28 high (its end point left out), the peak pixel two rows above it
    EXPECT_EQ(box.count(7, 0xFFFFFF), 27 + 1);
    EXPECT_EQ(box.at(7, 60 - 30), 0xFFFFFFu);
    EXPECT_EQ(box.at(7, 60 - 29), 0u);
    EXPECT_EQ(box.at(7, 60 - 27), 0xFFFFFFu);
}

TEST(VisualSpectrum, BackgroundPictureBehindTheBars)
{
    auto s = deckSpectrum();
    TDIBUltra picture(100, 20, DUpf24);
    picture.SetBrhColor(0x303030);
    picture.ClearAll();
    s->SetBackGround(true, picture.Cnv);
    EXPECT_TRUE(s->UseBkg);
    FakeBox box(W, H);
    TFFTData f{};
    f[0] = 1.0f;
    s->Draw(box.Canvas(), f, 0, 0);
    EXPECT_EQ(box.at(50, 5), 0x303030u);   // the picture at its own size from (0, 0)
    EXPECT_EQ(box.at(150, 5), 0u);         // beyond it the background colour
    EXPECT_EQ(box.at(5, H - 1), 0x0AB2FEu);  // bars over it

    s->SetBackGround(false, picture.Cnv);
    s->Draw(box.Canvas(), f, 0, 0);
    EXPECT_EQ(box.at(50, 5), 0u);
}

TEST(VisualSpectrum, BinsBeyondTheFrameReadAsSilence)
{
    auto s = deckSpectrum();
    s->DrawRes = 7;  // bar 128 would read bin 896
    FakeBox box(W, H);
    TFFTData f;
    f.fill(1.0f);
    s->Draw(box.Canvas(), f, 0, 0);
    EXPECT_EQ(s->FFTFallOff[73], 40);  // bin 511
    EXPECT_EQ(s->FFTFallOff[74], 0);   // bin 518
    f.fill(std::numeric_limits<float>::quiet_NaN());
    s->Draw(box.Canvas(), f, 0, 0);
    EXPECT_EQ(s->FFTFallOff[0], 37);
}

}  // namespace
