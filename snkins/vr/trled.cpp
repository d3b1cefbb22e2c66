#include "snkins/vr/trled.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

#include "snkins/colorref.h"
#include "snkins/vr/vrfunctions.h"

TRLed::TRLed(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(25, 152);
    RecalcBarCount();
    FChangeTimer.setInterval(25);
    connect(&FChangeTimer, &QTimer::timeout, this, &TRLed::OnChangeTimer);
    FChangeTimer.start();
}

void TRLed::RecalcBarCount()
{
    const int length = (FOrientation == trVertical ? height() : width()) - 2;
    BarCount = FBarSize > 0 ? std::max(0, length) / FBarSize : 0;
}

int TRLed::Percent() const
{
    if (FMaxValue == 0) return 0;
    return int(std::clamp<int64_t>(RoundHalfEven(int64_t(FPosition) * 100, FMaxValue), 0, 100));
}

int TRLed::LitCount() const { return int(RoundHalfEven(int64_t(BarCount) * Percent(), 100)); }

int TRLed::BreakCount() const { return int(RoundHalfEven(int64_t(BarCount) * FBreakPos, 100)); }

TColor TRLed::BlendColor(TColor c)
{
    c = Color2RGB(c);
    return ((c & 0xFF) / 5) | ((((c >> 8) & 0xFF) / 5) << 8) | ((((c >> 16) & 0xFF) / 5) << 16);
}

void TRLed::Paint()
{
    if (FLoading || FUpdateCount > 0) return;
    update();
}

void TRLed::SetPosition(int Value)
{
    if (Value > FMaxValue) return;
    FPosition = Value;
    Paint();
}

void TRLed::SetPico(int Value)
{
    newpico = Value;
    if (Value > FPosition) SetPosition(Value);
}

void TRLed::OnChangeTimer() { SetPosition(std::max(FPosition - 500, 0)); }

void TRLed::enabletimer(bool valor)
{
    if (valor)
        FChangeTimer.start();
    else
        FChangeTimer.stop();
}

void TRLed::SetColorLow(TColor Value)
{
    if (FColorLow == Value) return;
    FColorLow = Value;
    Paint();
}

void TRLed::SetColorHi(TColor Value)
{
    FColorHi = Value;
    Paint();
}

void TRLed::SetBackColor(TColor Value)
{
    FBackColor = Value;
    Paint();
}

void TRLed::SetMaxValue(int Value)
{
    if (FMaxValue == Value) return;
    FMaxValue = Value;
    Paint();
}

void TRLed::SetBarSize(uint16_t Value)
{
    const bool accept = FOrientation == trVertical ? Value != FBarSize && Value < height() - 4 : Value < width() - 4;
    if (!accept) return;
    FBarSize = Value;
    RecalcBarCount();
    Paint();
}

void TRLed::SetBreakPos(uint8_t Value)
{
    if (Value >= 155) return;
    FBreakPos = Value;
    Paint();
}

void TRLed::SetOrientation(TTrackBarOrientation Value)
{
    if (FOrientation == Value) return;
    FOrientation = Value;
    if (!FLoading && FUpdateCount == 0) setGeometry(x(), y(), height(), width());
    RecalcBarCount();
    Paint();
}

void TRLed::Loaded()
{
    FLoading = false;
    RecalcBarCount();
    Paint();
}

void TRLed::EndUpdate()
{
    --FUpdateCount;
    Paint();
}

void TRLed::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    RecalcBarCount();
}

void TRLed::PaintTo(QPainter& dest)
{
    RecalcBarCount();
    dest.fillRect(rect(), colorFromRef(Color2RGB(FBackColor)));
    const QColor low = colorFromRef(Color2RGB(FColorLow)), hi = colorFromRef(Color2RGB(FColorHi));
    const QColor lowDim = colorFromRef(BlendColor(FColorLow)), hiDim = colorFromRef(BlendColor(FColorHi));
    const int bs = FBarSize;
    if (bs <= 2 || FMaxValue == 0) return;  // BarSize 1 and 2 leave no room for a bar
    const int lit = LitCount(), brk = BreakCount();
    auto colour = [&](int k) {
        const bool on = k > BarCount - lit;
        return k < brk ? (on ? hi : hiDim) : (on ? low : lowDim);
    };
    if (FOrientation == trVertical) {
        for (int i = 1; i <= BarCount; ++i)
            dest.fillRect(QRect(2, (i - 1) * bs + 2, width() - 4, bs - 2), colour(i));
    } else {
        for (int i = 1; i <= BarCount - 2; ++i)
            dest.fillRect(QRect((i - 1) * bs + 2, 2, bs - 2, height() - 4), colour(BarCount - i));
    }
}

QImage TRLed::RenderImage()
{
    QImage out(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    QPainter p(&out);
    PaintTo(p);
    return out;
}

void TRLed::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    PaintTo(p);
}
