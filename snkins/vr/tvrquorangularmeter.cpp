#include "snkins/vr/tvrquorangularmeter.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPolygonF>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "snkins/vr/evrexception.h"
#include "snkins/vr/vrfunctions.h"

namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;
constexpr int kMaxDecimals = 18;  // as many digits as a double can show

// a point on the pixel grid, at the pixel's centre for antialiased drawing
QPointF centre(const QPoint& p) { return QPointF(p.x() + 0.5, p.y() + 0.5); }

void drawTextAt(QPainter& p, int left, int top, const QString& text)
{
    p.drawText(left, top + QFontMetrics(p.font()).ascent(), text);
}

}  // namespace

TVrQuorAngularMeter::TVrQuorAngularMeter(QWidget* parent) : TVrGraphicImageControl(parent)
{
    SetColor(clBlack);
    KitFont white = Font();
    white.Color = clWhite;
    SetFont(white);
    FLabelsFont = white;
    lfont.Font = rfont.Font = efont.Font = Font().Font;
    resize(310, 250);
    FChangeTimer.setInterval(25);
    connect(&FChangeTimer, &QTimer::timeout, this, &TVrQuorAngularMeter::OnChangeTimer);
    DrawMeterImage();
}

void TVrQuorAngularMeter::SetPosition(double Value)
{
    if (Value < FMinValue) Value = FMinValue;
    if (Value > FMaxValue) Value = FMaxValue;
    FPosition = Value;
    UpdateControlCanvas();
    Changed();
}

void TVrQuorAngularMeter::SetMinValue(double Value)
{
    if (FMinValue == Value) return;
    if (!Loading() && Value > FMaxValue) throw EVrException("Value out of range.");
    FMinValue = Value;
    if (Value > FPosition) FPosition = Value;
    DrawMeterImage();
}

void TVrQuorAngularMeter::SetMaxValue(double Value)
{
    if (FMaxValue == Value) return;
    if (!Loading() && Value < FMinValue) throw EVrException("Value out of range.");
    FMaxValue = Value;
    if (Value < FPosition) FPosition = Value;
    DrawMeterImage();
}

void TVrQuorAngularMeter::SetPico(int Value)
{
    newpico = Value;
    if (Value > FPosition) {
        SetPosition(Value);
        fcaida = 1;
    }
}

void TVrQuorAngularMeter::settimerenabled(bool Value)
{
    ttimerena = Value;
    if (Value)
        FChangeTimer.start();
    else
        FChangeTimer.stop();
}

void TVrQuorAngularMeter::OnChangeTimer()
{
    if (FPosition != 0) SetPosition(std::max(FPosition - 500, 0.0));
}

TColor TVrQuorAngularMeter::ColorZone(int Index) const
{
    return Index == 1 ? FColorZone1 : Index == 2 ? FColorZone2 : FColorZone3;
}

void TVrQuorAngularMeter::SetColorZone(int Index, TColor Value)
{
    if (Index < 1 || Index > 3) return;
    (Index == 1 ? FColorZone1 : Index == 2 ? FColorZone2 : FColorZone3) = Value;
    DrawMeterImage();
}

void TVrQuorAngularMeter::SetPercent1(TVrPercentInt Value)
{
    if (FPercent1 == Value) return;
    if (!Loading() && Value + FPercent2 > 100) Value = TVrPercentInt(100 - std::min<int>(FPercent2, 100));
    FPercent1 = Value;
    DrawMeterImage();
}

void TVrQuorAngularMeter::SetPercent2(TVrPercentInt Value)
{
    if (FPercent2 == Value) return;
    if (!Loading() && Value + FPercent1 > 100) Value = TVrPercentInt(100 - std::min<int>(FPercent1, 100));
    FPercent2 = Value;
    DrawMeterImage();
}

void TVrQuorAngularMeter::Loaded()
{
    TVrGraphicImageControl::Loaded();
    DrawMeterImage();
}

void TVrQuorAngularMeter::TextChanged()
{
    TVrGraphicImageControl::TextChanged();
    if (!FMeterImage.isNull()) DrawMeterImage();
}

void TVrQuorAngularMeter::FontChanged()
{
    TVrGraphicImageControl::FontChanged();
    if (!FMeterImage.isNull()) DrawMeterImage();
}

