// A two-state lamp drawn from a two-frame picture (left unlit, right lit), with an optional
// caption beside, above or below it. The three built-in lamps are the kit's pictures
// ":/kit/LI_RND", ":/kit/LI_RECT" and ":/kit/LI_BIG", recoloured into the LED's palette
// (their maroon pixels take Palette.Low, their red ones Palette.High); black around the lamp is
// left out. ltCustom shows Glyphs as they are, leaving out pixels of Color.
#pragma once

#include <QImage>
#include <QRect>
#include <QVector>

#include "snkins/vr/tvrgraphicimagecontrol.h"
#include "snkins/vr/tvrpalette.h"

enum TVrLedType { ltRounded, ltRectangle, ltLargeRect, ltCustom };

// The resource name parts of the lamp types ("" for ltCustom).
extern const char* const LedTypeName[4];

class TVrCustomLed : public TVrGraphicImageControl {
    Q_OBJECT
public:
    explicit TVrCustomLed(QWidget* parent = nullptr);

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    TVrLedType LedType() const { return FLedType; }
    void SetLedType(TVrLedType Value);
    TVrPalette* Palette() const { return FPalette; }
    void SetPalette(const TVrPalette& Value) { FPalette->Assign(Value); }
    const QImage& Glyphs() const { return FGlyphs; }
    void SetGlyphs(const QImage& Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value) { SetAndRepaint(FSpacing, Value); }
    int Margin() const { return FMargin; }
    void SetMargin(int Value) { SetAndRepaint(FMargin, Value); }
    TVrImageTextLayout Layout() const { return FLayout; }
    void SetLayout(TVrImageTextLayout Value) { SetAndRepaint(FLayout, Value); }

    // The colour table of the current picture (empty for a true-colour one).
    QVector<QRgb> GetPalette() const { return FBitmap.colorTable(); }
    // The lamp and caption rectangles of the last paint.
    QRect ImageRect() const { return FImageRect; }
    QRect TextBounds() const { return FTextBounds; }

signals:
    void OnChange(QObject* Sender);

protected:
    virtual void LoadBitmaps();
    virtual void Changed() { emit OnChange(this); }
    void Paint() override;
    void TextChanged() override { UpdateControlCanvas(); }
    void changeEvent(QEvent* event) override;

private:
    void CalcPaintParams();
    void PaletteModified();

    TVrLedType FLedType = ltRounded;
    TVrPalette* FPalette;  // owned (child object)
    bool FActive = false;
    int FSpacing = 5, FMargin = -1;
    TVrImageTextLayout FLayout = ImageLeft;
    QImage FGlyphs, FBitmap;
    QRect FImageRect, FTextBounds;
};
