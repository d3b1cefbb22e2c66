#include "snkins/vs/tvsslider.h"

#include <cmath>

#include "snkins/vs/skinerror.h"
#include "snkins/vs/tvsgraphic.h"
#include "snkins/vs/tvsini.h"

TVsSlider::TVsSlider(QWidget* parent) : TVsSkinGraphicControl(parent) { SetBounds(0, 0, 150, 20); }

void TVsSlider::SetPosition(int value)
{
    value = qBound(FMinValue, value, FMaxValue);
    if (value == FPosition) return;
    FPosition = value;
    RepaintControl();
    emit OnChange(this);
}

void TVsSlider::SetMinValue(int value)
{
    if (value == FMinValue || value >= FMaxValue) return;
    FMinValue = value;
    if (FPosition < value) SetPosition(value);
    else RepaintControl();
}

void TVsSlider::SetMaxValue(int value)
{
    if (value == FMaxValue || value <= FMinValue) return;
    FMaxValue = value;
    if (FPosition > value) SetPosition(value);
    else RepaintControl();
}

void TVsSlider::SetDirection(TVsSliderDirection direction)
{
    if (direction == FDirection) return;
    FDirection = direction;
    RepaintControl();
}

QSize TVsSlider::ThumbSize() const { return QSize(ClipRect()->Width() / 2, ClipRect()->Height()); }

int TVsSlider::ViewWidth() const
{
    return FDirection == sdHorz ? width() - ThumbSize().width() : height() - ThumbSize().height();
}

int TVsSlider::OffsetOfValue(int value) const
{
    const qint64 view = ViewWidth();
    // a thumb as long as the slider leaves no room: it stays at the minimum's end
    const qint64 offset = view <= 0 ? 0
                                    : qint64(std::rint(double(view) * (qint64(value) - FMinValue) /
                                                       double(qint64(FMaxValue) - FMinValue)));
    return int(FDirection == sdVert ? height() - offset - ThumbSize().height() : offset);
}

int TVsSlider::ValueOfOffset(int offset) const
{
    qint64 o = offset;
    if (FDirection == sdVert) o = qint64(height()) - o - ThumbSize().height();
    const qint64 view = ViewWidth();
    if (view <= 0) return FMinValue;
    const qint64 steps = qint64(std::rint(double(o) * (qint64(FMaxValue) - FMinValue) / double(view)));
    return int(qMin(qMax<qint64>(steps, 0) + FMinValue, qint64(FMaxValue)));
}

void TVsSlider::SetThumbOffset(int offset)
{
    SetPosition(ValueOfOffset(qBound(0, offset, qMax(ViewWidth(), 0))));
}

void TVsSlider::AdjustThumb()
{
    const QSize t = ThumbSize();
    const int along = OffsetOfValue(FPosition);
    if (FDirection == sdHorz) FThumbRect = QRect(along, (height() - t.height()) / 2, t.width(), t.height());
    else FThumbRect = QRect((width() - t.width()) / 2, along, t.width(), t.height());
}

QRect TVsSlider::ThumbRect()
{
    AdjustThumb();
    return FThumbRect;
}

void TVsSlider::Paint()
{
    PaintBackImage();
    AdjustThumb();
    if (!Graphic()) return;
    const int cell = isEnabled() ? 0 : 1;
    const QRect src(cell * FThumbRect.width() + ClipRect()->Left(), ClipRect()->Top(), FThumbRect.width(),
                    FThumbRect.height());
    DrawTransparent(FBitmap, FThumbRect.topLeft(), Graphic()->Bitmap(), src, MaskColor());
}

void TVsSlider::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    TVsSkinGraphicControl::MouseDown(button, shift, x, y);
    if (button != Qt::LeftButton || !isEnabled()) return;
    AdjustThumb();
    const bool horz = FDirection == sdHorz;
    if (FThumbRect.contains(x, y)) {
        FDragging = true;
        FHit = horz ? x - FThumbRect.left() : y - FThumbRect.top();
    } else {
        SetThumbOffset(horz ? x - FThumbRect.width() / 2 : y - FThumbRect.height() / 2);
    }
}

void TVsSlider::MouseMove(Qt::KeyboardModifiers shift, int x, int y)
{
    TVsSkinGraphicControl::MouseMove(shift, x, y);
    if (FDragging) SetThumbOffset((FDirection == sdHorz ? x : y) - FHit);
}

void TVsSlider::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    TVsSkinGraphicControl::MouseUp(button, shift, x, y);
    if (!FDragging) return;
    FDragging = false;
    RepaintControl();
}


void TVsSlider::WriteConfig(TVsIni& ini) const
{
    TVsSkinGraphicControl::WriteConfig(ini);
    ini.WriteInteger(objectName(), QStringLiteral("Direction"), FDirection == sdVert ? 1 : 0);
}

void TVsSlider::ReadConfig(const TVsIni& ini)
{
    const QString text = ini.ReadString(objectName(), QStringLiteral("Direction"), QString());
    const int direction = ini.ReadInteger(objectName(), QStringLiteral("Direction"), 0);
    if (direction != 0 && direction != 1)
        throw SkinError(QStringLiteral("'%1' is not a valid slider direction").arg(text));
    SetDirection(direction == 1 ? sdVert : sdHorz);
    TVsSkinGraphicControl::ReadConfig(ini);
}
