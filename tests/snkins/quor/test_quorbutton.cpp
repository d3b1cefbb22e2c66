#include <gtest/gtest.h>

#include <QSignalSpy>

#include "snkins/quor/kitpicture.h"
#include "snkins/quor/tquorbutton.h"
#include "tests/snkins/quor/kitapp.h"

namespace {

class QuorButton : public ::testing::Test {
protected:
    void SetUp() override { kitApp(); }

    // the strip cell the button shows now, found by its middle pixel
    static int shownCell(TquorButton& b)
    {
        const QImage strip = kitPicture("jvbutton");
        const QRgb shown = b.grab().toImage().pixel(25, 25);
        for (int cell = 0; cell < 5; ++cell)
            if (strip.pixel(cell * 50 + 25, 25) == shown) return cell;
        return -1;
    }
};

TEST_F(QuorButton, SizedToOneFrameOfItsStrip)
{
    TquorButton b;
    EXPECT_EQ(b.size(), QSize(50, 50));
    b.SetBounds(10, 20, 200, 10);
    EXPECT_EQ(b.geometry(), QRect(10, 20, 50, 50));
}

TEST_F(QuorButton, FiveCellsFollowTheState)
{
    TquorButton b;
    EXPECT_EQ(shownCell(b), 0);
    movePointer(&b, QPoint(20, 20));
    EXPECT_TRUE(b.hasMouse());
    EXPECT_EQ(shownCell(b), 4);
    press(&b, QPoint(20, 20));
    EXPECT_EQ(shownCell(b), 1);
    release(&b, QPoint(20, 20));
    EXPECT_EQ(shownCell(b), 4);

    b.SetDown(false);
    b.setEnabled(false);
    EXPECT_EQ(shownCell(b), 2);
    b.SetDown(true);
    EXPECT_EQ(shownCell(b), 3);

    TquorButton sw;
    sw.Style = TquorButton::bsSwitch;
    sw.SetDown(true);
    EXPECT_EQ(shownCell(sw), 1);  // a latched switch shows pressed
}

TEST_F(QuorButton, SwitchClickedTwiceEndsUpAndClicksTwice)
{
    TquorButton b;
    b.Style = TquorButton::bsSwitch;
    QSignalSpy clicks(&b, &TquorButton::clicked);
    click(&b, QPoint(20, 20));
    EXPECT_TRUE(b.Down());
    click(&b, QPoint(20, 20));
    EXPECT_FALSE(b.Down());
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(QuorButton, PressLeaveReenterReleaseDoesNotClick)
{
    for (auto style : {TquorButton::bsButton, TquorButton::bsSwitch}) {
        SCOPED_TRACE(style);
        TquorButton b;
        b.Style = style;
        QSignalSpy clicks(&b, &TquorButton::clicked);
        movePointer(&b, QPoint(20, 20));
        press(&b, QPoint(20, 20));
        movePointer(&b, QPoint(20, 30), Qt::LeftButton);  // inside: nothing changes
        EXPECT_TRUE(b.hasMouse());
        movePointer(&b, QPoint(80, 20), Qt::LeftButton);  // outside: the press's leave
        EXPECT_FALSE(b.hasMouse());
        movePointer(&b, QPoint(20, 20), Qt::LeftButton);  // back in, still held
        EXPECT_FALSE(b.hasMouse());
        release(&b, QPoint(20, 20));
        EXPECT_EQ(clicks.count(), 0);
        // a switch is left as it was; a push button's Down flips on every accepted press
        EXPECT_EQ(b.Down(), style == TquorButton::bsButton);
        movePointer(&b, QPoint(21, 20));
        EXPECT_TRUE(b.hasMouse());
    }
}

TEST_F(QuorButton, ReleaseOutsideAfterAHeldPressDoesNotClick)
{
    TquorButton b;
    b.Style = TquorButton::bsSwitch;
    QSignalSpy clicks(&b, &TquorButton::clicked);
    movePointer(&b, QPoint(20, 20));
    press(&b, QPoint(20, 20));
    release(&b, QPoint(90, 90));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_FALSE(b.Down());
}

TEST_F(QuorButton, OnlyAPlainLeftPressInsideCounts)
{
    struct Case {
        const char* what;
        QPoint at;
        Qt::MouseButton button;
        Qt::KeyboardModifiers mods;
    };
    const Case cases[] = {
        {"right button", {20, 20}, Qt::RightButton, Qt::NoModifier},
        {"middle button", {20, 20}, Qt::MiddleButton, Qt::NoModifier},
        {"with Ctrl", {20, 20}, Qt::LeftButton, Qt::ControlModifier},
        {"with Alt", {20, 20}, Qt::LeftButton, Qt::AltModifier},
        {"left border", {0, 20}, Qt::LeftButton, Qt::NoModifier},
        {"top border", {20, 0}, Qt::LeftButton, Qt::NoModifier},
        {"right edge", {50, 20}, Qt::LeftButton, Qt::NoModifier},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TquorButton b;
        b.resize(60, 50);  // wider than a frame, as a strip picture may leave it
        b.Style = TquorButton::bsSwitch;
        QSignalSpy downs(&b, &TquorButton::mouseDown), clicks(&b, &TquorButton::clicked);
        movePointer(&b, c.at);
        press(&b, c.at, c.button, c.mods);
        EXPECT_EQ(downs.count(), 1);
        EXPECT_FALSE(b.btnDown());
        EXPECT_FALSE(b.Down());
        release(&b, c.at, c.button);
        EXPECT_EQ(clicks.count(), 0);
    }
}

TEST_F(QuorButton, DoubleClickIsOneClick)
{
    TquorButton b;
    b.Style = TquorButton::bsSwitch;
    QSignalSpy clicks(&b, &TquorButton::clicked), downs(&b, &TquorButton::mouseDown);
    click(&b, QPoint(20, 20));
    sendMouse(&b, QEvent::MouseButtonDblClick, QPoint(20, 20), Qt::LeftButton, Qt::LeftButton);
    release(&b, QPoint(20, 20));
    EXPECT_EQ(downs.count(), 2);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_TRUE(b.Down());
}

TEST_F(QuorButton, NumberPicksAStripAndItsFrameSize)
{
    TquorButton b;
    QImage second(300, 40, QImage::Format_RGB32);
    second.fill(Qt::red);
    b.setGrafico2(second);
    EXPECT_EQ(b.size(), QSize(50, 50));  // copied in, not applied
    b.Setnumber(2);
    EXPECT_EQ(b.size(), QSize(60, 40));
    b.Setnumber(7);  // keeps the strip in use
    EXPECT_EQ(b.size(), QSize(60, 40));
    b.Setnumber(1);
    EXPECT_EQ(b.size(), QSize(50, 50));
}

TEST_F(QuorButton, CaptionTakesTheColourOfTheFrame)
{
    TquorButton b;
    QFont big = b.font();
    big.setPixelSize(20);
    big.setBold(true);
    b.setFont(big);
    b.setcaption(QStringLiteral("III"));
    b.setcaption_colorup(QColor(255, 0, 0));
    b.setcaption_colorover(QColor(0, 255, 0));
    b.setcaption_colordown(QColor(0, 0, 255));
    auto has = [&b](QColor c) {
        const QImage shot = b.grab().toImage();
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (shot.pixel(x, y) == c.rgb()) return true;
        return false;
    };
    EXPECT_TRUE(has(Qt::red));
    movePointer(&b, QPoint(20, 20));
    EXPECT_TRUE(has(Qt::green));
    press(&b, QPoint(20, 20));
    EXPECT_TRUE(has(Qt::blue));
    release(&b, QPoint(20, 20));
}

TEST_F(QuorButton, StripWithoutFramesDrawsNothing)
{
    TquorButton b;
    b.setGrafico(QImage(4, 10, QImage::Format_RGB32));  // narrower than five frames
    b.Setnumber(1);
    EXPECT_EQ(b.width(), 0);
    (void)b.grab();
    b.setGrafico(QImage());
    b.Setnumber(1);
    (void)b.grab();
    click(&b, QPoint(1, 1));
    SUCCEED();
}

}  // namespace
