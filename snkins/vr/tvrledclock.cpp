#include "snkins/vr/tvrledclock.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "snkins/vr/vrfunctions.h"

const uint8_t charstate[11][9] = {
    {0x1E, 0x21, 0x21, 0x21, 0x21, 0x21, 0x21, 0x21, 0x1E},  // 0
    {0x01, 0x01, 0x01, 0x01, 0x00, 0x01, 0x01, 0x01, 0x01},  // 1
    {0x1E, 0x01, 0x01, 0x01, 0x1E, 0x20, 0x20, 0x20, 0x1E},  // 2
    {0x1E, 0x01, 0x01, 0x01, 0x1E, 0x01, 0x01, 0x01, 0x1E},  // 3
    {0x21, 0x21, 0x21, 0x21, 0x1E, 0x01, 0x01, 0x01, 0x01},  // 4
    {0x1E, 0x20, 0x20, 0x20, 0x1E, 0x01, 0x01, 0x01, 0x1E},  // 5
    {0x1E, 0x20, 0x20, 0x20, 0x1E, 0x21, 0x21, 0x21, 0x1E},  // 6
    {0x1E, 0x01, 0x01, 0x01, 0x00, 0x01, 0x01, 0x01, 0x01},  // 7
    {0x1E, 0x21, 0x21, 0x21, 0x1E, 0x21, 0x21, 0x21, 0x1E},  // 8
    {0x1E, 0x21, 0x21, 0x21, 0x1E, 0x01, 0x01, 0x01, 0x1E},  // 9
    {0x00, 0x00, 0x00, 0x04, 0x04, 0x00, 0x00, 0x00, 0x00},  // :
};

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

int nearest(double v) { return int(std::nearbyint(v)); }

}  // namespace

TVrLedClock::TVrLedClock(QWidget* parent, TimeSource source)
    : TVrGraphicImageControl(parent), FSource(std::move(source)), FTimer(new TVrTimer(this))
{
    if (!FSource) FSource = [] { return QDateTime::currentDateTime(); };
    SetColor(clBlack);
    resize(200, 200);
    FTimer->SetEnabled(false);
    connect(FTimer, &TVrTimer::OnTimer, this, &TVrLedClock::OnTimerEvent);
    OnTimerEvent();
}

void TVrLedClock::SetActive(bool Value)
{
    if (FActive == Value) return;
    FActive = Value;
    FTimer->SetEnabled(Value);
}

void TVrLedClock::Loaded()
{
    TVrGraphicImageControl::Loaded();
    if (FActive) OnTimerEvent();
}

void TVrLedClock::OnTimerEvent()
{
    const int oldHours = FHours, oldMinutes = FMinutes, oldSeconds = FSeconds;
    const QDateTime now = FSource();
    const QTime t = now.time();
    FHours = uint8_t(t.hour());
    FMinutes = uint8_t(t.minute());
    FSeconds = uint8_t(t.second());
    const QTime alarm = FAlarmTime.time();
    const bool due = FEnableAlarm && FAlarmTime.date() == now.date() && alarm.hour() == FHours &&
                     alarm.minute() == FMinutes && alarm.second() == FSeconds;
    if ((FSecondsIndicator && FSeconds != oldSeconds) || FMinutes != oldMinutes) UpdateControlCanvas();
    if (FHours != oldHours) HoursChanged();
    if (FMinutes != oldMinutes) MinutesChanged();
    if (FSeconds != oldSeconds) SecondsChanged();
    if (due) emit OnAlarm(this);
}

void TVrLedClock::SetHours(uint8_t Value)
{
    FHours = Value;
    UpdateControlCanvas();
}

void TVrLedClock::SetMinutes(uint8_t Value) { SetAndRepaint(FMinutes, Value); }
void TVrLedClock::SetSeconds(uint8_t Value) { SetAndRepaint(FSeconds, Value); }

void TVrLedClock::SetTime(const QDateTime& Value)
{
    FTime = Value;
    const QTime t = Value.time();
    SetHours(uint8_t(t.hour()));
    SetMinutes(uint8_t(t.minute()));
    SetSeconds(uint8_t(t.second()));
}

