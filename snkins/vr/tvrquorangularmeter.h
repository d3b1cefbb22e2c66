// The analogue needle meter of each deck: a round scale with up to three coloured zones, ticks
// and number labels, a needle at the current value, a caption of several lines under the hub
// ("|" breaks a line), a mode text and the remaining and elapsed time texts.
//
// Peaks come in through SetPico: a higher peak throws the needle up at once; while the fall
// timer runs (timer_enabled) the needle drops by 500 every 25 ms. The scale is drawn once into
// an image and rebuilt only when something on it changes; a needle move repaints from it.
//
// Angles are degrees clockwise from straight up; the scale starts at Angle + 180 and sweeps
// AngleOffset degrees.
#pragma once

#include <QImage>
#include <QPoint>
#include <QTimer>

#include "snkins/vr/kitfont.h"
#include "snkins/vr/tvrgraphicimagecontrol.h"

class TVrQuorAngularMeter : public TVrGraphicImageControl {
    Q_OBJECT
public:
    explicit TVrQuorAngularMeter(QWidget* parent = nullptr);

    double MinValue() const { return FMinValue; }
    double MaxValue() const { return FMaxValue; }
    double Position() const { return FPosition; }
    // Clamped to MinValue..MaxValue, stored, repainted; OnChange fires on every call.
    void SetPosition(double Value);
    // Outside loading, a minimum above MaxValue (or a maximum below MinValue) throws
    // EVrException "Value out of range." and the old value stays.
    void SetMinValue(double Value);
    void SetMaxValue(double Value);

    // The peak input: a value above Position moves the needle there at once.
    void SetPico(int Value);
    int pico() const { return newpico; }
    bool timer_enabled() const { return ttimerena; }
    void settimerenabled(bool Value);

    TVrWordInt Decimals() const { return FDecimals; }
    void SetDecimals(TVrWordInt Value) { setScale(FDecimals, Value); }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value) { setScale(FSpacing, Value); }
    TVrWordInt Ticks() const { return FTicks; }
    void SetTicks(TVrWordInt Value) { setScale(FTicks, Value); }
    int TicksMin() const { return FTicksMin; }
    void SetTicksMin(int Value) { setScale(FTicksMin, Value); }
    int TicksMax() const { return FTicksMax; }
    void SetTicksMax(int Value) { setScale(FTicksMax, Value); }
    TVrWordInt TicksEnlarge() const { return FTicksEnlarge; }
    void SetTicksEnlarge(TVrWordInt Value) { setScale(FTicksEnlarge, Value); }
    TColor TicksColor() const { return FTicksColor; }
    void SetTicksColor(TColor Value) { setScale(FTicksColor, Value); }
    // Index 1..3; redraws the scale even when the colour is unchanged.
    TColor ColorZone(int Index) const;
    void SetColorZone(int Index, TColor Value);
    TVrPercentInt Percent1() const { return FPercent1; }
    TVrPercentInt Percent2() const { return FPercent2; }
    // Outside loading, cut so that Percent1 + Percent2 stays within 100.
    void SetPercent1(TVrPercentInt Value);
    void SetPercent2(TVrPercentInt Value);
    int Labels() const { return FLabels; }
    void SetLabels(int Value) { setScale(FLabels, Value); }
    int LabelsOffset() const { return FLabelsOffset; }
    void SetLabelsOffset(int Value) { setScale(FLabelsOffset, Value); }
    const KitFont& LabelsFont() const { return FLabelsFont; }
    void SetLabelsFont(const KitFont& Value) { setScale(FLabelsFont, Value); }
    int Angle() const { return FAngle; }
    void SetAngle(int Value) { setScale(FAngle, Value); }
    TVrDegrees AngleOffset() const { return FAngleOffset; }
    void SetAngleOffset(TVrDegrees Value) { setScale(FAngleOffset, Value); }
    int Radius() const { return FRadius; }
    void SetRadius(int Value) { setScale(FRadius, Value); }
    int CaptionXOffset() const { return FCaptionXOffset; }
    void SetCaptionXOffset(int Value) { setScale(FCaptionXOffset, Value); }
    int CaptionYOffset() const { return FCaptionYOffset; }
    void SetCaptionYOffset(int Value) { setScale(FCaptionYOffset, Value); }
    int RemainXOffset() const { return FRemainXOffset; }
    void SetRemainXOffset(int Value) { setScale(FRemainXOffset, Value); }
    int RemainYOffset() const { return FRemainYOffset; }
    void SetRemainYOffset(int Value) { setScale(FRemainYOffset, Value); }
    int ElapsedXOffset() const { return FElapsedXOffset; }
    void SetElapsedXOffset(int Value) { setScale(FElapsedXOffset, Value); }
    int ElapsedYOffset() const { return FElapsedYOffset; }
    void SetElapsedYOffset(int Value) { setScale(FElapsedYOffset, Value); }

    // The needle: these repaint without rebuilding the scale.
    int NeedleLength() const { return FNeedleLength; }
    void SetNeedleLength(int Value) { SetAndRepaint(FNeedleLength, Value); }
    int NeedleBaseWidth() const { return FNeedleBaseWidth; }
    void SetNeedleBaseWidth(int Value) { SetAndRepaint(FNeedleBaseWidth, Value); }
    TColor NeedleColor() const { return FNeedleColor; }
    void SetNeedleColor(TColor Value) { SetAndRepaint(FNeedleColor, Value); }
    TColor CenterDotColor() const { return FCenterDotColor; }
    void SetCenterDotColor(TColor Value) { SetAndRepaint(FCenterDotColor, Value); }
    int CenterDotWidth() const { return FCenterDotWidth; }
    void SetCenterDotWidth(int Value) { SetAndRepaint(FCenterDotWidth, Value); }

    // The mode, remaining and elapsed texts and their fonts: every call rebuilds the scale.
    const QString& texto_modo() const { return ttexto; }
    void setmodo(const QString& Value) { restyle(ttexto, Value); }
    const QString& texto_remain() const { return tremain; }
    void setremain(const QString& Value) { restyle(tremain, Value); }
    const QString& texto_elapsed() const { return telapsed; }
    void setelapsed(const QString& Value) { restyle(telapsed, Value); }
    const KitFont& fontmode() const { return lfont; }
    void setfontmode(const KitFont& Value) { restyle(lfont, Value); }
    const KitFont& fontremain() const { return rfont; }
    void setfontremain(const KitFont& Value) { restyle(rfont, Value); }
    const KitFont& fontelapsed() const { return efont; }
    void setfontelapsed(const KitFont& Value) { restyle(efont, Value); }
    // Plain fields: a change shows at the next scale rebuild.
    bool enable_modo() const { return enamodo; }
    void Setenable_modo(bool Value) { enamodo = Value; }
    bool enable_remain() const { return enarem; }
    void Setenable_remain(bool Value) { enarem = Value; }
    bool enable_elapsed() const { return enaela; }
    void Setenable_elapsed(bool Value) { enaela = Value; }
    // Stored only; nothing reads them.
    int caida() const { return fcaida; }
    void Setcaida(int Value) { fcaida = Value; }
    int umbral() const { return fumbral; }
    void Setumbral(int Value) { fumbral = Value; }

    void Loaded() override;

    // Geometry of the scale.
    int MeterWidth() const { return FRadius < 0 ? width() : 2 * FRadius; }
    int MeterHeight() const { return FRadius < 0 ? height() : 2 * FRadius; }
    int WDiv2() const { return MeterWidth() / 2; }
    int HDiv2() const { return MeterHeight() / 2; }
    int GetRadius() const;
    // The angle at which the needle points for the current position (the scale start when
    // MaxValue equals MinValue).
    double NeedleAngle() const;
    // The point at angle a (degrees) and distance r from the hub.
    QPoint Rotate(double r, double a) const;

