// The window region cut by the mask colour, its serialised form, and the surface that
// applies it to its form.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QLabel>

#include "snkins/colorref.h"
#include "snkins/vs/skinerror.h"
#include "snkins/vs/trgndata.h"
#include "snkins/vs/tvsbutton.h"
#include "snkins/vs/vsmask.h"
#include "tests/snkins/vs/skinrig.h"

namespace {

// An image from rows of text: 'F' fuchsia, '.' grey.
QImage rows(std::initializer_list<const char*> lines)
{
    const int h = int(lines.size()), w = int(strlen(*lines.begin()));
    QImage img(w, h, QImage::Format_RGB32);
    int y = 0;
    for (const char* line : lines) {
        for (int x = 0; x < w; ++x) img.setPixel(x, y, line[x] == 'F' ? kKey.rgb() : qRgb(60, 60, 60));
        ++y;
    }
    return img;
}

QRegion rects(std::initializer_list<QRect> list)
{
    QRegion r;
    for (const QRect& rect : list) r += rect;
    return r;
}

struct Fixture : testing::Test {
    void SetUp() override { ensureApp(); }
};
using SkinMask = Fixture;

}  // namespace

TEST_F(SkinMask, RegionIsExactlyTheRunsOfNonMaskPixels)
{
    const struct {
        const char* what;
        QImage image;
        QPoint offset;
        QRegion expected;
        int rectCount;
    } cases[] = {
        {"all mask colour", rows({"FFF", "FFF"}), {0, 0}, QRegion(), 0},
        {"one pixel in the last column", rows({"FFFF.", "FFFFF"}), {0, 0}, QRegion(4, 0, 1, 1), 1},
        {"one pixel in the first column", rows({".FFF"}), {0, 0}, QRegion(0, 0, 1, 1), 1},
        {"a single pixel image", rows({"."}), {0, 0}, QRegion(0, 0, 1, 1), 1},
        {"no mask at all", rows({"...", "..."}), {0, 0}, QRegion(0, 0, 3, 2), 1},
        {"rows alike form one band", rows({".F.", ".F.", "...", ".F."}), {0, 0},
         rects({{0, 0, 1, 2}, {2, 0, 1, 2}, {0, 2, 3, 1}, {0, 3, 1, 1}, {2, 3, 1, 1}}), 5},
        {"runs and gaps", rows({"F..F...F", "........", "FFFFFFF."}), {0, 0},
         rects({{1, 0, 2, 1}, {4, 0, 3, 1}, {0, 1, 8, 1}, {7, 2, 1, 1}}), 4},
        {"alternating", rows({".F.F."}), {0, 0}, rects({{0, 0, 1, 1}, {2, 0, 1, 1}, {4, 0, 1, 1}}), 3},
        {"moved by the offset", rows({"F.", ".F"}), {10, 20}, rects({{11, 20, 1, 1}, {10, 21, 1, 1}}), 2},
    };
    for (const auto& c : cases) {
        const QRegion region = ExtGenerateMask(c.offset.x(), c.offset.y(), c.image, kKey.rgb());
        EXPECT_EQ(region, c.expected) << c.what;
        EXPECT_EQ(region.rectCount(), c.rectCount) << c.what;
    }
}

TEST_F(SkinMask, PixelsCompareAsRgbWhateverTheirAlphaOrFormat)
{
    QImage img = rows({".FF."}).convertToFormat(QImage::Format_ARGB32);
    img.setPixel(1, 0, qRgba(255, 0, 255, 0));  // see-through fuchsia is still fuchsia
    EXPECT_EQ(ExtGenerateMask(0, 0, img, kKey.rgb()), rects({{0, 0, 1, 1}, {3, 0, 1, 1}}));
    const QImage rgb888 = rows({"F..F"}).convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(ExtGenerateMask(0, 0, rgb888, kKey.rgb() | 0xFF000000u), QRegion(1, 0, 2, 1));
    EXPECT_TRUE(ExtGenerateMask(0, 0, QImage(), kKey.rgb()).isEmpty());
}