void TVrQuorAngularMeter::ColorChanged()
{
    if (!FMeterImage.isNull()) DrawMeterImage();
}

void TVrQuorAngularMeter::changeEvent(QEvent* event)
{
    TVrGraphicImageControl::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !FMeterImage.isNull()) DrawMeterImage();
}

void TVrQuorAngularMeter::resizeEvent(QResizeEvent* event)
{
    TVrGraphicImageControl::resizeEvent(event);
    if (!FMeterImage.isNull() && !Loading()) DrawMeterImage();
}

int TVrQuorAngularMeter::GetRadius() const
{
    return (FRadius < 0 ? std::min(WDiv2(), HDiv2()) : FRadius) - FSpacing;
}

QPoint TVrQuorAngularMeter::Rotate(double r, double a) const
{
    const double rad = a * kDegToRad;
    return QPoint(WDiv2() + int(std::trunc(r * std::sin(rad))), HDiv2() - int(std::trunc(r * std::cos(rad))));
}

double TVrQuorAngularMeter::NeedleAngle() const
{
    const double start = FAngle + 180.0;
    const double range = FMaxValue - FMinValue;
    if (range == 0) return start;
    return start + FAngleOffset * (FPosition - FMinValue) / range;
}

void TVrQuorAngularMeter::DrawMeterImage()
{
    if (Loading()) return;
    BuildMeterImage();
    UpdateControlCanvas();
}

void TVrQuorAngularMeter::BuildMeterImage()
{
    FMeterImage = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    FMeterKeyed = QImage();
    const QColor background = VrColor(Color());
    FMeterImage.fill(background);
    QPainter p(&FMeterImage);
    p.setRenderHint(QPainter::Antialiasing);

    const int R = GetRadius();
    const double S = FAngle + 180.0, E = S + FAngleOffset;
    double Z1 = S + FPercent1 * 0.01 * FAngleOffset;
    double Z2 = Z1 + FPercent2 * 0.01 * FAngleOffset;
    const double outer = R + FTicksMax;
    const QRectF pie(WDiv2() - outer, HDiv2() - outer, 2 * outer, 2 * outer);
    // Qt counts angles counter-clockwise from three o'clock, in sixteenths of a degree
    auto slice = [&](TColor c, double from, double to) {
        p.setPen(VrColor(c));
        p.setBrush(VrColor(c));
        p.drawPie(pie, int(std::lround((90.0 - from) * 16)), -int(std::lround((to - from) * 16)));
    };
    if (FPercent1 > 0)
        slice(FColorZone1, S, Z1);
    else
        Z1 = S;
    if (FPercent2 > 0)
        slice(FColorZone2, Z1, Z2);
    else
        Z2 = Z1;
    if (FPercent1 + FPercent2 < 100) slice(FColorZone3, Z2, E);
    p.setPen(background);
    p.setBrush(background);
    p.drawEllipse(QPointF(WDiv2(), HDiv2()), R - 2, R - 2);

    if (FTicks >= 1) {
        p.setPen(QPen(VrColor(FTicksColor), 1));
        for (int i = 0; i <= FTicks; ++i) {
            const double a = S + double(i) * FAngleOffset / FTicks;
            // every tick is short when TicksEnlarge is 0
            const bool large = FTicksEnlarge >= 1 && i % FTicksEnlarge == 0;
            p.drawLine(centre(Rotate(R, a)), centre(Rotate(R + (large ? FTicksMax : FTicksMin), a)));
        }
    }

    p.setBrush(Qt::NoBrush);
    if (FLabels >= 1) {
        p.setFont(FLabelsFont.Font);
        p.setPen(VrColor(FLabelsFont.Color));
        const QFontMetrics fm(FLabelsFont.Font);
        const int decimals = std::clamp(FDecimals, 0, kMaxDecimals);
        for (int i = 0; i <= FLabels; ++i) {
            const QString text =
                QString::asprintf("%.*f", decimals, FMinValue + i * (FMaxValue - FMinValue) / FLabels);
            const QPoint at = Rotate(R + FLabelsOffset, S + double(i) * FAngleOffset / FLabels);
            drawTextAt(p, at.x() - fm.horizontalAdvance(text) / 2, at.y() - fm.height() / 2, text);
        }
    }

    const int textTop = height() / 2 + FNeedleBaseWidth;
    p.setFont(Font().Font);
    p.setPen(VrColor(Font().Color));
    {
        const QFontMetrics fm(Font().Font);
        int y = textTop + FCaptionYOffset;
        for (const QString& line : Caption().split(QLatin1Char('|'))) {
            if (line.isEmpty()) {
                y += fm.boundingRect(QStringLiteral("gW")).height();
                continue;
            }
            drawTextAt(p, WDiv2() + FCaptionXOffset - fm.horizontalAdvance(line) / 2, y, line);
            y += fm.height();
        }
    }
    if (enamodo) {
        p.setFont(lfont.Font);
        p.setPen(VrColor(lfont.Color));
        drawTextAt(p, width() / 2 + FCaptionXOffset - QFontMetrics(lfont.Font).horizontalAdvance(ttexto) / 2,
                   textTop + FCaptionYOffset, ttexto);
    }
    if (enarem) {
        p.setFont(rfont.Font);
        p.setPen(VrColor(rfont.Color));
        drawTextAt(p, FRemainXOffset, textTop + FRemainYOffset, tremain);
    }
    if (enaela) {
        p.setFont(efont.Font);
        p.setPen(VrColor(efont.Color));
        drawTextAt(p, FElapsedXOffset, textTop + FElapsedYOffset, telapsed);
    }
}