public slots:
    // One step of the fall timer.
    void OnChangeTimer();

signals:
    void OnChange(QObject* Sender);

protected:
    virtual void Changed() { emit OnChange(this); }
    void Paint() override;
    void ClearBitmapCanvas() override;
    void TextChanged() override;
    void FontChanged() override;
    void ColorChanged() override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    template <typename T>
    void setScale(T& field, const T& value)
    {
        if (field == value) return;
        restyle(field, value);
    }
    // stores without comparing and rebuilds the scale
    template <typename T>
    void restyle(T& field, const T& value)
    {
        field = value;
        DrawMeterImage();
    }
    // Rebuilds the scale image and repaints; skipped while loading.
    void DrawMeterImage();
    void BuildMeterImage();

    double FMinValue = 0, FMaxValue = 100, FPosition = 0;
    TVrWordInt FDecimals = 2;
    int FSpacing = 45;
    TVrWordInt FTicks = 100;
    int FTicksMin = 5, FTicksMax = 14;
    TVrWordInt FTicksEnlarge = 10;
    TColor FTicksColor = clWhite;
    TColor FColorZone1 = clGreen, FColorZone2 = clBlue, FColorZone3 = clRed;
    TVrPercentInt FPercent1 = 60, FPercent2 = 25;
    int FLabels = 10, FLabelsOffset = 30;
    KitFont FLabelsFont;
    int FAngle = 40;
    TVrDegrees FAngleOffset = 280;
    int FRadius = -1, FNeedleLength = -1, FNeedleBaseWidth = 8;
    TColor FNeedleColor = clRed, FCenterDotColor = clWhite;
    int FCenterDotWidth = 2;
    int FCaptionXOffset = 0, FCaptionYOffset = 0, FRemainXOffset = 0, FRemainYOffset = 0;
    int FElapsedXOffset = 0, FElapsedYOffset = 0;
    QString ttexto, tremain, telapsed;
    KitFont lfont, rfont, efont;
    bool enamodo = false, enarem = false, enaela = false;
    int newpico = 0;
    bool ttimerena = false;
    int fcaida = 0, fumbral = 0;
    QImage FMeterImage;
    QImage FMeterKeyed;  // the scale with every pixel of Color see-through, for Transparent
    QImage FHub;         // the needle's hub and centre dot, drawn once for their colours and widths
    QList<int> FHubKey;  // what FHub was drawn for
    QTimer FChangeTimer;
};
