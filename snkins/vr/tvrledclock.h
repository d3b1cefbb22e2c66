// A round wall clock of LED dots: twelve hour marks on a ring, a ring of second dots growing
// clockwise from twelve o'clock up to the current second, and the hours and minutes in a slanted
// dot-matrix font in the middle. It reads the time from its time source on every tick of its
// own timer (thread mode, once a second) while Active.
#pragma once

#include <QDateTime>
#include <QImage>
#include <cstdint>
#include <functional>

#include "snkins/vr/tvrgraphicimagecontrol.h"
#include "snkins/vr/tvrtimer.h"

enum TVrHourFormat { hfmt24h, hfmt12h };

// The dot-matrix font: 9 row bytes for each of "0".."9" and ":", top row first; bit j lights
// column j counted from the right.
extern const uint8_t charstate[11][9];

class TVrLedClock : public TVrGraphicImageControl {
    Q_OBJECT
public:
    using TimeSource = std::function<QDateTime()>;

    // Without a source the clock reads the system clock. Takes the time once.
    explicit TVrLedClock(QWidget* parent = nullptr, TimeSource source = {});

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    bool Threaded() const { return FTimer->TimerType() == ttThread; }
    void SetThreaded(bool Value) { FTimer->SetTimerType(Value ? ttThread : ttSystem); }

    int Hours() const { return FHours; }
    int Minutes() const { return FMinutes; }
    int Seconds() const { return FSeconds; }
    // SetHours repaints always; the others only on change.
    void SetHours(uint8_t Value);
    void SetMinutes(uint8_t Value);
    void SetSeconds(uint8_t Value);
    const QDateTime& Time() const { return FTime; }
    void SetTime(const QDateTime& Value);
    const QDateTime& AlarmTime() const { return FAlarmTime; }
    void SetAlarmTime(const QDateTime& Value) { FAlarmTime = Value; }
    bool EnableAlarm() const { return FEnableAlarm; }
    void SetEnableAlarm(bool Value) { FEnableAlarm = Value; }

    bool SecondsIndicator() const { return FSecondsIndicator; }
    void SetSecondsIndicator(bool Value) { SetAndRepaint(FSecondsIndicator, Value); }
    bool HourMarks() const { return FHourMarks; }
    void SetHourMarks(bool Value) { SetAndRepaint(FHourMarks, Value); }
    const QImage& Background() const { return FBackground; }
    void SetBackground(const QImage& Value);
    TColor HoursColor() const { return FHoursColor; }
    void SetHoursColor(TColor Value) { SetAndRepaint(FHoursColor, Value); }
    TColor HoursOutline() const { return FHoursOutline; }
    void SetHoursOutline(TColor Value) { SetAndRepaint(FHoursOutline, Value); }
    TColor SecHandColor() const { return FSecHandColor; }
    void SetSecHandColor(TColor Value) { SetAndRepaint(FSecHandColor, Value); }
    TColor SecOutline() const { return FSecOutline; }
    void SetSecOutline(TColor Value) { SetAndRepaint(FSecOutline, Value); }
    TColor TickColor() const { return FTickColor; }
    void SetTickColor(TColor Value) { SetAndRepaint(FTickColor, Value); }
    TColor TickOutline() const { return FTickOutline; }
    void SetTickOutline(TColor Value) { SetAndRepaint(FTickOutline, Value); }
    int TickWidth() const { return FTickWidth; }
    // Values of 0 and below are ignored.
    void SetTickWidth(int Value);
    int SecWidth() const { return FSecWidth; }
    void SetSecWidth(int Value) { SetAndRepaint(FSecWidth, Value); }
    int LedSize() const { return FLedSize; }
    void SetLedSize(int Value) { SetAndRepaint(FLedSize, Value); }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value) { SetAndRepaint(FSpacing, Value); }
    int TextOffsetX() const { return FTextOffsetX; }
    void SetTextOffsetX(int Value) { SetAndRepaint(FTextOffsetX, Value); }
    int TextOffsetY() const { return FTextOffsetY; }
    void SetTextOffsetY(int Value) { SetAndRepaint(FTextOffsetY, Value); }
    int TextAngle() const { return FTextAngle; }
    void SetTextAngle(int Value) { SetAndRepaint(FTextAngle, Value); }
    TVrHourFormat HourFormat() const { return FHourFormat; }
    void SetHourFormat(TVrHourFormat Value) { SetAndRepaint(FHourFormat, Value); }

    // The five characters the digits show ("09:05").
    QString TimeText() const;
    // How far row `row` of a digit moves left: nearest(tan(TextAngle) × LedSize × row), 0 when
    // the tangent is unusable.
    int Slide(int offset) const;
    void Loaded() override;

public slots:
    // One tick: takes the time, repaints when the shown time changed, fires the change events
    // and the alarm.
    void OnTimerEvent();

signals:
    void OnAlarm(QObject* Sender);
    void OnHoursChanged(QObject* Sender, int Hours);
    void OnMinutesChanged(QObject* Sender, int Minutes);
    void OnSecondsChanged(QObject* Sender, int Seconds);

protected:
    virtual void HoursChanged() { emit OnHoursChanged(this, FHours); }
    virtual void MinutesChanged() { emit OnMinutesChanged(this, FMinutes); }
    virtual void SecondsChanged() { emit OnSecondsChanged(this, FSeconds); }
    void Paint() override;

private:
    void DrawLeds(QPainter& canvas);
    void PaintLed(QPainter& canvas, int x, int y, QChar c);

    TimeSource FSource;
    bool FActive = false, FSecondsIndicator = true, FHourMarks = true;
    uint8_t FHours = 0, FMinutes = 0, FSeconds = 0;
    QImage FBackground;
    TColor FHoursColor = clRed, FHoursOutline = clRed, FSecHandColor = clRed, FSecOutline = clRed;
    TColor FTickColor = clRed, FTickOutline = clRed;
    int FTickWidth = 2, FSecWidth = 2, FLedSize = 3, FSpacing = 8;
    int FTextOffsetX = 0, FTextOffsetY = 0, FTextAngle = 10;
    TVrHourFormat FHourFormat = hfmt24h;
    QDateTime FAlarmTime, FTime;
    bool FEnableAlarm = false;
    TVrTimer* FTimer;  // owned (child object)
};
