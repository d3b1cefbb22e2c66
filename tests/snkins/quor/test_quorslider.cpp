#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "snkins/quor/tnslider.h"
#include "tests/snkins/quor/kitapp.h"

namespace {

class QuorSlider : public ::testing::Test {
protected:
    void SetUp() override { kitApp(); }

    // vertical, counting upwards, 0..6, 20 x 131 with the 11-pixel thumb: 20 pixels a unit
    void makeZoomSlider(TnSlider& s)
    {
        s.Horizontal = false;
        QImage ruler(20, 131, QImage::Format_RGB32);
        ruler.fill(Qt::darkGray);
        s.SetImageRuler(ruler);
        s.SetMaxvalue(6);
        s.SetInversed(true);
    }

    // brightness inside the thumb drawn now, left of its centre line
    static int thumbShade(TnSlider& s)
    {
        const QImage shot = s.grab().toImage();
        return qGray(shot.pixel(s.thumbrect.topLeft() + QPoint(3, 5)));
    }
};

TEST_F(QuorSlider, SetPositionClampsAndFiresOnchangeEveryTime)
{
    TnSlider s;
    s.SetMaxvalue(6);
    QSignalSpy changes(&s, &TnSlider::Onchange);
    s.SetPosition(9);
    EXPECT_EQ(s.Position(), 6);
    EXPECT_EQ(changes.count(), 1);
    s.SetPosition(6);
    EXPECT_EQ(changes.count(), 2);
    s.SetPosition(-3);
    EXPECT_EQ(s.Position(), 0);
    EXPECT_EQ(changes.count(), 3);
}

TEST_F(QuorSlider, VerticalInversedDragCountsUpwards)
{
    TnSlider s;
    makeZoomSlider(s);
    ASSERT_EQ(s.size(), QSize(20, 131));
    ASSERT_DOUBLE_EQ(s.difference(), 20.0);

    struct Case {
        int y, position, positionI;
    };
    const Case cases[] = {{6, 6, 0}, {125, 0, 6}, {65, 3, 3}, {45, 4, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.y);
        QSignalSpy changes(&s, &TnSlider::Onchange);
        press(&s, QPoint(10, 70));
        movePointer(&s, QPoint(10, c.y), Qt::LeftButton);
        release(&s, QPoint(10, c.y));
        EXPECT_EQ(s.Position(), c.position);
        EXPECT_EQ(s.PositionI(), c.positionI);
        EXPECT_EQ(changes.count(), 2);  // the press at y 70 and the move
    }
}

TEST_F(QuorSlider, ClickMovesTheThumbToThePointer)
{
    TnSlider s;  // horizontal 191 x 11, 0..100: 1.8 pixels a unit
    QSignalSpy begin(&s, &TnSlider::OnBeginChange), changes(&s, &TnSlider::Onchange),
        stop(&s, &TnSlider::OnStopChanged);
    click(&s, QPoint(100, 5));
    EXPECT_EQ(s.Position(), 53);  // (100 - 5) / 1.8 = 52.8
    EXPECT_EQ(begin.count(), 1);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(stop.count(), 1);
}

TEST_F(QuorSlider, RightButtonShowsThePressedFrameOnly)
{
    TnSlider s;
    s.SetPosition(20);
    const int normal = thumbShade(s);
    QSignalSpy stop(&s, &TnSlider::OnStopChanged);
    movePointer(&s, QPoint(120, 5));
    press(&s, QPoint(120, 5), Qt::RightButton);
    const int pressed = thumbShade(s);
    EXPECT_GT(pressed, normal + 60);
    EXPECT_EQ(s.Position(), 20);
    release(&s, QPoint(120, 5), Qt::RightButton);
    EXPECT_EQ(thumbShade(s), normal);
    EXPECT_EQ(stop.count(), 1);
}

TEST_F(QuorSlider, OnlyThumbClickIgnoresAPressBesideTheThumb)
{
    TnSlider s;
    s.setthumbclick(true);
    s.SetPosition(10);
    const int normal = thumbShade(s);
    QSignalSpy begin(&s, &TnSlider::OnBeginChange), stop(&s, &TnSlider::OnStopChanged),
        changes(&s, &TnSlider::Onchange);
    click(&s, QPoint(150, 5));
    EXPECT_EQ(s.Position(), 10);
    EXPECT_EQ(begin.count(), 1);
    EXPECT_EQ(stop.count(), 1);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(thumbShade(s), normal);  // the normal frame shows again

    // a press on the thumb drags
    press(&s, s.thumbrect.center());
    movePointer(&s, QPoint(100, 5), Qt::LeftButton);
    release(&s, QPoint(100, 5));
    EXPECT_EQ(s.Position(), 53);
}

TEST_F(QuorSlider, MovesAtXOrYZeroAreIgnored)
{
    TnSlider s;
    s.SetPosition(30);
    press(&s, QPoint(0, 5));  // the press's own move is at x 0
    EXPECT_EQ(s.Position(), 30);
    movePointer(&s, QPoint(100, 0), Qt::LeftButton);
    EXPECT_EQ(s.Position(), 30);
    movePointer(&s, QPoint(100, 5), Qt::LeftButton);
    EXPECT_EQ(s.Position(), 53);
    release(&s, QPoint(100, 5));
}

TEST_F(QuorSlider, KeysMoveTheThumbTheirWay)
{
    TnSlider s;
    makeZoomSlider(s);
    s.SetPosition(3);
    QSignalSpy changes(&s, &TnSlider::Onchange);
    QTest::keyClick(&s, Qt::Key_Up);
    EXPECT_EQ(s.Position(), 4);
    QTest::keyClick(&s, Qt::Key_Down);
    QTest::keyClick(&s, Qt::Key_Down);
    EXPECT_EQ(s.Position(), 2);
    QTest::keyClick(&s, Qt::Key_End);
    EXPECT_EQ(s.Position(), 6);
    QTest::keyClick(&s, Qt::Key_Up);  // at the top: stays, and still reports
    EXPECT_EQ(s.Position(), 6);
    QTest::keyClick(&s, Qt::Key_Home);
    EXPECT_EQ(s.Position(), 0);
    EXPECT_EQ(changes.count(), 6);

    TnSlider h;
    h.SetPosition(50);
    QTest::keyClick(&h, Qt::Key_Right);
    EXPECT_EQ(h.Position(), 51);
    QTest::keyClick(&h, Qt::Key_Left);
    QTest::keyClick(&h, Qt::Key_Left);
    EXPECT_EQ(h.Position(), 49);
}

TEST_F(QuorSlider, NoRangeOrNoSizeDrawsAndDragsNothing)
{
    TnSlider s;
    s.SetMaxvalue(0);  // 0..0
    EXPECT_EQ(s.difference(), 0);
    (void)s.grab();
    click(&s, QPoint(100, 5));
    EXPECT_EQ(s.Position(), 0);

    TnSlider t;
    t.AutoSize = false;
    t.resize(0, 0);
    EXPECT_EQ(t.difference(), 0);
    (void)t.grab();
    t.SetPosition(40);
    EXPECT_EQ(t.Position(), 40);
}

}  // namespace
