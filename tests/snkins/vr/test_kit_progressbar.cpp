// The progress bar: blocks and smooth fill on the 200 × 16 bar, the three fills, both
// orientations, limits, and viewports too thin for a block.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "snkins/vr/tvrprogressbar.h"
#include "snkins/vr/vrfunctions.h"
#include "tests/snkins/vr/kittesthelpers.h"

namespace {

// The x of every column of the bar's middle row that is not background (black).
QList<int> filledColumns(const QImage& img, const QRect& vp)
{
    QList<int> xs;
    const int y = vp.top() + vp.height() / 2;
    for (int x = vp.left(); x <= vp.right(); ++x)
        if (px(img, x, y) != 0) xs << x;
    return xs;
}

}  // namespace

TEST(KitProgressBar, BlocksAreSixWideEveryEightAndStopAtTheFill)
{
    TVrProgressBar bar;
    bar.SetPosition(0);
    QImage img = bar.RenderImage();
    EXPECT_EQ(bar.ViewPort(), QRect(1, 1, 198, 14));
    EXPECT_TRUE(filledColumns(img, bar.ViewPort()).isEmpty());
    EXPECT_NE(px(img, 0, 0), 0u);  // the bevel is there

    bar.SetPosition(50);
    img = bar.RenderImage();
    const QList<int> xs = filledColumns(img, bar.ViewPort());
    ASSERT_FALSE(xs.isEmpty());
    EXPECT_EQ(xs.first(), 2);
    for (int x : xs) EXPECT_LT((x - 2) % 8, 6) << x;  // 6 lit, 2 gap
    // blocks go on while a block's left edge lies left of the middle (1 + 99)
    EXPECT_EQ(xs.last(), 2 + 8 * 12 + 5);
    EXPECT_EQ(px(img, 50, 1), 0u);  // one pixel of well above the block
    EXPECT_NE(px(img, 50, 2), 0u);
}

TEST(KitProgressBar, SmoothAtAHundredEndsOnePixelInsideTheWell)
{
    TVrProgressBar bar;
    bar.SetSmooth(true);
    const QImage img = bar.RenderImage();
    const QList<int> xs = filledColumns(img, bar.ViewPort());
    EXPECT_EQ(xs.size(), 196);
    EXPECT_EQ(xs.first(), 2);
    EXPECT_EQ(xs.last(), 197);
}

TEST(KitProgressBar, TheGradientRunsFromStartColourAtTheEmptyEnd)
{
    TVrProgressBar bar;
    bar.SetStartColor(clBlue);
    bar.SetEndColor(clRed);
    bar.SetSmooth(true);
    QImage img = bar.RenderImage();
    EXPECT_GT(qBlue(img.pixel(2, 8)), 240);
    EXPECT_GT(qRed(img.pixel(196, 8)), 240);

    bar.SetOrientation(voVertical);
    EXPECT_EQ(bar.size(), QSize(16, 200));
    img = bar.RenderImage();
    EXPECT_GT(qBlue(img.pixel(8, 197)), 240);  // bottom: the empty end
    EXPECT_GT(qRed(img.pixel(8, 3)), 240);
    bar.SetPosition(50);
    img = bar.RenderImage();
    EXPECT_EQ(px(img, 8, 50), 0u);  // the upper half is empty
    EXPECT_NE(px(img, 8, 150), 0u);
}

TEST(KitProgressBar, PlainFillsWithTheHighlightAndBitmapTilesThePicture)
{
    TVrProgressBar bar;
    bar.SetSmooth(true);
    bar.SetFillType(pfPlain);
    QImage img = bar.RenderImage();
    EXPECT_EQ(px(img, 100, 8), rgbOf(Color2RGB(clHighlight)));

    bar.SetFillType(pfBitmap);  // without a picture: the highlight too
    EXPECT_EQ(px(bar.RenderImage(), 100, 8), rgbOf(Color2RGB(clHighlight)));
    QImage tile(2, 1, QImage::Format_RGB32);
    tile.setPixel(0, 0, qRgb(255, 0, 0));
    tile.setPixel(1, 0, qRgb(0, 255, 0));
    bar.SetBitmap(tile);
    img = bar.RenderImage();
    // the tile starts at the viewport's corner: even columns of the viewport red, odd green
    EXPECT_EQ(px(img, 2, 8), 0x00FF00u);
    EXPECT_EQ(px(img, 3, 8), 0xFF0000u);
    EXPECT_EQ(px(img, 100, 8), 0x00FF00u);
}

TEST(KitProgressBar, LimitsAndPositionFollowTheirRules)
{
    TVrProgressBar bar;
    QSignalSpy spy(&bar, &TVrProgressBar::OnChange);
    bar.SetPosition(100);  // already there
    EXPECT_EQ(spy.count(), 0);
    bar.SetMinValue(100);  // not below MaxValue: ignored
    EXPECT_EQ(bar.MinValue(), 0);
    bar.SetMaxValue(0);
    EXPECT_EQ(bar.MaxValue(), 100);
    bar.SetMaxValue(80);
    EXPECT_EQ(bar.Position(), 80);
    EXPECT_EQ(spy.count(), 1);
    bar.SetPosition(0);
    bar.StepIt();
    bar.StepBy(5);
    EXPECT_EQ(bar.Position(), 15);
    bar.StepBy(1000);
    EXPECT_EQ(bar.Position(), 80);
}

// Too thin for a block: a 2-pixel viewport gives blocks of no width, which still move on.
TEST(KitProgressBar, ThinViewportsStillFinishTheirPaint)
{
    for (TVrOrientation o : {voHorizontal, voVertical})
        for (bool smooth : {false, true})
            for (int thickness : {1, 2, 3, 4}) {
                TVrProgressBar bar;
                bar.SetOrientation(o);
                bar.SetSmooth(smooth);
                if (o == voHorizontal)
                    bar.resize(200, thickness + 2);
                else
                    bar.resize(thickness + 2, 200);
                bar.SetPosition(100);
                const QImage img = bar.RenderImage();
                EXPECT_EQ(img.size(), bar.size());
            }
}
