// The kit's bar gauge: a bevelled well filled from the left (horizontal) or from the bottom
// (vertical) in proportion to Position, as a row of blocks or one smooth bar. The fill is a
// gradient from StartColor (the empty end) to EndColor, a tiled picture or the highlight
// colour, drawn once per size or colour into BarImage and copied from there on every paint.
#pragma once

#include <QImage>
#include <QRect>

#include "snkins/vr/tvrbevel.h"
#include "snkins/vr/tvrgraphicimagecontrol.h"

enum TVrProgressBarFill { pfPlain, pfGradient, pfBitmap };

class TVrProgressBar : public TVrGraphicImageControl {
    Q_OBJECT
public:
    explicit TVrProgressBar(QWidget* parent = nullptr);

    int MinValue() const { return FMinValue; }
    int MaxValue() const { return FMaxValue; }
    int Position() const { return FPosition; }
    // Clamped to the range; a change repaints and fires OnChange.
    void SetPosition(int Value);
    // Ignored when not below MaxValue (SetMaxValue: not above MinValue).
    void SetMinValue(int Value);
    void SetMaxValue(int Value);
    void StepIt() { StepBy(FStep); }
    void StepBy(int Delta);
    int Step() const { return FStep; }
    void SetStep(int Value) { FStep = Value; }

    TVrProgressBarFill FillType() const { return FFillType; }
    void SetFillType(TVrProgressBarFill Value);
    TColor StartColor() const { return FStartColor; }
    void SetStartColor(TColor Value);
    TColor EndColor() const { return FEndColor; }
    void SetEndColor(TColor Value);
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool Value) { SetAndRepaint(FSmooth, Value); }
    TVrOrientation Orientation() const { return FOrientation; }
    // Swaps the control's width and height, keeping its top-left corner (not while loading).
    void SetOrientation(TVrOrientation Value);
    TVrBevel* Bevel() const { return FBevel; }
    void SetBevel(const TVrBevel& Value) { FBevel->Assign(Value); }
    const QImage& Bitmap() const { return FBitmap; }
    void SetBitmap(const QImage& Value);

    int GetPercentDone() const;
    // The client rectangle less the bevel, as the last paint found it.
    QRect ViewPort() const { return FViewPort; }

signals:
    void OnChange(QObject* Sender);

protected:
    virtual void Changed() { emit OnChange(this); }
    void Paint() override;
    void changeEvent(QEvent* event) override;

private:
    void CreateBarImage(const QRect& viewPort);
    void DrawHori();
    void DrawVert();

    TVrBevel* FBevel;  // owned (child object)
    int FMinValue = 0, FMaxValue = 100, FPosition = 100;
    TVrProgressBarFill FFillType = pfGradient;
    TColor FStartColor = clNavy, FEndColor = clAqua;
    bool FSmooth = false;
    TVrOrientation FOrientation = voHorizontal;
    int FStep = 10;
    QImage FBitmap;
    QRect FViewPort;
    QImage BarImage;
    bool UpdateBarImage = true;
};