TEST_F(SkinMask, RegionDataRoundTripsThroughAStream)
{
    const QRegion region = ExtGenerateMask(3, 4, rows({"F..F...F", "........", "FFFFFFF."}), kKey.rgb());
    TRgnData data;
    data.SetRegion(region);
    EXPECT_EQ(data.Size(), 32 + 16 * region.rectCount());
    EXPECT_EQ(data.CreateRegion(), region);
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    data.SaveToStream(out);
    EXPECT_EQ(bytes.size(), 4 + data.Size());

    TRgnData back;
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    back.LoadFromStream(in);
    EXPECT_EQ(back.Buffer(), data.Buffer());
    EXPECT_EQ(back.CreateRegion(), region);

    // a short stream throws; malformed data gives no region rather than a wrong one
    QBuffer cut;
    cut.setData(bytes.left(bytes.size() - 1));
    cut.open(QIODevice::ReadOnly);
    EXPECT_THROW(back.LoadFromStream(cut), SkinError);
    TRgnData bad = data;
    bad.SetSize(40);  // claims more rectangles than it holds
    EXPECT_TRUE(bad.CreateRegion().isEmpty());
    data.Clear();
    EXPECT_TRUE(data.IsEmpty());
    EXPECT_TRUE(data.CreateRegion().isEmpty());

    // rectangles out of order (written by someone else) still make their region
    TRgnData two;
    two.SetRegion(rects({{0, 0, 2, 1}, {5, 3, 2, 2}}));
    QByteArray raw = two.Buffer();
    std::rotate(raw.begin() + 32, raw.begin() + 48, raw.end());
    QBuffer swapped;
    swapped.setData(QByteArray::fromRawData("\x40\0\0\0", 4) + raw);
    swapped.open(QIODevice::ReadOnly);
    TRgnData unordered;
    unordered.LoadFromStream(swapped);
    EXPECT_NE(unordered.Buffer(), two.Buffer());
    EXPECT_EQ(unordered.CreateRegion(), two.CreateRegion());
}

