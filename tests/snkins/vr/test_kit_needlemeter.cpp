// The needle meter: the peak and fall rule, clamping and OnChange, zones, the needle's angle on
// the picture, ticks, labels and the caption's lines, and the ranges that cannot divide.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <cmath>

#include "snkins/vr/evrexception.h"
#include "snkins/vr/tvrquorangularmeter.h"
#include "tests/snkins/vr/kittesthelpers.h"

namespace {

// Bare meter: black background, no labels, no caption.
struct Meter : TVrQuorAngularMeter {
    Meter()
    {
        SetLabels(0);
        SetNeedleColor(0x00FFFF);  // yellow: found nowhere else on the picture
    }
};

// Whether the needle covers the point at `fraction` of its length along angle `a`.
bool needleAt(Meter& m, const QImage& img, double a, double fraction = 0.6)
{
    const QPoint p = m.Rotate(m.GetRadius() * fraction, a);
    return px(img, p.x(), p.y()) == rgbOf(0x00FFFF);
}

}  // namespace

TEST(KitNeedleMeter, APeakThrowsTheNeedleUpAndTheTimerLowersItBy500ToExactlyZero)
{
    Meter m;
    m.SetMaxValue(38000);
    m.SetPico(30000);
    EXPECT_EQ(m.Position(), 30000);
    EXPECT_EQ(m.caida(), 1);
    m.OnChangeTimer();
    EXPECT_EQ(m.Position(), 29500);
    m.OnChangeTimer();
    EXPECT_EQ(m.Position(), 29000);
    m.SetPico(20000);  // lower than the needle: nothing but the stored peak
    EXPECT_EQ(m.Position(), 29000);
    EXPECT_EQ(m.pico(), 20000);
    for (int i = 0; i < 57; ++i) m.OnChangeTimer();
    EXPECT_EQ(m.Position(), 500);
    m.SetPosition(300);
    m.OnChangeTimer();
    EXPECT_EQ(m.Position(), 0);
    QSignalSpy spy(&m, &TVrQuorAngularMeter::OnChange);
    m.OnChangeTimer();  // at rest: nothing happens
    EXPECT_EQ(spy.count(), 0);
}

TEST(KitNeedleMeter, TheFallTimerRunsOnlyWhileEnabled)
{
    Meter m;
    m.SetMaxValue(38000);
    m.SetPico(1200);
    QSignalSpy spy(&m, &TVrQuorAngularMeter::OnChange);
    m.settimerenabled(true);
    EXPECT_TRUE(spy.wait(1000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return m.Position() == 0; }, 2000));
    m.settimerenabled(false);
    m.SetPico(5000);
    QTest::qWait(80);
    EXPECT_EQ(m.Position(), 5000);
}

TEST(KitNeedleMeter, SetPositionClampsAndFiresOnEveryCall)
{
    Meter m;
    QSignalSpy spy(&m, &TVrQuorAngularMeter::OnChange);
    m.SetPosition(150);
    EXPECT_EQ(m.Position(), 100);
    m.SetPosition(100);
    m.SetPosition(-4);
    EXPECT_EQ(m.Position(), 0);
    EXPECT_EQ(spy.count(), 3);
}

TEST(KitNeedleMeter, RangeLimitsRefuseToCrossAndPullThePositionAlong)
{
    Meter m;
    m.SetPosition(50);
    EXPECT_THROW(m.SetMinValue(101), EVrException);
    EXPECT_EQ(m.MinValue(), 0);
    EXPECT_THROW(m.SetMaxValue(-1), EVrException);
    m.SetMaxValue(40);
    EXPECT_EQ(m.Position(), 40);
    m.SetMinValue(45 - 5);
    EXPECT_EQ(m.Position(), 40);
    m.BeginLoad();  // while loading the limits are taken as they come
    m.SetMinValue(60);
    m.Loaded();
    EXPECT_EQ(m.MinValue(), 60);
}

TEST(KitNeedleMeter, PercentagesAreCutToAHundred)
{
    Meter m;
    m.SetPercent1(70);
    m.SetPercent2(40);
    EXPECT_EQ(m.Percent2(), 30);
    m.SetPercent1(90);
    EXPECT_EQ(m.Percent1(), 70);
}

TEST(KitNeedleMeter, ZonesLieInTheBandOutsideTheScaleAndTheThirdOnlyBelowAHundred)
{
    Meter m;
    m.SetTicks(0);
    m.SetNeedleLength(0);
    m.SetPosition(0);
    const int band = m.GetRadius() + m.TicksMax() / 2;
    QImage img = m.RenderImage();
    const double S = m.Angle() + 180.0;
    auto at = [&](double fraction, int r) {
        const QPoint p = m.Rotate(r, S + fraction * m.AngleOffset());
        return px(img, p.x(), p.y());
    };
    EXPECT_EQ(at(0.30, band), rgbOf(m.ColorZone(1)));
    EXPECT_EQ(at(0.72, band), rgbOf(m.ColorZone(2)));
    EXPECT_EQ(at(0.95, band), rgbOf(m.ColorZone(3)));
    EXPECT_EQ(at(0.30, m.GetRadius() - 6), rgbOf(clBlack));  // inside the scale: background
    m.SetPercent2(40);                                        // 60 + 40: no third zone
    img = m.RenderImage();
    EXPECT_EQ(at(0.95, band), rgbOf(m.ColorZone(2)));
}

