// The LED level bar: bar count, lit count and break, the peak and fall rule, the horizontal
// layout, and the bars that have nothing to divide by.
#include <gtest/gtest.h>

#include <QTest>

#include "snkins/vr/trled.h"
#include "tests/snkins/vr/kittesthelpers.h"

namespace {

// The colour of bar i (1-based, from the top or the left) at its middle.
QRgb bar(TRLed& led, const QImage& img, int i)
{
    const int bs = led.BarSize();
    if (led.Orientation() == trVertical) return px(img, led.width() / 2, (i - 1) * bs + 2 + (bs - 2) / 2);
    return px(img, (i - 1) * bs + 2 + (bs - 2) / 2, led.height() / 2);
}

const QRgb kLowLit = rgbOf(clLime), kHiLit = rgbOf(clRed);
const QRgb kLowDim = rgbOf(0x003300), kHiDim = rgbOf(0x000033);

}  // namespace

TEST(KitLevelBar, ThirtyBarsAllLitAtTheTopAndTheTopNineInColorHi)
{
    TRLed led;
    led.SetPosition(led.MaxValue());
    EXPECT_EQ(led.BarCount, 30);
    EXPECT_EQ(led.BreakCount(), 10);  // 35 % of 30 = 10.5, to even
    const QImage img = led.RenderImage();
    for (int i = 1; i <= 30; ++i) EXPECT_EQ(bar(led, img, i), i < 10 ? kHiLit : kLowLit) << i;
    EXPECT_EQ(px(img, 0, 0), 0u);  // background between and around the bars
    EXPECT_EQ(px(img, led.width() / 2, 5), 0u);
}

TEST(KitLevelBar, LitBarsGrowFromTheBottomAndUnlitOnesShowAFifth)
{
    TRLed led;
    led.SetPosition(50);  // 15 bars
    EXPECT_EQ(led.LitCount(), 15);
    const QImage img = led.RenderImage();
    for (int i = 1; i <= 30; ++i) {
        const bool lit = i > 15, hi = i < 10;
        EXPECT_EQ(bar(led, img, i), hi ? (lit ? kHiLit : kHiDim) : (lit ? kLowLit : kLowDim)) << i;
    }
}

TEST(KitLevelBar, APositionOrPeakAboveTheMaximumIsIgnored)
{
    TRLed led;
    led.SetPosition(40);
    led.SetPosition(101);
    EXPECT_EQ(led.Position(), 40);
    led.SetPico(150);
    EXPECT_EQ(led.Position(), 40);
    EXPECT_EQ(led.pico(), 150);
    led.SetPico(30);
    EXPECT_EQ(led.Position(), 40);
    led.SetPico(70);
    EXPECT_EQ(led.Position(), 70);
}

TEST(KitLevelBar, TheFallFrom1200ReachesZeroInThreeTicks)
{
    TRLed led;
    led.enabletimer(false);
    led.SetMaxValue(33768);
    led.SetPico(1200);
    QList<int> steps;
    for (int i = 0; i < 4; ++i) {
        led.OnChangeTimer();
        steps << led.Position();
    }
    EXPECT_EQ(steps, (QList<int>{700, 200, 0, 0}));
    led.SetPico(1200);
    led.enabletimer(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return led.Position() == 0; }, 2000));
}

TEST(KitLevelBar, HorizontalBarsLeaveTheLastTwoPositionsEmpty)
{
    TRLed led;
    led.SetOrientation(trHorizontal);
    EXPECT_EQ(led.size(), QSize(152, 25));
    led.resize(50, 20);
    led.SetBarSize(4);
    EXPECT_EQ(led.BarCount, 12);
    led.SetPosition(100);
    QImage img = led.RenderImage();
    for (int i = 1; i <= 10; ++i) EXPECT_NE(bar(led, img, i), 0u) << i;
    EXPECT_EQ(bar(led, img, 11), 0u);
    EXPECT_EQ(bar(led, img, 12), 0u);
    EXPECT_EQ(bar(led, img, 10), kHiLit);  // the right end carries ColorHi
    EXPECT_EQ(bar(led, img, 1), kLowLit);
    led.SetPosition(25);  // L = 3: bars 1 and 2 lit (L >= i + 1)
    img = led.RenderImage();
    EXPECT_EQ(bar(led, img, 2), kLowLit);
    EXPECT_EQ(bar(led, img, 3), kLowDim);
}

TEST(KitLevelBar, BreakPosZeroIsAllLowAndAHundredAllHighButTheBottomBar)
{
    TRLed led;
    led.SetPosition(100);
    led.SetBreakPos(0);
    QImage img = led.RenderImage();
    for (int i = 1; i <= 30; ++i) EXPECT_EQ(bar(led, img, i), kLowLit) << i;
    led.SetBreakPos(100);
    img = led.RenderImage();
    for (int i = 1; i <= 30; ++i) EXPECT_EQ(bar(led, img, i), i < 30 ? kHiLit : kLowLit) << i;
    led.SetBreakPos(155);  // ignored
    EXPECT_EQ(led.BreakPos(), 100);
}

TEST(KitLevelBar, NoBarsOrNoRangeShowOnlyTheBackground)
{
    TRLed led;
    led.SetBackColor(0x202020);
    led.SetPosition(50);
    led.SetBarSize(0);
    EXPECT_EQ(led.BarSize(), 0);
    QImage img = led.RenderImage();
    EXPECT_EQ(countColour(img, img.rect(), rgbOf(0x202020)), 25 * 152);
    led.SetBarSize(5);
    led.SetMaxValue(0);
    led.SetPosition(0);
    img = led.RenderImage();
    EXPECT_EQ(countColour(img, img.rect(), rgbOf(0x202020)), 25 * 152);
}

TEST(KitLevelBar, ALevelAboveALoweredMaximumShowsAFullBar)
{
    TRLed led;
    led.SetMaxValue(33768);
    led.SetPosition(30000);
    led.SetMaxValue(100);  // 30000 % of the range: clamped, not wrapped
    EXPECT_EQ(led.Percent(), 100);
    const QImage img = led.RenderImage();
    for (int i = 1; i <= 30; ++i) EXPECT_EQ(bar(led, img, i), i < 10 ? kHiLit : kLowLit) << i;
}
