// LED, compass and bitmap image: the generated lamps and their recolouring, the caption layout,
// the heading, and pictures shown from a shared list.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "snkins/vr/tvrbitmapimage.h"
#include "snkins/vr/tvrbitmaplist.h"
#include "snkins/vr/tvrcompass.h"
#include "snkins/vr/tvrled.h"
#include "tests/snkins/vr/kittesthelpers.h"

TEST(KitLed, TheGeneratedLampsHaveTheirSizesAndOnlyExactLampPixels)
{
    struct Case {
        const char* name;
        QSize size;
    } cases[] = {{"LI_RND", {18, 9}}, {"LI_RECT", {20, 5}}, {"LI_BIG", {34, 7}}};
    for (const Case& c : cases) {
        const QImage img(QStringLiteral(":/kit/") + QLatin1String(c.name));
        ASSERT_FALSE(img.isNull()) << c.name;
        EXPECT_EQ(img.size(), c.size) << c.name;
        const int fw = img.width() / 2;
        int lamp = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < fw; ++x) {
                const QRgb unlit = px(img, x, y), lit = px(img, x + fw, y);
                const bool isLamp = unlit == rgbOf(clMaroon);
                lamp += isLamp;
                // the lit frame is the unlit one with its lamp pixels red
                EXPECT_EQ(lit, isLamp ? rgbOf(clRed) : unlit) << c.name << " " << x << "," << y;
                if (!isLamp) {  // around the lamp: black, or a white or grey glint
                    EXPECT_TRUE(unlit == 0 || (qRed(unlit) == qGreen(unlit) && qGreen(unlit) == qBlue(unlit)))
                        << c.name << " " << x << "," << y;
                }
                if (x == 0 || y == 0 || x == fw - 1 || y == img.height() - 1) {
                    EXPECT_EQ(unlit, 0u) << c.name << " edge " << x << "," << y;
                }
            }
        EXPECT_GT(lamp, 10) << c.name;
    }
}

TEST(KitLed, ALitLampShowsHighAndAnUnlitOneLow)
{
    for (TVrLedType type : {ltRounded, ltRectangle, ltLargeRect}) {
        TVrLed led;
        led.SetLedType(type);
        led.Palette()->SetLow(0x003000);
        led.Palette()->SetHigh(0x00FF40);
        QImage img = led.RenderImage();
        const QRect lamp = led.ImageRect();
        EXPECT_GT(countColour(img, lamp, rgbOf(0x003000)), 10) << type;
        EXPECT_EQ(countColour(img, lamp, rgbOf(0x00FF40)), 0) << type;
        led.SetActive(true);
        img = led.RenderImage();
        EXPECT_GT(countColour(img, lamp, rgbOf(0x00FF40)), 10) << type;
        EXPECT_EQ(countColour(img, lamp, rgbOf(0x003000)), 0) << type;
        EXPECT_EQ(countColour(img, lamp, rgbOf(clRed)), 0) << type;  // every lamp pixel recoloured
    }
}

TEST(KitLed, AnEmptyCaptionCentresTheLampAndACaptionSitsBesideIt)
{
    TVrLed led;
    led.RenderImage();
    EXPECT_EQ(led.ImageRect(), QRect(8, 8, 9, 9));
    led.resize(120, 25);
    led.SetCaption(QStringLiteral("REC"));
    led.SetMargin(2);
    const QImage img = led.RenderImage();
    EXPECT_EQ(led.ImageRect().left(), 2);
    EXPECT_EQ(led.TextBounds().left(), 2 + 9 + 5);
    EXPECT_GT(countColour(img, led.TextBounds(), 0xFFFFFF), 5);  // white caption
}

TEST(KitLed, ToggleFiresOnceAndTheSameValueNothing)
{
    TVrLed led;
    QSignalSpy spy(&led, &TVrCustomLed::OnChange);
    led.SetActive(false);
    EXPECT_EQ(spy.count(), 0);
    led.SetActive(true);
    led.SetActive(true);
    EXPECT_EQ(spy.count(), 1);
}

TEST(KitLed, ACustomLampShowsItsGlyphsUnchangedAndNoneWithoutThem)
{
    TVrLed led;
    led.SetColor(0x404040);
    led.SetLedType(ltCustom);
    QImage img = led.RenderImage();
    EXPECT_EQ(countColour(img, img.rect(), rgbOf(0x404040)), 25 * 25);  // no lamp at all
    QImage glyphs(10, 5, QImage::Format_RGB32);
    glyphs.fill(rgbOf(0x404040) | 0xFF000000);  // the key colour around...
    QPainter(&glyphs).fillRect(QRect(1, 1, 3, 3), QColor(rgbOf(clMaroon)));
    QPainter(&glyphs).fillRect(QRect(6, 1, 3, 3), QColor(0, 0, 255));
    led.SetGlyphs(glyphs);
    led.SetActive(true);
    img = led.RenderImage();
    EXPECT_EQ(countColour(img, img.rect(), 0x0000FF), 9);
    led.SetActive(false);
    img = led.RenderImage();
    EXPECT_EQ(countColour(img, img.rect(), rgbOf(clMaroon)), 9);  // not recoloured
}

