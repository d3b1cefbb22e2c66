#include "snkins/vs/tvsbutton.h"

#include "snkins/colorref.h"
#include "snkins/vs/tvsgraphic.h"

TVsButton::TVsButton(QWidget* parent) : TVsSkinGraphicControl(parent) { SetBounds(0, 0, 100, 25); }

void TVsButton::SetStyle(TVsButtonStyle style)
{
    if (style == FStyle) return;
    FStyle = style;
    RepaintControl();
}

void TVsButton::SetDown(bool down)
{
    if (down == FDown) return;
    FDown = down;
    RepaintControl();
}

void TVsButton::SetBounds(int left, int top, int width, int height)
{
    if (Graphic()) {
        width = ClipRect()->Width() / 5;
        height = ClipRect()->Height();
    }
    TVsSkinGraphicControl::SetBounds(left, top, width, height);
}

int TVsButton::CellIndex() const
{
    if (!isEnabled()) return FDown ? 3 : 2;
    const bool pressed = FStyle == bsButton ? FBtnDown : (FBtnDown || FDown);
    if (pressed) return 1;
    return FHasMouse ? 4 : 0;
}

void TVsButton::UpdateMask()
{
    PaintBackImage();
    FMask = FBitmap;
    if (Graphic()) {
        const QRect cell(CellIndex() * width() + ClipRect()->Left(), ClipRect()->Top(), width(), height());
        DrawTransparent(FMask, QPoint(0, 0), Graphic()->Bitmap(), cell, clNone);
    }
}

void TVsButton::Paint()
{
    UpdateMask();  // also starts the composition
    DrawTransparent(FBitmap, QPoint(0, 0), FMask, FMask.rect(), MaskColor());
}

bool TVsButton::HitTest(int x, int y)
{
    if (MaskColor() == clNone) return true;
    UpdateMask();
    if (!FMask.valid(x, y)) return false;
    return (FMask.pixel(x, y) & 0xFFFFFF) != (colorFromRef(MaskColor()).rgb() & 0xFFFFFF);
}

void TVsButton::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    TVsSkinGraphicControl::MouseDown(button, shift, x, y);
    if (button != Qt::LeftButton || !isEnabled()) return;
    FBtnDown = true;
    FDown = !FDown;
    RepaintControl();
}

void TVsButton::MouseMove(Qt::KeyboardModifiers shift, int x, int y)
{
    TVsSkinGraphicControl::MouseMove(shift, x, y);
    if (FBtnDown) {
        // no leave event comes while the button is held: leaving the rectangle is the leave
        if (!rect().contains(x, y)) Leave();
        return;
    }
    const bool hit = HitTest(x, y);
    if (hit && !FHasMouse) {
        FHasMouse = true;
        UpdateCursor(RefCursor());
        RepaintControl();
    } else if (!hit && FHasMouse) {
        FHasMouse = false;
        UpdateCursor(QCursor());
        RepaintControl();
    }
}

void TVsButton::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    TVsSkinGraphicControl::MouseUp(button, shift, x, y);
    if (button != Qt::LeftButton) return;
    if (FBtnDown && !rect().contains(x, y)) Leave();
    const bool click = FHasMouse && FBtnDown;
    if (FBtnDown) {
        if (FStyle == bsSwitch && !click) FDown = !FDown;  // released off the button: no latch
        FBtnDown = false;
        RepaintControl();
    }
    if (click) emit OnClick(this);
}

void TVsButton::Leave()
{
    if (!FHasMouse) return;
    FHasMouse = false;
    RepaintControl();
    UpdateCursor(QCursor());
}

void TVsButton::MouseLeave()
{
    TVsSkinGraphicControl::MouseLeave();
    Leave();
}

