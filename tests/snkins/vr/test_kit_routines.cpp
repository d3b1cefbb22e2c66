// The kit's routines and sub-objects: integer percentages, colour rounding, frames, gradients,
// glyph layout, bevel, palette recolouring and the change links of shared components.
#include <gtest/gtest.h>

#include <QFont>
#include <QSignalSpy>

#include "snkins/vr/tvrbevel.h"
#include "snkins/vr/tvrbitmaplist.h"
#include "snkins/vr/tvrchangelink.h"
#include "snkins/vr/tvrpalette.h"
#include "snkins/vr/vrfunctions.h"
#include "tests/snkins/vr/kittesthelpers.h"

TEST(KitRoutines, SolveForXAndYAreExactIntegerPercentages)
{
    struct Case {
        int64_t a, b;
        int x, y;
    } cases[] = {
        {29, 100, 29, 29},           // 0.29 × 100 in floating point gives 28
        {48, 850, 408, 5},           // the dial's drag example needs 408
        {50, 37, 18, 135},
        {100, 0, 0, 0},              // SolveForY(_, 0) is 0
        {5, 0, 0, 0},
        {-30, 7, -2, -428},          // truncation toward zero
        {2147483647, 2147483647, 2147483647, 100},  // saturates instead of overflowing
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SolveForX(c.a, c.b), c.x) << c.a << " % of " << c.b;
        EXPECT_EQ(SolveForY(c.a, c.b), c.y) << c.a << " of " << c.b;
    }
}

TEST(KitRoutines, NearestRoundsHalvesToEven)
{
    EXPECT_EQ(RoundHalfEven(30 * 35, 100), 10);  // 35 % of 30 bars
    EXPECT_EQ(RoundHalfEven(25, 10), 2);
    EXPECT_EQ(RoundHalfEven(35, 10), 4);
    EXPECT_EQ(RoundHalfEven(-25, 10), -2);
    EXPECT_EQ(RoundHalfEven(26, 10), 3);
    EXPECT_EQ(RoundHalfEven(7, 0), 0);
    EXPECT_EQ(CorrectColor(255.6), 255);
    EXPECT_EQ(CorrectColor(-3), 0);
    EXPECT_EQ(CorrectColor(2.5), 2);
    EXPECT_EQ(CorrectColor(3.5), 4);
    EXPECT_EQ(CorrectColor(std::nan("")), 0);
    EXPECT_EQ(ERGB(1, 2, 300), 0xFF0201u);
}

TEST(KitRoutines, GetStrParamSplitsAtTheFirstDelimiter)
{
    QString t = QStringLiteral("PLAY|CUE");
    EXPECT_EQ(GetStrParam(t, QLatin1Char('|')), QStringLiteral("PLAY"));
    EXPECT_EQ(t, QStringLiteral("CUE"));
    EXPECT_EQ(GetStrParam(t, QLatin1Char('|')), QStringLiteral("CUE"));
    EXPECT_TRUE(t.isEmpty());
}

TEST(KitRoutines, SystemColoursResolveAndPlainOnesStay)
{
    EXPECT_EQ(Color2RGB(0x123456), 0x123456u);
    EXPECT_EQ(Color2RGB(clBtnFace) & clSystemColor, 0u);
    EXPECT_EQ(VrColor(clRed), QColor(255, 0, 0));
}