void TVrQuorAngularMeter::ClearBitmapCanvas()
{
    // an opaque meter's scale covers the whole surface: no fill beneath it
    if (Transparent() || FMeterImage.size() != size())
        TVrGraphicImageControl::ClearBitmapCanvas();
    else
        GetBitmapCanvas().setBrush(VrColor(Color()));
}

void TVrQuorAngularMeter::Paint()
{
    // a hidden control is resized without a resize event
    if (FMeterImage.size() != size() && !Loading()) BuildMeterImage();
    ClearBitmapCanvas();
    QPainter& canvas = GetBitmapCanvas();
    if (Transparent()) {
        if (FMeterKeyed.isNull()) FMeterKeyed = KeyedImage(FMeterImage, FMeterImage.rect(), VrColor(Color()).rgb());
        canvas.drawImage(0, 0, FMeterKeyed);
    } else {
        canvas.drawImage(0, 0, FMeterImage);
    }

    canvas.setRenderHint(QPainter::Antialiasing);
    const int L = FNeedleLength >= 0 ? FNeedleLength : GetRadius();
    const double a = NeedleAngle();
    const QColor needle = VrColor(FNeedleColor);
    canvas.setPen(needle);
    canvas.setBrush(needle);
    const QPointF tri[3] = {centre(Rotate(L, a)), centre(Rotate(FNeedleBaseWidth / 2, a - 90)),
                            centre(Rotate(FNeedleBaseWidth / 2, a + 90))};
    canvas.drawPolygon(tri, 3);
    // the hub does not move: a sprite of it saves two smoothed circles a paint
    const QList<int> key{int(Color2RGB(FNeedleColor)), FNeedleBaseWidth, int(Color2RGB(FCenterDotColor)),
                         FCenterDotWidth};
    const int r = std::max({FNeedleBaseWidth, FCenterDotWidth, 0}) + 2;
    if (key != FHubKey) {
        FHubKey = key;
        FHub = QImage(2 * r + 1, 2 * r + 1, QImage::Format_ARGB32_Premultiplied);
        FHub.fill(Qt::transparent);
        QPainter p(&FHub);
        p.setRenderHint(QPainter::Antialiasing);
        const QPointF c(r + 0.5, r + 0.5);  // the hub pixel's centre, as on the surface
        p.setPen(needle);
        p.setBrush(needle);
        p.drawEllipse(c, FNeedleBaseWidth, FNeedleBaseWidth);
        p.setPen(VrColor(FCenterDotColor));
        p.setBrush(VrColor(FCenterDotColor));
        p.drawEllipse(c, FCenterDotWidth, FCenterDotWidth);
    }
    canvas.drawImage(WDiv2() - r, HDiv2() - r, FHub);
    TVrGraphicImageControl::Paint();
}