void TVrLedClock::SetBackground(const QImage& Value)
{
    FBackground = Value;
    UpdateControlCanvas();
}

void TVrLedClock::SetTickWidth(int Value)
{
    if (Value <= 0) return;
    SetAndRepaint(FTickWidth, Value);
}

QString TVrLedClock::TimeText() const
{
    const int h = FHourFormat == hfmt12h && FHours > 12 ? FHours - 12 : FHours;
    return QStringLiteral("%1:%2").arg(h, 2, 10, QLatin1Char('0')).arg(int(FMinutes), 2, 10, QLatin1Char('0'));
}

int TVrLedClock::Slide(int offset) const
{
    const double v = std::tan(FTextAngle * std::numbers::pi / 180.0) * offset;
    if (!std::isfinite(v) || std::fabs(v) > std::numeric_limits<int>::max()) return 0;
    return nearest(v);
}

void TVrLedClock::PaintLed(QPainter& canvas, int x, int y, QChar c)
{
    const int index = c == QLatin1Char(':') ? 10 : c.unicode() - '0';
    if (index < 0 || index > 10) return;
    const int s = FLedSize;
    for (int i = 0; i < 9; ++i) {
        const int d = Slide(s * i);
        const uint8_t row = charstate[index][i];
        for (int j = 0; j < 6; ++j)
            if (row & (1 << j)) canvas.drawEllipse(QRectF(x - s - j * (s + 1) - d, y + i * (s + 1), s + 1, s));
    }
}

void TVrLedClock::DrawLeds(QPainter& canvas)
{
    const int W = 5 * FLedSize + 5, H = 8 * (FLedSize + 1);
    const QString text = TimeText();
    int x = (width() - (W + FSpacing - 1) * 5) / 2 + W + FTextOffsetX;
    const int y = (height() - H) / 2 + FTextOffsetY;
    canvas.setBrush(VrColor(FHoursColor));
    canvas.setPen(QPen(VrColor(FHoursOutline), 1));
    for (int k = 0; k < text.size(); ++k) {
        const bool colon = text[k] == QLatin1Char(':');
        PaintLed(canvas, colon ? x + W / 2 - FLedSize : x, y, text[k]);
        x += k + 1 < text.size() && text[k + 1] == QLatin1Char(':') ? W / 2 : FSpacing + W;
    }
}

void TVrLedClock::Paint()
{
    ClearBitmapCanvas();
    QPainter& canvas = GetBitmapCanvas();
    if (!FBackground.isNull())
        DrawBitmap(canvas, rect(), FBackground, Color(), Transparent(), BitmapRect(FBackground));
    canvas.setRenderHint(QPainter::Antialiasing);
    const int cx = width() / 2, cy = height() / 2;
    const int R = std::min(cx, cy) - 10 - 2 * (2 * FSecWidth + FTickWidth);
    if (FHourMarks) {
        canvas.setPen(QPen(VrColor(FTickOutline), 1));
        canvas.setBrush(VrColor(FTickColor));
        for (int i = 0; i < 12; ++i) {
            const double a = (i + 9) * kTwoPi / 12;
            canvas.drawEllipse(QPointF(cx - nearest(R * std::cos(a)), cy - nearest(R * std::sin(a))), FTickWidth,
                               FTickWidth);
        }
    }
    DrawLeds(canvas);
    if (FSecondsIndicator) {
        canvas.setPen(QPen(VrColor(FSecOutline), 1));
        canvas.setBrush(VrColor(FSecHandColor));
        const int r = R - 2 * FSecWidth - FTickWidth;
        for (int i = 0; i <= FSeconds; ++i) {
            const double a = (i + 15) * kTwoPi / 60;
            canvas.drawEllipse(QPointF(cx - nearest(r * std::cos(a)), cy - nearest(r * std::sin(a))), FSecWidth,
                               FSecWidth);
        }
    }
    TVrGraphicImageControl::Paint();
}
