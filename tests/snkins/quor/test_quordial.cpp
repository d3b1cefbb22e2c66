#include <gtest/gtest.h>

#include <QPainter>
#include <QSignalSpy>

#include "snkins/quor/tquordial.h"
#include "tests/snkins/quor/kitapp.h"

namespace {

// A dark 101 x 101 platter with one white mark above its centre.
QImage platterWithMark()
{
    QImage img(101, 101, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(40, 40, 40));
    QPainter p(&img);
    p.fillRect(QRect(46, 6, 9, 16), Qt::white);
    return img;
}

int brightness(const QImage& img, QPoint at) { return qGray(img.pixel(at)); }

class QuorDial : public ::testing::Test {
protected:
    void SetUp() override { kitApp(); }
};

TEST_F(QuorDial, StepStartsAtOneAndNonPositiveIsStoredAsOne)
{
    TQuorDial wheel;
    EXPECT_EQ(wheel.step(), 1);
    wheel.setfstep(100);
    EXPECT_EQ(wheel.step(), 100);
    wheel.setfstep(0);
    EXPECT_EQ(wheel.step(), 1);
    wheel.setfstep(-7);
    EXPECT_EQ(wheel.step(), 1);
}

TEST_F(QuorDial, CountWithoutPlatterOnlyStoresAndSameCountClearsController)
{
    TQuorDial wheel;
    wheel.setfstep(100);
    wheel.setfcount(9000);
    EXPECT_EQ(wheel.Position(), 9000);
    EXPECT_DOUBLE_EQ(wheel.newangle, -180);  // no platter: the last angle drawn stays 0

    wheel.setcontroler(true);
    EXPECT_TRUE(wheel.controller);
    wheel.setfcount(9000);
    EXPECT_FALSE(wheel.controller);
    EXPECT_EQ(wheel.Position(), 9000);
}

TEST_F(QuorDial, PlatterTurnsClockwiseWithTheCount)
{
    TQuorDial wheel;
    wheel.setfstep(100);
    wheel.maxvalue = 36000;
    wheel.setfimage(platterWithMark());
    ASSERT_EQ(wheel.size(), QSize(101, 101));
    const QPoint top(50, 14), right(86, 50), bottom(50, 86), left(14, 50);
    EXPECT_GT(brightness(wheel.Bitmap(), top), 200);

    wheel.setfcount(9000);  // 90 degrees
    EXPECT_DOUBLE_EQ(wheel.angle, 90);
    EXPECT_DOUBLE_EQ(wheel.newangle, -90);
    EXPECT_GT(brightness(wheel.Bitmap(), right), 200);
    EXPECT_LT(brightness(wheel.Bitmap(), top), 100);

    wheel.setfcount(18050);  // whole degrees: 180
    EXPECT_DOUBLE_EQ(wheel.angle, 180);
    EXPECT_GT(brightness(wheel.Bitmap(), bottom), 200);

    // the self-rotation turns the other way
    wheel.setautocount(9000);
    EXPECT_GT(brightness(wheel.Bitmap(), left), 200);
}

TEST_F(QuorDial, EachWheelKeepsItsOwnAngle)
{
    TQuorDial a, b;
    a.setfstep(100);
    b.setfstep(100);
    a.setfimage(platterWithMark());
    a.setfcount(9000);
    b.setfcount(4500);  // no platter on b: its own last angle, 0, not a's 90
    EXPECT_DOUBLE_EQ(a.newangle, -90);
    EXPECT_DOUBLE_EQ(b.newangle, -180);
    b.setfimage(platterWithMark());
    b.setfcount(2700);
    EXPECT_DOUBLE_EQ(b.angle, 27);
    EXPECT_DOUBLE_EQ(a.angle, 90);
}

TEST_F(QuorDial, PlatterOfNoSizeDrawsNothing)
{
    TQuorDial wheel;
    wheel.setfimage(QImage());
    wheel.setfimage(QImage(2, 2, QImage::Format_ARGB32_Premultiplied));  // nothing left inside the border
    wheel.setfcount(500);
    QImage empty;
    wheel.ScaleRot(QImage(), empty, 30);
    wheel.resize(0, 0);
    const QPixmap shot = wheel.grab();
    EXPECT_EQ(wheel.Position(), 500);
    (void)shot;
}

TEST_F(QuorDial, AClickReportsPressAndReleaseButNoClick)
{
    TQuorDial wheel;
    wheel.resize(64, 64);
    QSignalSpy clicks(&wheel, &TQuorDial::clicked);
    QSignalSpy downs(&wheel, &TQuorDial::mouseDown);
    QSignalSpy ups(&wheel, &TQuorDial::mouseUp);
    click(&wheel, QPoint(30, 30));
    EXPECT_EQ(downs.count(), 1);
    EXPECT_EQ(ups.count(), 1);
    EXPECT_EQ(clicks.count(), 0);
}

}  // namespace