TEST_F(SkinMask, SurfaceCutsTheFormToTheBackground)
{
    SkinRig rig;
    rig.skin->SetMaskColor(clFuchsia);
    const QImage& back = rig.skin->Graphic()->Bitmap();
    EXPECT_TRUE(rig.skin->RegionApplied());
    EXPECT_EQ(rig.form->mask(), ExtGenerateMask(0, 0, back, kKey.rgb()));
    EXPECT_FALSE(rig.form->mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(rig.form->mask().contains(QPoint(199, 99)));
    EXPECT_TRUE(rig.form->mask().contains(QPoint(10, 0)));
    EXPECT_TRUE(rig.form->mask().contains(QPoint(100, 50)));
    EXPECT_EQ(rig.form->size(), QSize(200, 100));
    EXPECT_TRUE(rig.form->windowFlags() & Qt::FramelessWindowHint);

    // no mask colour: rectangular again
    rig.skin->SetMaskColor(clNone);
    EXPECT_FALSE(rig.skin->RegionApplied());
    EXPECT_TRUE(rig.form->mask().isEmpty());
    EXPECT_TRUE(rig.skin->RgnData().IsEmpty());

    // a system colour matches no pixel: the whole background
    rig.skin->SetMaskColor(0xFF00000F);
    EXPECT_EQ(rig.form->mask(), QRegion(0, 0, 200, 100));
}

TEST_F(SkinMask, AllMaskBackgroundOrNoComposerLeavesTheFormRectangular)
{
    SkinRig rig;
    rig.skin->SetMaskColor(clFuchsia);
    ASSERT_TRUE(rig.skin->RegionApplied());
    addGraphic(*rig.composer, QStringLiteral("pink.bmp"), backgroundPicture(40, 30, kKey, 0));
    rig.skin->SetGraphicName(QStringLiteral("pink.bmp"));
    EXPECT_TRUE(rig.skin->RgnData().IsEmpty());
    EXPECT_FALSE(rig.skin->RegionApplied());
    EXPECT_TRUE(rig.form->mask().isEmpty());
    EXPECT_EQ(rig.form->size(), QSize(40, 30));

    rig.skin->SetGraphicName(QStringLiteral("fondo.bmp"));
    ASSERT_TRUE(rig.skin->RegionApplied());
    rig.skin->SetComposer(nullptr);
    EXPECT_EQ(rig.skin->Graphic(), nullptr);
    EXPECT_FALSE(rig.skin->RegionApplied());
    EXPECT_TRUE(rig.form->mask().isEmpty());
    // without a graphic the surface keeps its size
    EXPECT_EQ(rig.skin->size(), QSize(200, 100));
}

TEST_F(SkinMask, ComposerChangesAndDestructionReachTheSurface)
{
    SkinRig rig;
    rig.skin->SetMaskColor(clFuchsia);
    // a new background under the same name: region and size follow at once
    TVsGraphic g;
    g.SetName(QStringLiteral("fondo.bmp"));
    g.SetBitmap(backgroundPicture(120, 80, Qt::darkGray, 5));
    rig.composer->Graphics()->SetItems(0, &g);
    EXPECT_EQ(rig.form->size(), QSize(120, 80));
    EXPECT_FALSE(rig.form->mask().contains(QPoint(119, 79)));

    delete rig.composer;
    EXPECT_EQ(rig.skin->Composer(), nullptr);
    EXPECT_EQ(rig.skin->Graphic(), nullptr);
    QApplication::processEvents();  // the surface refreshes once the composer is gone
    EXPECT_FALSE(rig.skin->RegionApplied());
    EXPECT_TRUE(rig.form->mask().isEmpty());
}

TEST_F(SkinMask, SurfaceStaysAtTheOriginWithTheBackgroundsSize)
{
    SkinRig rig;
    rig.skin->SetBounds(50, 50, 10, 10);
    EXPECT_EQ(rig.skin->geometry(), QRect(0, 0, 200, 100));
    rig.skin->SetGraphicName(QStringLiteral("nothing.bmp"));
    rig.skin->SetBounds(50, 50, 300, 200);
    EXPECT_EQ(rig.skin->geometry(), QRect(0, 0, 300, 200));
}

TEST_F(SkinMask, SurfaceUpdateBracketCutsOnce)
{
    SkinRig rig;
    rig.skin->BeginUpdate();
    rig.skin->SetMaskColor(clFuchsia);
    rig.skin->BeginUpdate();
    rig.skin->SetGraphicName(QStringLiteral("boton.bmp"));
    rig.skin->EndUpdate();
    EXPECT_FALSE(rig.skin->RegionApplied());
    EXPECT_EQ(rig.form->size(), QSize(200, 100));
    rig.skin->EndUpdate();
    EXPECT_TRUE(rig.skin->RegionApplied());
    EXPECT_EQ(rig.form->size(), QSize(100, 10));
}

TEST_F(SkinMask, WrongParentsFail)
{
    ensureApp();
    QWidget form;
    QLabel panel(&form);
    try {
        TVsSkin skin(&panel);
        FAIL() << "a surface was placed on a panel";
    } catch (const SkinError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("TVsSkin needs to be placed on a form."));
    }
    EXPECT_TRUE(panel.children().isEmpty());
    TVsSkin loose;
    EXPECT_THROW(loose.SetParent(&panel), SkinError);
    EXPECT_EQ(loose.parentWidget(), nullptr);
    loose.SetParent(&form);
    EXPECT_EQ(loose.ParentForm(), &form);
    try {
        TVsButton button(&form);
        FAIL() << "a button was placed on a form";
    } catch (const SkinError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Control needs to be placed on a TVsSkin component."));
    }
    TVsButton button;
    EXPECT_THROW(button.SetParent(&panel), SkinError);
    button.SetParent(&loose);
    EXPECT_EQ(button.Skin(), &loose);
}
