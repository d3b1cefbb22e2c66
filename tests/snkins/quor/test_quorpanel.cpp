#include <gtest/gtest.h>

#include "snkins/quor/tquorpanel.h"
#include "tests/snkins/quor/kitapp.h"

namespace {

class QuorPanel : public ::testing::Test {
protected:
    void SetUp() override { kitApp(); }

    static void layOut(QWidget& w)
    {
        w.show();
        QApplication::processEvents();
    }
};

TEST_F(QuorPanel, HiddenTitleStillTakesItsColoursAndKeepsItsLine)
{
    QWidget host;
    host.resize(300, 200);
    TQuorPanel panel(&host);
    panel.setGeometry(0, 0, 300, 200);
    panel.tcaptioncolor = QColor(61, 67, 79);
    panel.tcaptionfcolor = Qt::white;
    panel.tlinecolor = QColor(192, 192, 192);
    panel.ttitlecaption = QStringLiteral("Groups");
    panel.init();
    panel.SetShowtitle(false);
    layOut(host);
    EXPECT_FALSE(panel.tcappanel->isVisible());
    EXPECT_FALSE(panel.tcapline->isHidden());
    EXPECT_EQ(panel.tcappanel->palette().color(QPalette::Window), QColor(61, 67, 79));
    EXPECT_EQ(panel.tcapline->palette().color(QPalette::Window), QColor(192, 192, 192));

    panel.SetShowtitle(true);
    layOut(host);
    EXPECT_TRUE(panel.tcappanel->isVisible());
    EXPECT_EQ(panel.tcappanel->height(), 22);
    EXPECT_EQ(panel.tcaplabel->text(), QStringLiteral("Groups"));
}

TEST_F(QuorPanel, LineColourWaitsForTheNextShowtitle)
{
    TQuorPanel panel;
    panel.tlinecolor = QColor(10, 20, 30);
    panel.init();
    panel.SetShowtitle(true);
    panel.setlinecolor(QColor(200, 0, 0));
    EXPECT_EQ(panel.tcapline->palette().color(QPalette::Window), QColor(10, 20, 30));
    panel.SetShowtitle(true);
    EXPECT_EQ(panel.tcapline->palette().color(QPalette::Window), QColor(200, 0, 0));
}

TEST_F(QuorPanel, WithoutFormOrMovePanelTheStripAndXDoNothing)
{
    QWidget host;
    host.resize(400, 300);
    TQuorPanel panel(&host);
    panel.setGeometry(20, 20, 200, 150);
    panel.hasclose = true;
    panel.init();
    panel.SetShowtitle(true);
    layOut(host);
    press(panel.tcaplabel, QPoint(5, 5));
    movePointer(panel.tcaplabel, QPoint(40, 30), Qt::LeftButton);
    release(panel.tcaplabel, QPoint(40, 30));
    EXPECT_EQ(panel.pos(), QPoint(20, 20));
    press(panel.tcloselabel, QPoint(5, 5));
    release(panel.tcloselabel, QPoint(5, 5));
    EXPECT_TRUE(panel.isVisible());
}

TEST_F(QuorPanel, XClosesTheHostFormOnlyWithTheLeftButton)
{
    QWidget form;
    form.resize(400, 300);
    TQuorPanel panel(&form);
    panel.setGeometry(0, 0, 400, 300);
    panel.hasclose = true;
    panel.tpform = &form;
    panel.init();
    panel.SetShowtitle(true);
    layOut(form);
    ASSERT_TRUE(panel.tcloselabel->isVisible());
    EXPECT_EQ(panel.tcloselabel->width(), 40);
    press(panel.tcloselabel, QPoint(5, 5), Qt::RightButton);
    EXPECT_TRUE(form.isVisible());
    press(panel.tcloselabel, QPoint(5, 5), Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(QuorPanel, MovePanelDragsThePanelInsideItsParentAndXHidesIt)
{
    QWidget host;
    host.resize(400, 300);
    TQuorPanel panel(&host);
    panel.setGeometry(10, 10, 200, 150);
    panel.movepanel = true;
    panel.hasclose = true;
    panel.init();
    panel.SetShowtitle(true);
    layOut(host);
    press(panel.tcaplabel, QPoint(5, 5));
    movePointer(panel.tcaplabel, QPoint(35, 25), Qt::LeftButton);
    release(panel.tcaplabel, QPoint(35, 25));
    EXPECT_EQ(panel.pos(), QPoint(40, 30));
    press(panel.tcloselabel, QPoint(5, 5));
    EXPECT_FALSE(panel.isVisible());
}

TEST_F(QuorPanel, ImageStripsShowAtTheirPicturesHeight)
{
    QWidget host;
    host.resize(400, 300);
    TQuorPanel panel(&host);
    panel.setGeometry(0, 0, 400, 300);
    panel.init();
    layOut(host);
    EXPECT_FALSE(panel.timage1->isVisible());
    panel.setshowimages(true);
    layOut(host);
    EXPECT_TRUE(panel.timage1->isVisible());
    EXPECT_TRUE(panel.timage2->isVisible());
    EXPECT_EQ(panel.timage1->height(), 8);
    EXPECT_EQ(panel.timage2->height(), 5);
    EXPECT_LT(panel.timage1->y(), panel.client()->y());
    EXPECT_GT(panel.timage2->y(), panel.client()->y());
}

TEST_F(QuorPanel, BorderIsDrawnInItsColour)
{
    TQuorPanel panel;
    panel.resize(100, 80);
    panel.setbordercolor(QColor(56, 56, 56));
    panel.init();
    const QImage shot = panel.grab().toImage();
    EXPECT_EQ(shot.pixelColor(0, 40), QColor(56, 56, 56));
    EXPECT_EQ(shot.pixelColor(99, 79), QColor(56, 56, 56));
}

}  // namespace