TEST(KitRoutines, Frame3DPaintsTopLeftAndBottomRightEdgesAndShrinks)
{
    QImage img(6, 5, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    QRect r(0, 0, 6, 5);
    DrawFrame3D(p, r, clWhite, clRed, 1);
    p.end();
    EXPECT_EQ(r, QRect(1, 1, 4, 3));
    EXPECT_EQ(px(img, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(px(img, 4, 0), 0xFFFFFFu);
    EXPECT_EQ(px(img, 5, 0), 0xFF0000u);  // top-right corner belongs to the bottom colour
    EXPECT_EQ(px(img, 0, 4), 0xFF0000u);  // as does bottom-left
    EXPECT_EQ(px(img, 5, 4), 0xFF0000u);
    EXPECT_EQ(px(img, 2, 2), 0x000000u);
}

TEST(KitRoutines, GradientRunsFromStartToEndAndTakesABandBelowOneAsOne)
{
    for (int band : {-4, 0, 1}) {
        QImage img(100, 4, QImage::Format_RGB32);
        img.fill(Qt::magenta);
        QPainter p(&img);
        DrawGradient(p, img.rect(), clBlack, clWhite, 1, band);
        p.end();
        EXPECT_EQ(px(img, 0, 0), 0x000000u) << band;
        EXPECT_GE(qRed(img.pixel(99, 3)), 250) << band;
        EXPECT_EQ(countColour(img, img.rect(), 0xFF00FF), 0) << band;
        for (int x = 1; x < 100; ++x) ASSERT_GE(qRed(img.pixel(x, 0)), qRed(img.pixel(x - 1, 0)));
    }
    QImage v(4, 50, QImage::Format_RGB32);
    QPainter p(&v);
    DrawGradient(p, v.rect(), clRed, clBlue, 0, 1);
    p.end();
    EXPECT_EQ(px(v, 0, 0), 0xFF0000u);
    EXPECT_GE(qBlue(v.pixel(0, 49)), 240);
}

TEST(KitRoutines, ImageTextLayoutCentresAGlyphWithoutCaptionAndPlacesOneWithIt)
{
    const QFont font;
    QPoint glyph;
    QRect text;
    CalcImageTextLayout(font, QRect(0, 0, 25, 25), QPoint(), QString(), 1, -1, 5, QSize(9, 9), glyph, text);
    EXPECT_EQ(glyph, QPoint(8, 8));
    EXPECT_TRUE(text.isEmpty());

    CalcImageTextLayout(font, QRect(0, 0, 120, 20), QPoint(), QStringLiteral("REC"), 1, 2, 5, QSize(9, 9), glyph,
                        text);
    EXPECT_EQ(glyph.x(), 2);
    EXPECT_EQ(text.left(), 2 + 9 + 5);
    CalcImageTextLayout(font, QRect(0, 0, 120, 20), QPoint(), QStringLiteral("REC"), 2, 2, 5, QSize(9, 9), glyph,
                        text);
    EXPECT_EQ(glyph.x(), 120 - 2 - 9);
    EXPECT_EQ(text.right() + 1, glyph.x() - 5);
    CalcImageTextLayout(font, QRect(0, 0, 60, 60), QPoint(), QStringLiteral("REC"), 3, 0, 4, QSize(9, 9), glyph,
                        text);
    EXPECT_EQ(glyph, QPoint((60 - 9 + 1) / 2, 0));
    EXPECT_EQ(text.top(), 9 + 4);
}

TEST(KitBevel, AnAllNoneBevelPaintsAndShrinksNothing)
{
    TVrBevel bevel;
    bevel.SetInnerStyle(bsNone);
    bevel.SetOuterStyle(bsNone);
    bevel.SetInnerOutline(osNone);
    bevel.SetOuterOutline(osNone);
    bevel.SetInnerSpace(0);
    bevel.SetOuterSpace(0);
    QImage img(10, 10, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    QRect r = img.rect();
    bevel.Paint(p, r);
    p.end();
    EXPECT_EQ(r, img.rect());
    EXPECT_EQ(countColour(img, img.rect(), 0), 100);
    QRect v = img.rect();
    bevel.GetVisibleArea(v);
    EXPECT_EQ(v, img.rect());
}

TEST(KitBevel, VisibleAreaMatchesWhatPaintLeaves)
{
    TVrBevel bevel;  // border 0, outer outline, raised outer 1, lowered inner 1, inner space 1
    bevel.SetBorderWidth(2);
    QImage img(40, 30, QImage::Format_RGB32);
    QPainter p(&img);
    QRect painted = img.rect();
    bevel.Paint(p, painted);
    p.end();
    QRect area = img.rect();
    bevel.GetVisibleArea(area);
    EXPECT_EQ(area, painted);
    EXPECT_EQ(area, img.rect().adjusted(6, 6, -6, -6));
    bevel.SetVisible(false);
    QRect hidden = img.rect();
    bevel.GetVisibleArea(hidden);
    EXPECT_EQ(hidden, img.rect());
}

TEST(KitBevel, AssignNotifiesOnce)
{
    TVrBevel a, b;
    b.SetBorderWidth(3);
    b.SetOuterStyle(bsLowered);
    b.SetInnerColor(clRed);
    QSignalSpy spy(&a, &TVrPersistent::OnChange);
    a.Assign(b);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(a.BorderWidth(), 3);
    EXPECT_EQ(a.OuterStyle(), bsLowered);
    EXPECT_EQ(a.InnerColor(), clRed);
}

TEST(KitPalette, ToBMPRecoloursExactlyTheTwoKeyColours)
{
    TVrPalette pal;
    pal.SetLow(0x004000);
    pal.SetHigh(0x00FF80);
    QImage img(4, 1, QImage::Format_RGB32);
    img.setPixel(0, 0, rgbOf(clMaroon) | 0xFF000000);
    img.setPixel(1, 0, rgbOf(clRed) | 0xFF000000);
    img.setPixel(2, 0, qRgb(0x81, 0, 0));
    img.setPixel(3, 0, qRgb(0, 0, 0));
    pal.ToBMP(img, clMaroon, clRed);
    EXPECT_EQ(px(img, 0, 0), rgbOf(0x004000));
    EXPECT_EQ(px(img, 1, 0), rgbOf(0x00FF80));
    EXPECT_EQ(px(img, 2, 0), 0x810000u);
    EXPECT_EQ(px(img, 3, 0), 0u);
    EXPECT_EQ(pal.GetColors(0), 0x004000u);
    EXPECT_EQ(pal.GetColors(1), 0x00FF80u);
}

TEST(KitPalette, ChangesOutsideAnUpdateBracketNotify)
{
    TVrPalette pal;
    QSignalSpy spy(&pal, &TVrPersistent::OnChange);
    pal.SetLow(pal.Low());  // no change
    EXPECT_EQ(spy.count(), 0);
    pal.BeginUpdate();
    pal.SetLow(1);
    pal.SetHigh(2);
    EXPECT_EQ(spy.count(), 0);
    pal.EndUpdate();
    EXPECT_EQ(spy.count(), 1);
    TVrPalette copy;
    QSignalSpy copySpy(&copy, &TVrPersistent::OnChange);
    copy.Assign(pal);
    EXPECT_EQ(copySpy.count(), 1);
    EXPECT_EQ(copy.High(), 2u);
}

TEST(KitChangeLink, LinksAreToldInOrderAndLeaveWithTheirOwnerOrTheComponent)
{
    auto list = std::make_unique<TVrBitmapList>();
    auto first = std::make_unique<TVrChangeLink>();
    TVrChangeLink second;
    QList<int> order;
    QObject::connect(first.get(), &TVrChangeLink::OnChange, [&](QObject* s) {
        EXPECT_EQ(s, list.get());
        order << 1;
    });
    QObject::connect(&second, &TVrChangeLink::OnChange, [&] { order << 2; });
    list->InsertLink(first.get());
    list->InsertLink(&second);
    EXPECT_EQ(first->Sender(), list.get());
    list->Bitmaps()->Add(solidStrip(1, 2, 2));
    EXPECT_EQ(order, (QList<int>{1, 2}));

    first.reset();  // a destroyed link leaves its component
    EXPECT_EQ(list->LinkCount(), 1);
    TVrChangeLink stranger;
    list->RemoveLink(&stranger);  // not in the list: ignored
    EXPECT_EQ(list->LinkCount(), 1);
    list.reset();  // a destroyed component lets go of every link
    EXPECT_EQ(second.Sender(), nullptr);
}