TEST(KitNeedleMeter, TheNeedlePointsAtTheValue)
{
    Meter m;
    m.SetMinValue(-50);
    m.SetMaxValue(150);
    const double S = m.Angle() + 180.0;
    for (double v : {-50.0, 0.0, 50.0, 100.0, 150.0}) {
        m.SetPosition(v);
        const double a = S + m.AngleOffset() * (v + 50) / 200;
        EXPECT_DOUBLE_EQ(m.NeedleAngle(), a);
        const QImage img = m.RenderImage();
        EXPECT_TRUE(needleAt(m, img, a)) << v;
        EXPECT_FALSE(needleAt(m, img, a + 40)) << v;
        EXPECT_FALSE(needleAt(m, img, a - 40)) << v;
    }
}

TEST(KitNeedleMeter, AnEmptyRangePutsTheNeedleAtTheScaleStart)
{
    Meter m;
    m.BeginLoad();
    m.SetMaxValue(0);
    m.Loaded();
    m.SetPosition(0);
    const double S = m.Angle() + 180.0;
    EXPECT_DOUBLE_EQ(m.NeedleAngle(), S);
    EXPECT_TRUE(needleAt(m, m.RenderImage(), S));
}

TEST(KitNeedleMeter, TicksAreLongAtEveryEnlargeStepAndAllShortWithoutOne)
{
    Meter m;
    m.SetTicks(10);
    m.SetTicksEnlarge(5);
    m.SetPercent1(0);
    m.SetPercent2(0);
    m.SetColorZone(3, clBlack);  // no zones in the way
    m.SetNeedleLength(0);
    const double S = m.Angle() + 180.0;
    auto tickReaches = [&](const QImage& img, int i, int r) {
        // white somewhere next to the point: a smoothed slanting tick spreads over two pixels
        const QPoint p = m.Rotate(r, S + i * m.AngleOffset() / 10.0);
        int most = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) most = std::max(most, qRed(img.pixel(p.x() + dx, p.y() + dy)));
        return most > 100;
    };
    const int longOnly = m.GetRadius() + m.TicksMax() - 2;
    QImage img = m.RenderImage();
    EXPECT_TRUE(tickReaches(img, 0, longOnly));
    EXPECT_TRUE(tickReaches(img, 5, longOnly));
    EXPECT_FALSE(tickReaches(img, 3, longOnly));
    EXPECT_TRUE(tickReaches(img, 3, m.GetRadius() + 2));
    m.SetTicksEnlarge(0);
    img = m.RenderImage();
    for (int i : {0, 5, 10}) {
        EXPECT_FALSE(tickReaches(img, i, longOnly)) << i;
        EXPECT_TRUE(tickReaches(img, i, m.GetRadius() + 2)) << i;
    }
    m.SetTicks(0);
    img = m.RenderImage();
    EXPECT_FALSE(tickReaches(img, 0, m.GetRadius() + 2));
}

namespace {
// The rows of the caption's area that hold white text pixels, as [first, last] runs.
QList<QPair<int, int>> textRows(const QImage& img, int top)
{
    QList<QPair<int, int>> runs;
    bool in = false;
    for (int y = top; y < img.height(); ++y) {
        bool any = false;
        for (int x = 0; x < img.width() && !any; ++x) any = qGray(img.pixel(x, y)) > 128 && qBlue(img.pixel(x, y)) > 128;
        if (any && !in) runs.append({y, y});
        if (any) runs.last().second = y;
        in = any;
    }
    return runs;
}
}  // namespace

TEST(KitNeedleMeter, CaptionLinesBreakAtBarsAndAnEmptyLineKeepsItsHeight)
{
    Meter m;
    m.SetTicks(0);
    m.SetPercent1(0);
    m.SetPercent2(0);
    m.SetColorZone(3, clBlack);
    m.SetNeedleLength(0);
    m.SetNeedleBaseWidth(0);
    m.SetCenterDotColor(clBlack);
    const int top = m.height() / 2;
    m.SetCaption(QStringLiteral("PLAY"));
    EXPECT_EQ(textRows(m.RenderImage(), top).size(), 1);
    m.SetCaption(QStringLiteral("PLAY|CUE"));
    const auto two = textRows(m.RenderImage(), top);
    ASSERT_EQ(two.size(), 2);
    m.SetCaption(QStringLiteral("PLAY||CUE"));
    const auto gap = textRows(m.RenderImage(), top);
    ASSERT_EQ(gap.size(), 2);
    const int lineStep = two[1].first - two[0].first;
    EXPECT_GT(gap[1].first - gap[0].first, lineStep + lineStep / 2);  // one more line in between
    EXPECT_EQ(gap[0], two[0]);
}

TEST(KitNeedleMeter, LabelsShowTheValuesWithTheirDecimals)
{
    Meter m;
    m.SetLabels(2);
    m.SetDecimals(1);
    m.SetMinValue(0);
    m.SetMaxValue(10);
    // three labels "0.0", "5.0", "10.0" drawn in white around the scale
    const QImage with = m.RenderImage();
    m.SetLabels(0);
    const QImage without = m.RenderImage();
    int whiteWith = 0, whiteWithout = 0;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x) {
            whiteWith += px(with, x, y) == 0xFFFFFFu;
            whiteWithout += px(without, x, y) == 0xFFFFFFu;
        }
    EXPECT_GT(whiteWith, whiteWithout + 20);
}

TEST(KitNeedleMeter, ATransparentMeterLeavesItsBackgroundSeeThrough)
{
    Meter m;
    m.SetTransparent(true);
    const QImage img = m.RenderImage();
    EXPECT_EQ(alphaAt(img, 2, 2), 0);
    EXPECT_EQ(alphaAt(img, m.WDiv2(), m.HDiv2()), 255);  // the hub
    EXPECT_FALSE(m.testAttribute(Qt::WA_OpaquePaintEvent));
    m.SetTransparent(false);
    EXPECT_TRUE(m.testAttribute(Qt::WA_OpaquePaintEvent));
    EXPECT_EQ(alphaAt(m.RenderImage(), 2, 2), 255);
}