TEST(KitCompass, HeadingsRunClockwiseFromUp)
{
    TVrCompass c;
    struct Case {
        int heading;
        QPoint end;
    } cases[] = {{0, {50, 10}}, {360, {50, 10}}, {90, {90, 50}}, {180, {50, 90}}, {270, {10, 50}}};
    for (const Case& k : cases) {
        c.SetHeading(k.heading);
        EXPECT_EQ(c.NeedleEnd(), k.end) << k.heading;
        const QImage img = c.RenderImage();
        const QPoint mid = (QPoint(50, 50) + k.end * 3) / 4;
        EXPECT_EQ(px(img, mid.x(), mid.y()), 0xFF0000u) << k.heading;
    }
    QSignalSpy spy(&c, &TVrCompass::OnChange);
    c.SetHeading(270);
    EXPECT_EQ(spy.count(), 0);
    c.SetHeading(10);
    EXPECT_EQ(spy.count(), 1);
}

TEST(KitCompass, AnExclusiveOrNeedleShowsOnAnyBackground)
{
    TVrCompass c;
    QImage back(100, 100, QImage::Format_RGB32);
    back.fill(QColor(255, 0, 0));  // as red as the needle
    c.SetBackImage(back);
    c.SetHeading(0);
    c.SetNeedleTransparent(true);
    const QImage img = c.RenderImage();
    EXPECT_EQ(px(img, 50, 25), 0x000000u);  // red xor red
    EXPECT_EQ(px(img, 80, 20), 0xFF0000u);
}

TEST(KitBitmapImage, ShowsThePictureByIndexAndOnlyTheBackgroundOtherwise)
{
    TVrBitmapList list;
    list.Bitmaps()->Add(solidStrip(1, 20, 10));
    list.Bitmaps()->Add(solidStrip(3, 10, 10));
    TVrBitmapImage image;
    image.SetColor(0x202020);
    const int all = image.width() * image.height();
    EXPECT_EQ(countColour(image.RenderImage(), image.rect(), rgbOf(0x202020)), all);  // no list
    image.SetBitmapList(&list);
    image.SetBitmapIndex(5);
    EXPECT_EQ(countColour(image.RenderImage(), image.rect(), rgbOf(0x202020)), all);
    image.SetBitmapIndex(0);
    QImage img = image.RenderImage();
    const QRect centred((105 - 20) / 2, (105 - 10) / 2, 20, 10);
    EXPECT_EQ(countColour(img, centred, frameColour(0)), 200);
    image.SetCenter(false);
    EXPECT_EQ(countColour(image.RenderImage(), QRect(0, 0, 20, 10), frameColour(0)), 200);
    image.SetAutoSize(true);
    EXPECT_EQ(image.size(), QSize(20, 10));
    image.SetBitmapIndex(1);
    EXPECT_EQ(image.size(), QSize(30, 10));
}

TEST(KitBitmapImage, TransparencyKeysItsOwnPaintOnlyAndLeavesTheListPicture)
{
    TVrBitmapList list;
    QImage pic = solidStrip(2, 8, 8);  // bottom-left pixel: frame 0's colour
    list.Bitmaps()->Add(pic);
    TVrBitmapImage a, b;
    a.SetBitmapList(&list);
    b.SetBitmapList(&list);
    a.SetBitmapIndex(0);
    b.SetBitmapIndex(0);
    a.SetCenter(false);
    b.SetCenter(false);
    a.SetTransparent(true);
    const QImage seeThrough = a.RenderImage();
    EXPECT_EQ(alphaAt(seeThrough, 2, 2), 0);
    EXPECT_EQ(px(seeThrough, 10, 2), frameColour(1));
    EXPECT_EQ(*list.GetBitmap(0), pic);  // the shared picture is as it was
    const QImage opaque = b.RenderImage();
    EXPECT_EQ(px(opaque, 2, 2), frameColour(0));
    EXPECT_EQ(alphaAt(opaque, 2, 2), 255);
}

TEST(KitBitmapImage, ADestroyedListLeavesTheImageWithoutList)
{
    auto list = std::make_unique<TVrBitmapList>();
    list->Bitmaps()->Add(solidStrip(1, 8, 8));
    TVrBitmapImage image;
    image.SetBitmapList(list.get());
    image.SetBitmapIndex(0);
    list.reset();
    EXPECT_EQ(image.BitmapList(), nullptr);
    EXPECT_EQ(image.GetBitmap(), nullptr);
    image.RenderImage();
    image.SetBitmapList(nullptr);
}
