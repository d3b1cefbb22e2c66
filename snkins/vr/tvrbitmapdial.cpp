#include "snkins/vr/tvrbitmapdial.h"

#include <QCursor>
#include <QMouseEvent>
#include <algorithm>
#include <climits>

#include "snkins/vr/bitmaplistclient.h"
#include "snkins/vr/vrfunctions.h"

TVrBitmapDial::TVrBitmapDial(QWidget* parent)
    : TVrGraphicImageControl(parent), FBitmapList(new BitmapListClient(this))
{
    resize(50, 50);
    connect(FBitmapList, &BitmapListClient::Changed, this, &TVrBitmapDial::UpdateImage);
    connect(FBitmapList, &BitmapListClient::Removed, this, &TVrBitmapDial::UpdateImage);
}

TVrBitmapList* TVrBitmapDial::BitmapList() const { return FBitmapList->List(); }

int TVrBitmapDial::GetPercentDone() const
{
    return SolveForY(int64_t(FPosition) - FMinValue, int64_t(FMaxValue) - FMinValue);
}

int TVrBitmapDial::FrameIndex() const
{
    if (FImageCount <= 0) return 0;
    return std::clamp(SolveForX(GetPercentDone(), FImageCount), 0, FImageCount - 1);
}

void TVrBitmapDial::SetPosition(int Value)
{
    if (Value < FMinValue) Value = FMinValue;
    if (Value > FMaxValue) Value = FMaxValue;
    if (Value == FPosition) return;
    const int before = GetPercentDone();
    FPosition = Value;
    if (GetPercentDone() != before) {
        UpdateControlCanvas();
        Changed();
    }
}

void TVrBitmapDial::SetMinValue(int Value)
{
    if (FMinValue == Value) return;
    FMinValue = Value;
    if (FPosition < Value)
        SetPosition(Value);
    else
        UpdateControlCanvas();
}

void TVrBitmapDial::SetMaxValue(int Value)
{
    if (FMaxValue == Value) return;
    FMaxValue = Value;
    if (Value < FPosition)
        SetPosition(Value);
    else
        UpdateControlCanvas();
}

void TVrBitmapDial::SetImageCount(int Value)
{
    if (FImageCount == Value) return;
    FImageCount = Value;
    UpdateImage();
}

void TVrBitmapDial::SetBitmapIndex(int Value)
{
    if (FBitmapIndex == Value) return;
    FBitmapIndex = Value;
    UpdateImage();
}

void TVrBitmapDial::SetBitmapList(TVrBitmapList* Value)
{
    FBitmapList->SetList(Value);
    if (!Loading()) UpdateImage();
}

void TVrBitmapDial::Loaded()
{
    TVrGraphicImageControl::Loaded();
    UpdateImage();
}

void TVrBitmapDial::UpdateImage()
{
    FImageWidth = FImageHeight = 0;
    FCurrBitmap = FBitmapList->GetBitmap(FBitmapIndex);
    if (!FCurrBitmap || FImageCount <= 0) {
        UpdateControlCanvas();
        return;
    }
    FImageWidth = FCurrBitmap->width() / FImageCount;
    FImageHeight = FCurrBitmap->height();
    UpdateControlBounds();
}

bool TVrBitmapDial::CanAutoSize(int& NewWidth, int& NewHeight)
{
    if ((Align() == alNone || Align() == alLeft || Align() == alRight) && FImageWidth > 0) NewWidth = FImageWidth;
    if ((Align() == alNone || Align() == alTop || Align() == alBottom) && FImageHeight > 0) NewHeight = FImageHeight;
    return true;
}

void TVrBitmapDial::Paint()
{
    const int index = FrameIndex();
    ClearBitmapCanvas();
    QPainter& canvas = GetBitmapCanvas();
    if (FCurrBitmap && FImageCount > 0 && FImageWidth > 0) {
        const QRect src(index * FImageWidth, 0, FImageWidth, FImageHeight);
        const QRect dest((width() - FImageWidth) / 2, (height() - FImageHeight) / 2, FImageWidth, FImageHeight);
        if (Transparent())
            DrawBitmap(canvas, dest, *FCurrBitmap, Color(), true, src);
        else
            canvas.drawImage(dest.topLeft(), *FCurrBitmap, src);
    } else {
        canvas.fillRect(rect(), VrColor(Color()));
    }
    ShowDesignFrame(canvas);
    TVrGraphicImageControl::Paint();
}

void TVrBitmapDial::mousePressEvent(QMouseEvent* event)
{
    TVrGraphicImageControl::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    FMouse = pos;
    const int p = GetPercentDone();
    FPoint = QPoint(pos.x() - SolveForX(p, width()), pos.y() - SolveForX(p, height()));
    FDragging = FStyle == dsLeftRightMove || FStyle == dsTopBottomMove;
    if (FDragging && FHideCursor) setCursor(Qt::BlankCursor);
    if (FStyle == dsButtonClick) {
        if (event->button() == Qt::LeftButton)
            SetPosition(int(std::clamp<int64_t>(int64_t(FPosition) + FIncrement, INT_MIN, INT_MAX)));
        else if (event->button() == Qt::RightButton)
            SetPosition(int(std::clamp<int64_t>(int64_t(FPosition) - FIncrement, INT_MIN, INT_MAX)));
    }
}

void TVrBitmapDial::mouseMoveEvent(QMouseEvent* event)
{
    TVrGraphicImageControl::mouseMoveEvent(event);
    if (!FDragging) return;
    const QPoint pos = event->position().toPoint();
    int p = 0;
    if (FStyle == dsLeftRightMove)
        p = SolveForY(pos.x() - FPoint.x(), width());
    else if (FStyle == dsTopBottomMove)
        p = SolveForY(pos.y() - FPoint.y(), height());
    const int64_t value = int64_t(FMinValue) + SolveForX(p, int64_t(FMaxValue) - FMinValue);
    SetPosition(int(std::clamp<int64_t>(value, INT_MIN, INT_MAX)));
}

void TVrBitmapDial::mouseReleaseEvent(QMouseEvent* event)
{
    if (FDragging) {
        FDragging = false;
        if (FHideCursor) unsetCursor();
        QCursor::setPos(mapToGlobal(FMouse));
    }
    TVrGraphicImageControl::mouseReleaseEvent(event);
}
