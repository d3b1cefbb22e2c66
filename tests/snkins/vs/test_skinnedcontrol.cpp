// The skinned button, slider and image on a surface.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>

#include "snkins/colorref.h"
#include "snkins/vs/tvsbutton.h"
#include "snkins/vs/tvsimage.h"
#include "snkins/vs/tvsslider.h"
#include "tests/snkins/vs/skinrig.h"

namespace {

QColor pixelOf(QWidget* w, QPoint at) { return w->grab().toImage().pixelColor(at); }

const QColor kBack(33, 33, 33);  // the rig's background

struct SkinnedControl : testing::Test {
    void SetUp() override
    {
        button = new TVsButton(rig.skin);
        button->SetGraphicName(QStringLiteral("boton.bmp"));  // five cells of 20 x 10
        button->SetBounds(40, 30, 0, 0);
        button->SetMaskColor(clFuchsia);
        QObject::connect(button, &TVsButton::OnClick, [this](QObject* sender) {
            EXPECT_EQ(sender, button);
            ++clicks;
        });
    }
    // A real pointer's click: move there, press, release there.
    void click(QPoint at)
    {
        pointerMove(button, at);
        pointerPress(button, at);
        pointerRelease(button, at);
    }
    SkinRig rig;
    TVsButton* button;
    int clicks = 0;
};

struct SkinnedControlSlider : SkinnedControl {
    void SetUp() override
    {
        SkinnedControl::SetUp();
        slider = new TVsSlider(rig.skin);
        slider->SetGraphicName(QStringLiteral("thumb.bmp"));  // thumb 32 x 20
        slider->SetBounds(10, 60, 150, 20);
        slider->SetMaxValue(127);
        QObject::connect(slider, &TVsSlider::OnChange, [this] { ++changes; });
    }
    TVsSlider* slider = nullptr;
    int changes = 0;
};

}  // namespace

TEST_F(SkinnedControl, ButtonTakesItsSizeFromTheClip)
{
    addGraphic(*rig.composer, QStringLiteral("wide.bmp"), cellPicture(1, 503, 30));
    button->SetGraphicName(QStringLiteral("wide.bmp"));
    EXPECT_EQ(button->ClipRect()->BoundsRect(), QRect(0, 0, 503, 30));
    button->SetBounds(5, 6, 7, 8);
    EXPECT_EQ(button->geometry(), QRect(5, 6, 100, 30));
    button->ClipRect()->SetWidth(250);  // a new clip re-applies the bounds
    EXPECT_EQ(button->size(), QSize(50, 30));
    // a surface refresh keeps the chosen clip
    rig.skin->SetGraphicName(QStringLiteral("fondo.bmp"));
    rig.skin->UpdateGraphicControls();
    EXPECT_EQ(button->ClipRect()->Width(), 250);

    // no graphic of that name: the last clip stays, the size is free, only background shows
    button->SetGraphicName(QStringLiteral("nothing.bmp"));
    EXPECT_EQ(button->ClipRect()->Width(), 250);
    button->SetBounds(40, 30, 7, 8);
    EXPECT_EQ(button->size(), QSize(7, 8));
    EXPECT_EQ(pixelOf(button, QPoint(3, 3)), kBack);
}

TEST_F(SkinnedControl, ButtonShowsTheCellOfItsState)
{
    enum Action { Rest, Hot, Pressed };
    const struct {
        const char* what;
        bool enabled;
        TVsButtonStyle style;
        bool down;
        Action action;
        int cell;
    } cases[] = {
        {"rest", true, bsButton, false, Rest, 0},
        {"hot", true, bsButton, false, Hot, 4},
        {"held", true, bsButton, false, Pressed, 1},
        {"push style shows no latch", true, bsButton, true, Rest, 0},
        {"push style down and hot", true, bsButton, true, Hot, 4},
        {"latched switch", true, bsSwitch, true, Rest, 1},
        {"latched switch, hot", true, bsSwitch, true, Hot, 1},
        {"switch held", true, bsSwitch, false, Pressed, 1},
        {"disabled", false, bsButton, false, Rest, 2},
        {"disabled and down", false, bsSwitch, true, Rest, 3},
        {"disabled push button left down", false, bsButton, true, Rest, 3},
    };
    for (const auto& c : cases) {
        auto* b = new TVsButton(rig.skin);
        b->SetGraphicName(QStringLiteral("boton.bmp"));
        b->SetMaskColor(clFuchsia);
        b->SetStyle(c.style);
        b->SetDown(c.down);
        if (c.action != Rest) pointerMove(b, QPoint(10, 5));
        if (c.action == Pressed) pointerPress(b, QPoint(10, 5));
        b->setEnabled(c.enabled);
        EXPECT_EQ(b->CellIndex(), c.cell) << c.what;
        EXPECT_EQ(pixelOf(b, QPoint(10, 5)), cellColor(c.cell)) << c.what;
        // the cell's fuchsia corner shows the background under the button
        EXPECT_EQ(pixelOf(b, QPoint(0, 0)), kKey) << c.what << " (the rig's corner is fuchsia)";
        delete b;
    }
}

