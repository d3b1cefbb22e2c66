#include "snkins/vr/tvrgraphiccontrol.h"

#include <QPainter>

TVrGraphicControl::TVrGraphicControl(QWidget* parent) : QWidget(parent)
{
    FFont.Font = QWidget::font();
}

void TVrGraphicControl::EndUpdate()
{
    --FUpdateCount;
    UpdateControlCanvas();
}

void TVrGraphicControl::Loaded()
{
    FLoading = false;
}

void TVrGraphicControl::SetCaption(const QString& Value)
{
    if (FCaption == Value) return;
    FCaption = Value;
    TextChanged();
}

void TVrGraphicControl::SetColor(TColor Value)
{
    if (FColor == Value) return;
    FColor = Value;
    ColorChanged();
}

void TVrGraphicControl::SetFont(const KitFont& Value)
{
    if (FFont == Value) return;
    FFont = Value;
    FontChanged();
}

void TVrGraphicControl::SetAutoSize(bool Value)
{
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    if (Value) AdjustControlSize();
}

void TVrGraphicControl::SetBounds(int Left, int Top, int Width, int Height)
{
    if (FAutoSize && !FLoading) {
        int w = Width, h = Height;
        if (CanAutoSize(w, h)) {
            Width = w;
            Height = h;
        }
    }
    setGeometry(Left, Top, Width, Height);
}

bool TVrGraphicControl::CanAutoSize(int&, int&) { return true; }

void TVrGraphicControl::UpdateControlCanvas()
{
    if (FLoading || FUpdateCount > 0) return;
    update();
}

void TVrGraphicControl::AdjustControlSize()
{
    if (FLoading) return;
    SetBounds(x(), y(), width(), height());
}

void TVrGraphicControl::UpdateControlBounds()
{
    if (FAutoSize && FAlign != alClient) {
        const QRect before = geometry();
        if (!FLoading) SetBounds(x(), y(), width(), height());
        if (geometry() == before) UpdateControlCanvas();
    } else {
        UpdateControlCanvas();
    }
}

void TVrGraphicControl::ShowDesignFrame(QPainter& canvas)
{
    if (!Designing()) return;
    canvas.setPen(QPen(Qt::black, 1, Qt::DotLine));
    canvas.setBrush(Qt::NoBrush);
    canvas.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TVrGraphicControl::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    MouseEnter();
}

void TVrGraphicControl::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    MouseLeave();
}
