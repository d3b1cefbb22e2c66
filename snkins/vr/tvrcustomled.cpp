#include "snkins/vr/tvrcustomled.h"

#include <QEvent>

#include "snkins/vr/vrfunctions.h"

const char* const LedTypeName[4] = {"RND", "RECT", "BIG", ""};

TVrCustomLed::TVrCustomLed(QWidget* parent) : TVrGraphicImageControl(parent), FPalette(new TVrPalette(this))
{
    SetColor(clBlack);
    KitFont white = Font();
    white.Color = clWhite;
    SetFont(white);
    resize(25, 25);
    FPalette->BeginUpdate();
    FPalette->SetLow(clMaroon);
    FPalette->SetHigh(clRed);
    FPalette->EndUpdate();
    connect(FPalette, &TVrPersistent::OnChange, this, &TVrCustomLed::PaletteModified);
    LoadBitmaps();
}

void TVrCustomLed::PaletteModified()
{
    LoadBitmaps();
    UpdateControlCanvas();
}

void TVrCustomLed::LoadBitmaps()
{
    if (FLedType == ltCustom) {
        FBitmap = FGlyphs;
        return;
    }
    FBitmap = QImage(QStringLiteral(":/kit/LI_") + QLatin1String(LedTypeName[FLedType]));
    FPalette->ToBMP(FBitmap, clMaroon, clRed);
}

void TVrCustomLed::SetActive(bool Value)
{
    if (FActive == Value) return;
    FActive = Value;
    UpdateControlCanvas();
    Changed();
}

void TVrCustomLed::SetLedType(TVrLedType Value)
{
    if (FLedType == Value) return;
    FLedType = Value;
    LoadBitmaps();
    UpdateControlCanvas();
}

void TVrCustomLed::SetGlyphs(const QImage& Value)
{
    FGlyphs = Value;
    LoadBitmaps();
    UpdateControlCanvas();
}

void TVrCustomLed::changeEvent(QEvent* event)
{
    TVrGraphicImageControl::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) PaletteModified();
}

void TVrCustomLed::CalcPaintParams()
{
    const QSize glyph(FBitmap.width() / 2, FBitmap.height());
    QPoint at;
    CalcImageTextLayout(Font().Font, rect(), QPoint(0, 0), Caption(), cfImageTextLayout[FLayout], FMargin,
                        FSpacing, glyph, at, FTextBounds);
    FImageRect = QRect(at, glyph);
}

void TVrCustomLed::Paint()
{
    ClearBitmapCanvas();
    QPainter& canvas = GetBitmapCanvas();
    CalcPaintParams();
    if (!FBitmap.isNull() && FImageRect.width() > 0) {
        const QRect frame(FActive ? FImageRect.width() : 0, 0, FImageRect.width(), FImageRect.height());
        const TColor key = FLedType == ltCustom ? Color() : clBlack;
        DrawBitmap(canvas, FImageRect, FBitmap, key, true, frame);
    }
    if (!Caption().isEmpty()) {
        canvas.setFont(Font().Font);
        canvas.setPen(VrColor(Font().Color));
        canvas.drawText(FTextBounds, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, Caption());
    }
    TVrGraphicImageControl::Paint();
}
