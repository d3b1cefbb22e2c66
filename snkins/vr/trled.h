// The segmented LED level meter: a column (or row) of bars lit from the bottom (or the left) in
// proportion to Position / MaxValue; the top (or right) BreakPos percent of the bars carry
// ColorHi, the rest ColorLow, and unlit bars show a fifth of their colour. Peaks come in through
// SetPico; the fall timer lowers the level by 500 every 25 ms.
//
// A bar with no bars (BarSize 0) or no range (MaxValue 0) shows only its background; a level
// beyond a lowered MaxValue shows a full bar.
#pragma once

#include <QTimer>
#include <QWidget>

#include "snkins/vr/tvrtypes.h"

class QPainter;

enum TTrackBarOrientation { trHorizontal, trVertical };

class TRLed : public QWidget {
    Q_OBJECT
public:
    explicit TRLed(QWidget* parent = nullptr);

    int Position() const { return FPosition; }
    // A value above MaxValue is ignored; otherwise stored and shown at once.
    void SetPosition(int Value);
    // The peak input: a value above Position moves the level there.
    void SetPico(int Value);
    int pico() const { return newpico; }
    void enabletimer(bool valor);
    bool timerEnabled() const { return FChangeTimer.isActive(); }

    TColor ColorLow() const { return FColorLow; }
    void SetColorLow(TColor Value);
    TColor ColorHi() const { return FColorHi; }
    void SetColorHi(TColor Value);
    TColor BackColor() const { return FBackColor; }
    void SetBackColor(TColor Value);
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int Value);
    uint16_t BarSize() const { return FBarSize; }
    // Accepted below the control's length less 4 (vertical: only a change).
    void SetBarSize(uint16_t Value);
    uint8_t BreakPos() const { return FBreakPos; }
    // Values of 155 and above are ignored.
    void SetBreakPos(uint8_t Value);
    TTrackBarOrientation Orientation() const { return FOrientation; }
    // Swaps width and height (keeping the top-left corner) unless loading or updating.
    void SetOrientation(TTrackBarOrientation Value);

    // The host's load bracket, as for the kit's other controls.
    void BeginLoad() { FLoading = true; }
    void Loaded();
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();

    void RecalcBarCount();
    // The level as a whole percent of MaxValue, 0..100.
    int Percent() const;
    // Bars lit (L) and bars in ColorHi (K).
    int LitCount() const;
    int BreakCount() const;
    bool InPos(int i) const { return i > BarCount - LitCount(); }
    bool inHi(int i) const { return i < BreakCount(); }
    // The unlit shade of a colour: each channel divided by 5.
    static TColor BlendColor(TColor c);

    // Draws the meter into dest at (0, 0); the paint event does the same onto the screen.
    void PaintTo(QPainter& dest);
    QImage RenderImage();

    int BarCount = 0;

public slots:
    // One step of the fall timer.
    void OnChangeTimer();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Paint();

    TColor FColorLow = clLime, FColorHi = clRed, FBackColor = clBlack;
    TTrackBarOrientation FOrientation = trVertical;
    int FMaxValue = 100;
    uint16_t FBarSize = 5;
    int FPosition = 0;
    uint8_t FBreakPos = 35;
    int newpico = 0;
    bool FLoading = false;
    int FUpdateCount = 0;
    QTimer FChangeTimer;
};