TEST_F(SkinnedControl, MaskPixelsTakeNoPress)
{
    button->SetBounds(80, 40, 0, 0);  // over plain background
    EXPECT_EQ(pixelOf(button, QPoint(0, 0)), kBack);
    pointerMove(button, QPoint(0, 0));
    EXPECT_FALSE(button->HasMouse());
    QPoint surfacePress;
    QObject::connect(rig.skin, &TVsSkin::OnMouseDown,
                     [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) { surfacePress = {x, y}; });
    pointerPress(button, QPoint(0, 0));
    EXPECT_EQ(surfacePress, QPoint(80, 40));  // it goes on to the surface
    EXPECT_FALSE(button->BtnDown());
    EXPECT_FALSE(button->Down());
    pointerMove(button, QPoint(5, 5));
    EXPECT_TRUE(button->HasMouse());
    EXPECT_EQ(pixelOf(button, QPoint(5, 5)), cellColor(4));
    pointerMove(button, QPoint(0, 0));
    EXPECT_FALSE(button->HasMouse());

    button->SetMaskColor(clNone);  // opaque: every pixel is the button's
    click(QPoint(0, 0));
    EXPECT_TRUE(button->Down());
    EXPECT_EQ(clicks, 1);
}

TEST_F(SkinnedControl, ClickRulesOfBothStyles)
{
    const QPoint in(10, 5), out(30, 5);
    enum Gesture { Inside, ReleaseOutside, LeaveWithoutMove, OutAndBackIn, NoMoveFirst };
    const struct {
        const char* what;
        TVsButtonStyle style;
        Gesture gesture;
        bool down;
        int clicks;
    } cases[] = {
        {"switch: press and release inside", bsSwitch, Inside, true, 1},
        {"switch: release outside", bsSwitch, ReleaseOutside, false, 0},
        {"switch: released outside with no move", bsSwitch, LeaveWithoutMove, false, 0},
        {"switch: out and back in while held", bsSwitch, OutAndBackIn, false, 0},
        {"push: press and release inside", bsButton, Inside, true, 1},
        {"push: release outside still flips", bsButton, ReleaseOutside, true, 0},
        {"push: out and back in", bsButton, OutAndBackIn, true, 0},
        {"push: never hot, no click", bsButton, NoMoveFirst, true, 0},
    };
    for (const auto& c : cases) {
        auto* b = new TVsButton(rig.skin);
        b->SetGraphicName(QStringLiteral("boton.bmp"));
        b->SetMaskColor(clFuchsia);
        b->SetStyle(c.style);
        int n = 0;
        QObject::connect(b, &TVsButton::OnClick, [&] { ++n; });
        if (c.gesture != NoMoveFirst) pointerMove(b, in);
        pointerPress(b, in);
        switch (c.gesture) {
        case Inside:
        case NoMoveFirst: pointerRelease(b, in); break;
        case ReleaseOutside:
            pointerMove(b, out, true);
            EXPECT_FALSE(b->HasMouse()) << c.what;
            EXPECT_EQ(b->CellIndex(), 1) << c.what;  // still held
            pointerRelease(b, out);
            break;
        case LeaveWithoutMove: pointerRelease(b, out); break;
        case OutAndBackIn:
            pointerMove(b, out, true);
            pointerMove(b, in, true);
            EXPECT_FALSE(b->HasMouse()) << c.what;
            pointerRelease(b, in);
            break;
        }
        EXPECT_EQ(b->Down(), c.down) << c.what;
        EXPECT_EQ(n, c.clicks) << c.what;
        EXPECT_FALSE(b->BtnDown()) << c.what;
        delete b;
    }
    // a push button flips on every accepted press; a switch unlatches on its next click
    click(in);
    click(in);
    EXPECT_FALSE(button->Down());
    EXPECT_EQ(clicks, 2);
    button->SetStyle(bsSwitch);
    click(in);
    EXPECT_TRUE(button->Down());
    click(in);
    EXPECT_FALSE(button->Down());
}

