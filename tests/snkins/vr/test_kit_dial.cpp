// The bitmap dial: the frame chosen for a percent, OnChange on whole percents only, dragging
// and clicking, and what it shows without a strip.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "snkins/vr/tvrbitmapdial.h"
#include "snkins/vr/tvrbitmaplist.h"
#include "tests/snkins/vr/kittesthelpers.h"

namespace {

class CountingDial : public TVrBitmapDial {
public:
    int updates = 0;
    void UpdateControlCanvas() override
    {
        ++updates;
        TVrBitmapDial::UpdateControlCanvas();
    }
};

struct DialRig {
    TVrBitmapList list;
    CountingDial dial;
    explicit DialRig(int frames, int size = 50)
    {
        list.Bitmaps()->Add(solidStrip(frames, size, size));
        dial.SetBitmapList(&list);
        dial.SetBitmapIndex(0);
        dial.SetImageCount(frames);
    }
    QRgb shown() { return px(dial.RenderImage(), dial.width() / 2, dial.height() / 2); }
};

}  // namespace

// Frame i shows the percents in [100 i / 27, 100 (i + 1) / 27); 100 % the last frame.
TEST(KitDial, FrameIFollowsThePercentInItsStripOf27)
{
    DialRig rig(27);
    for (int percent = 0; percent <= 100; ++percent) {
        rig.dial.SetPosition(percent);
        int expected = 0;
        while (expected < 26 && 100 * (expected + 1) <= 27 * percent) ++expected;
        ASSERT_EQ(rig.dial.FrameIndex(), expected) << percent;
        ASSERT_EQ(rig.shown(), frameColour(expected)) << percent;
    }
    rig.dial.SetPosition(rig.dial.MaxValue());
    EXPECT_EQ(rig.shown(), frameColour(26));
    rig.dial.SetPosition(rig.dial.MinValue());
    EXPECT_EQ(rig.shown(), frameColour(0));
}

TEST(KitDial, OnlyAWholePercentChangeRepaintsAndFires)
{
    DialRig rig(27);
    rig.dial.SetMaxValue(1000);
    rig.dial.SetPosition(500);
    QSignalSpy spy(&rig.dial, &TVrBitmapDial::OnChange);
    rig.dial.updates = 0;
    rig.dial.SetPosition(505);
    EXPECT_EQ(rig.dial.Position(), 505);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(rig.dial.updates, 0);
    rig.dial.SetPosition(510);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(rig.dial.updates, 1);

    rig.dial.SetMaxValue(20);  // pulls the position down to 20
    spy.clear();
    for (int v = 19; v >= 0; --v) rig.dial.SetPosition(v);
    EXPECT_EQ(spy.count(), 20);  // 5 % a step
}

TEST(KitDial, AnEmptyRangeIsSafe)
{
    DialRig rig(27);
    rig.dial.SetMaxValue(0);
    EXPECT_EQ(rig.dial.GetPercentDone(), 0);
    EXPECT_EQ(rig.shown(), frameColour(0));
}

TEST(KitDial, APressAndAStillMoveKeepTheValueNearThePressPoint)
{
    DialRig rig(27, 37);
    rig.dial.SetMinValue(100);
    rig.dial.SetMaxValue(950);
    rig.dial.SetPosition(525);
    rig.dial.SetHideCursor(false);
    ASSERT_EQ(rig.dial.width(), 50);
    rig.dial.resize(37, 37);
    const QPoint at(20, 20);
    QTest::mousePress(&rig.dial, Qt::LeftButton, {}, at);
    QTest::mouseMove(&rig.dial, at);
    QMouseEvent move(QEvent::MouseMove, QPointF(at), rig.dial.mapToGlobal(QPointF(at)), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(&rig.dial, &move);
    EXPECT_EQ(rig.dial.Position(), 508);
    // dragging right raises the value; far beyond the knob it stops at the maximum
    QMouseEvent far(QEvent::MouseMove, QPointF(400, 20), rig.dial.mapToGlobal(QPointF(400, 20)), Qt::NoButton,
                    Qt::LeftButton, {});
    QApplication::sendEvent(&rig.dial, &far);
    EXPECT_EQ(rig.dial.Position(), 950);
    QTest::mouseRelease(&rig.dial, Qt::LeftButton, {}, QPoint(400, 20));
    QMouseEvent after(QEvent::MouseMove, QPointF(0, 0), rig.dial.mapToGlobal(QPointF(0, 0)), Qt::NoButton,
                      Qt::NoButton, {});
    QApplication::sendEvent(&rig.dial, &after);
    EXPECT_EQ(rig.dial.Position(), 950);  // not dragging any more
}

TEST(KitDial, ClicksStepByTheIncrementAndStopAtTheLimits)
{
    DialRig rig(27);
    rig.dial.SetStyle(dsButtonClick);
    rig.dial.SetPosition(95);
    QSignalSpy spy(&rig.dial, &TVrBitmapDial::OnChange);
    QTest::mouseClick(&rig.dial, Qt::LeftButton);
    EXPECT_EQ(rig.dial.Position(), 100);
    QTest::mouseClick(&rig.dial, Qt::LeftButton);
    EXPECT_EQ(rig.dial.Position(), 100);
    EXPECT_EQ(spy.count(), 1);
    QTest::mouseClick(&rig.dial, Qt::RightButton);
    EXPECT_EQ(rig.dial.Position(), 90);
    QTest::mouseClick(&rig.dial, Qt::MiddleButton);
    EXPECT_EQ(rig.dial.Position(), 90);
}

TEST(KitDial, WithoutFramesOrListOnlyTheColourShows)
{
    TVrBitmapDial bare;
    bare.SetColor(0x102030);
    const QImage img = bare.RenderImage();
    EXPECT_EQ(countColour(img, img.rect(), rgbOf(0x102030)), 50 * 50);
    DialRig rig(27);
    rig.dial.SetColor(0x102030);
    rig.dial.SetImageCount(0);
    const QImage none = rig.dial.RenderImage();
    EXPECT_EQ(countColour(none, none.rect(), rgbOf(0x102030)), 50 * 50);
}

TEST(KitDial, FollowsItsListAndSizesToOneFrame)
{
    TVrBitmapList list;
    TVrBitmapDial dial;
    dial.SetAutoSize(true);
    dial.SetBitmapList(&list);
    dial.SetBitmapIndex(0);
    dial.SetImageCount(4);
    EXPECT_EQ(dial.FrameSize(), QSize(0, 0));
    list.Bitmaps()->Add(solidStrip(4, 30, 20));  // the link brings the new picture in
    EXPECT_EQ(dial.FrameSize(), QSize(30, 20));
    EXPECT_EQ(dial.size(), QSize(30, 20));
    dial.SetPosition(60);
    EXPECT_EQ(px(dial.RenderImage(), 15, 10), frameColour(2));
}
