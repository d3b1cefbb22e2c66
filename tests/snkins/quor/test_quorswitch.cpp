#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "snkins/quor/tjvswitch2.h"
#include "snkins/quor/tquorswitch1.h"
#include "tests/snkins/quor/kitapp.h"

namespace {

class QuorSwitch : public ::testing::Test {
protected:
    void SetUp() override { kitApp(); }
};

TEST_F(QuorSwitch, StateOnFiresOnlyOnAChange)
{
    Tjvswitch2 s;
    QSignalSpy ons(&s, &Tjvswitch2::OnOn), offs(&s, &Tjvswitch2::OnOff);
    s.setStateOn(true);
    s.setStateOn(true);
    EXPECT_EQ(ons.count(), 1);
    s.ToggleSwitch();
    EXPECT_FALSE(s.StateOn());
    EXPECT_EQ(offs.count(), 1);
}

TEST_F(QuorSwitch, APressTogglesAndFocusesAndSpaceTogglesAgain)
{
    QWidget window;
    auto* s = new Tjvswitch2(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    QSignalSpy downs(s, &Tjvswitch2::mouseDown), clicks(s, &Tjvswitch2::clicked);
    click(s, QPoint(25, 30));
    EXPECT_TRUE(s->StateOn());
    EXPECT_TRUE(s->hasFocus());
    EXPECT_EQ(downs.count(), 1);
    EXPECT_EQ(clicks.count(), 1);
    QTest::keyClick(s, Qt::Key_Space);
    EXPECT_FALSE(s->StateOn());
    QTest::keyClick(s, Qt::Key_A);
    EXPECT_FALSE(s->StateOn());
    press(s, QPoint(25, 30), Qt::RightButton);  // only the left button toggles
    EXPECT_FALSE(s->StateOn());
}

TEST_F(QuorSwitch, MomentarySwitchIsOnWhileHeld)
{
    QWidget window;
    auto* s = new TQuorSwitch1(&window);
    auto* other = new Tjvswitch2(&window);
    other->move(0, 40);
    window.show();
    QApplication::setActiveWindow(&window);
    other->setFocus();
    EXPECT_EQ(s->size(), QSize(98, 22));
    EXPECT_FALSE(s->TabStop());
    QSignalSpy ons(s, &Tjvswitch2::OnOn), offs(s, &Tjvswitch2::OnOff), clicks(s, &Tjvswitch2::clicked);
    movePointer(s, QPoint(40, 10));
    press(s, QPoint(40, 10));
    EXPECT_TRUE(s->StateOn());
    EXPECT_FALSE(s->hasFocus());
    release(s, QPoint(40, 10));
    EXPECT_FALSE(s->StateOn());
    EXPECT_EQ(ons.count(), 1);
    EXPECT_EQ(offs.count(), 1);
    EXPECT_EQ(clicks.count(), 1);

    // the right button shows the on glyph until the release too, without a click
    press(s, QPoint(40, 10), Qt::RightButton);
    EXPECT_TRUE(s->StateOn());
    release(s, QPoint(40, 10), Qt::RightButton);
    EXPECT_FALSE(s->StateOn());
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(QuorSwitch, CaptionLiesCentredOverTheGlyph)
{
    TQuorSwitch1 s;
    QFont f = s.font();
    f.setPixelSize(14);
    f.setBold(true);
    s.setFont(f);
    QPalette pal = s.palette();
    pal.setColor(QPalette::WindowText, QColor(255, 255, 0));
    s.setPalette(pal);
    s.setCaption(QStringLiteral("Cancel"));
    const QImage shot = s.grab().toImage();
    int left = shot.width(), right = -1, top = shot.height(), bottom = -1;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (c.red() > 200 && c.green() > 200 && c.blue() < 60) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    ASSERT_GE(right, 0);
    EXPECT_NEAR((left + right) / 2.0, s.width() / 2.0, 3);
    EXPECT_NEAR((top + bottom) / 2.0, s.height() / 2.0, 3);
    EXPECT_TRUE(s.glyphRect().contains(QRect(left, top, right - left, bottom - top)));
}

TEST_F(QuorSwitch, DisabledSwitchShowsTheGreyedGlyphOfItsState)
{
    Tjvswitch2 s;
    s.setStateOn(true);
    QImage shot = s.grab().toImage();
    const QPoint knob = s.glyphRect().topLeft() + QPoint(28, 11);  // the knob of the on glyph
    const QColor lit = shot.pixelColor(s.glyphRect().topLeft() + QPoint(8, 11));  // the lit track
    EXPECT_NE(lit.red(), lit.blue());
    s.setEnabled(false);
    shot = s.grab().toImage();
    for (QPoint at : {knob, s.glyphRect().topLeft() + QPoint(8, 11)}) {
        const QColor c = shot.pixelColor(at);
        EXPECT_EQ(c.red(), c.green());
        EXPECT_EQ(c.green(), c.blue());
    }
}

TEST_F(QuorSwitch, AssigningNoGlyphPutsTheDefaultBack)
{
    Tjvswitch2 s;
    QImage mine(30, 30, QImage::Format_RGB32);
    mine.fill(Qt::red);
    s.setGlyphOn(mine);
    EXPECT_TRUE(s.userGlyph(1));
    EXPECT_EQ(s.GlyphOn().size(), QSize(30, 30));
    s.setGlyphOn(QImage());
    EXPECT_FALSE(s.userGlyph(1));
    EXPECT_EQ(s.GlyphOn().size(), QSize(40, 22));
}

}  // namespace