TEST_F(SkinnedControl, MouseEventsFireBeforeTheButtonChanges)
{
    bool seenDown = true, seenBtnDown = true;
    QObject::connect(button, &TVsSkinGraphicControl::OnMouseDown,
                     [&](QObject*, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
                         EXPECT_EQ(b, Qt::LeftButton);
                         EXPECT_EQ(QPoint(x, y), QPoint(10, 5));
                         seenDown = button->Down();
                         seenBtnDown = button->BtnDown();
                     });
    bool downAtRelease = false;
    QObject::connect(button, &TVsSkinGraphicControl::OnMouseUp,
                     [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { downAtRelease = button->BtnDown(); });
    click(QPoint(10, 5));
    EXPECT_FALSE(seenDown);
    EXPECT_FALSE(seenBtnDown);
    EXPECT_TRUE(downAtRelease);
    EXPECT_TRUE(button->Down());
}

TEST_F(SkinnedControl, CursorShowsOnlyOverOpaquePixelsWithTracking)
{
    button->setCursor(Qt::PointingHandCursor);
    button->SetCursorTracking(true);
    EXPECT_EQ(button->cursor().shape(), Qt::ArrowCursor);
    pointerMove(button, QPoint(10, 5));
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
    pointerMove(button, QPoint(0, 0));
    EXPECT_EQ(button->cursor().shape(), Qt::ArrowCursor);
    pointerMove(button, QPoint(10, 5));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_FALSE(button->HasMouse());
    EXPECT_EQ(button->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(SkinnedControlSlider, ValuesAndThumbOffsets)
{
    // 0..127 on 150 wide with a 32-wide thumb: 118 pixels of travel
    const struct {
        int position, left;
    } at[] = {{0, 0}, {63, 59}, {127, 118}, {64, 59}, {65, 60}, {1, 1}};
    for (const auto& a : at) {
        slider->SetPosition(a.position);
        EXPECT_EQ(slider->ThumbRect(), QRect(a.left, 0, 32, 20)) << a.position;
    }
    // a press beside the thumb centres it under the pointer: offset 59 is 63.5, which is 64
    slider->SetPosition(0);
    pointerPress(slider, QPoint(59 + 16, 10));
    EXPECT_EQ(slider->Position(), 64);
    EXPECT_FALSE(slider->Dragging());
    pointerRelease(slider, QPoint(59 + 16, 10));

    // dragging keeps the pointer's place inside the thumb
    slider->SetPosition(0);
    changes = 0;
    pointerPress(slider, QPoint(5, 10));
    EXPECT_TRUE(slider->Dragging());
    for (int x = 6; x <= 64; ++x) pointerMove(slider, QPoint(x, 10), true);
    EXPECT_EQ(slider->Position(), 64);
    EXPECT_EQ(changes, 59);  // one per pixel moved: a pixel is worth more than one value
    pointerMove(slider, QPoint(400, 10), true);
    EXPECT_EQ(slider->Position(), 127);
    pointerMove(slider, QPoint(-400, 10), true);
    EXPECT_EQ(slider->Position(), 0);
    pointerRelease(slider, QPoint(-400, 10));
    EXPECT_FALSE(slider->Dragging());
}

TEST_F(SkinnedControlSlider, VerticalHasItsMinimumAtTheBottom)
{
    slider->SetBounds(10, 0, 40, 100);
    slider->SetDirection(sdVert);
    slider->SetPosition(0);
    EXPECT_EQ(slider->ThumbRect(), QRect(4, 80, 32, 20));  // offset of MinValue: H - th
    slider->SetPosition(127);
    EXPECT_EQ(slider->ThumbRect().top(), 0);
    pointerPress(slider, QPoint(20, 95));  // near the bottom: the thumb goes down to 0
    EXPECT_EQ(slider->Position(), 0);
    pointerRelease(slider, QPoint(20, 95));
    pointerPress(slider, QPoint(20, 50));  // the middle: offset 40 of 80 from the top
    EXPECT_EQ(slider->Position(), 64);
}

TEST_F(SkinnedControlSlider, RangeRules)
{
    slider->SetMaxValue(100);
    changes = 0;
    slider->SetPosition(500);
    EXPECT_EQ(slider->Position(), 100);
    EXPECT_EQ(changes, 1);
    slider->SetPosition(100);
    EXPECT_EQ(changes, 1);
    slider->SetMinValue(100);  // not below the maximum: ignored
    EXPECT_EQ(slider->MinValue(), 0);
    slider->SetMaxValue(60);  // lowers the position
    EXPECT_EQ(slider->Position(), 60);
    EXPECT_EQ(changes, 2);
    slider->SetMinValue(-10);
    slider->SetPosition(-5);
    changes = 0;
    slider->SetMinValue(20);  // raises it
    EXPECT_EQ(slider->Position(), 20);
    EXPECT_EQ(changes, 1);
    slider->SetMaxValue(20);  // not above the minimum: ignored
    EXPECT_EQ(slider->MaxValue(), 60);
}

TEST_F(SkinnedControlSlider, ThumbCellFollowsTheEnabledState)
{
    slider->SetPosition(127);
    EXPECT_EQ(pixelOf(slider, QPoint(130, 10)), cellColor(0));
    EXPECT_EQ(pixelOf(slider, QPoint(50, 10)), kBack);  // the track is the background
    slider->setEnabled(false);
    EXPECT_EQ(pixelOf(slider, QPoint(130, 10)), cellColor(1));
    pointerPress(slider, QPoint(10, 10));  // a disabled slider does not move
    EXPECT_EQ(slider->Position(), 127);
}

TEST_F(SkinnedControlSlider, ThumbAsLongAsTheSliderStaysAtTheMinimum)
{
    slider->SetBounds(10, 60, 32, 20);  // no travel left
    slider->SetPosition(50);
    EXPECT_EQ(slider->ThumbRect().left(), 0);
    pointerPress(slider, QPoint(40, 10));
    EXPECT_EQ(slider->Position(), 0);
}

namespace {

template <class Base>
struct Counting : Base {
    using Base::Base;
    int paints = 0;
    void paintEvent(QPaintEvent* e) override
    {
        ++paints;
        Base::paintEvent(e);
    }
};

}  // namespace

TEST(SkinnedControlPaint, SliderChangeRepaintsOnlyTheSlider)
{
    ensureApp();
    QWidget form;
    TVsComposer composer(&form);
    addGraphic(composer, QStringLiteral("fondo.bmp"), backgroundPicture(200, 100, kBack, 0));
    addGraphic(composer, QStringLiteral("thumb.bmp"), cellPicture(2, 32, 20));
    addGraphic(composer, QStringLiteral("boton.bmp"), cellPicture(5, 20, 10));
    auto* skin = new Counting<TVsSkin>(&form);
    auto* slider = new Counting<TVsSlider>(skin);
    auto* button = new Counting<TVsButton>(skin);
    skin->BeginUpdate();
    skin->SetComposer(&composer);
    skin->SetGraphicName(QStringLiteral("fondo.bmp"));
    slider->SetGraphicName(QStringLiteral("thumb.bmp"));
    slider->SetBounds(10, 10, 150, 20);
    button->SetGraphicName(QStringLiteral("boton.bmp"));
    button->SetBounds(10, 50, 0, 0);
    skin->EndUpdate();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::qWait(20);
    ASSERT_GT(skin->paints, 0);
    skin->paints = slider->paints = button->paints = 0;
    for (int v = 1; v <= 5; ++v) {
        slider->SetPosition(v * 10);
        QTest::qWait(5);
    }
    EXPECT_GE(slider->paints, 1);
    EXPECT_EQ(skin->paints, 0);
    EXPECT_EQ(button->paints, 0);
    // and what it shows is the background with the thumb where the value puts it
    const QImage shot = form.grab().toImage();
    EXPECT_EQ(shot.pixelColor(10 + 59 + 16, 20), cellColor(0));
    EXPECT_EQ(shot.pixelColor(10 + 2, 20), kBack);
}

TEST_F(SkinnedControl, ImageSizesCentresAndStretches)
{
    auto* image = new TVsImage(rig.skin);
    image->SetGraphicName(QStringLiteral("boton.bmp"));
    image->ClipRect()->SetBounds(20, 0, 20, 10);  // cell 1
    image->SetBounds(0, 40, 40, 30);
    // centred: the clip at ((40 - 20) / 2, (30 - 10) / 2)
    EXPECT_EQ(pixelOf(image, QPoint(15, 15)), cellColor(1));
    EXPECT_EQ(pixelOf(image, QPoint(5, 5)), kBack);
    image->SetCenter(false);
    EXPECT_EQ(pixelOf(image, QPoint(5, 5)), cellColor(1));
    image->SetStretch(true);
    EXPECT_EQ(pixelOf(image, QPoint(39, 29)), cellColor(1));
    image->SetMaskColor(clFuchsia);
    EXPECT_EQ(pixelOf(image, QPoint(0, 0)), kBack);  // the stretched fuchsia corner is see-through

    image->SetAutoSize(true);
    EXPECT_EQ(image->size(), QSize(20, 10));
    image->SetAlign(alBottom);  // aligned: keeps its aligned size
    EXPECT_EQ(image->geometry(), QRect(0, 90, 200, 10));
    image->SetAlign(alClient);
    EXPECT_EQ(image->geometry(), QRect(0, 0, 200, 100));
    addGraphic(*rig.composer, QStringLiteral("big.bmp"), backgroundPicture(300, 150, kBack, 0));
    rig.skin->SetGraphicName(QStringLiteral("big.bmp"));
    EXPECT_EQ(image->geometry(), QRect(0, 0, 300, 150));  // follows the surface
    pointerPress(image, QPoint(3, 3));  // drags the form where the platform can
}
