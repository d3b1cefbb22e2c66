#include "snkins/vr/tvrpalette.h"

#include "snkins/vr/vrfunctions.h"

void TVrPalette::Assign(const TVrPalette& Source)
{
    if (&Source == this) return;
    BeginUpdate();
    SetLow(Source.FLow);
    SetHigh(Source.FHigh);
    EndUpdate();
}

void TVrPalette::SetLow(TColor v)
{
    if (FLow == v) return;
    FLow = v;
    Changed();
}

void TVrPalette::SetHigh(TColor v)
{
    if (FHigh == v) return;
    FHigh = v;
    Changed();
}

void TVrPalette::ToBMP(QImage& Bitmap, TColor DarkColor, TColor LightColor) const
{
    if (Bitmap.isNull()) return;
    const QImage::Format keep = Bitmap.format() == QImage::Format_ARGB32_Premultiplied ||
                                        Bitmap.format() == QImage::Format_ARGB32
                                    ? Bitmap.format()
                                    : QImage::Format_RGB32;
    QImage img = Bitmap.convertToFormat(keep);
    const QRgb dark = VrColor(DarkColor).rgb() & 0xFFFFFF, light = VrColor(LightColor).rgb() & 0xFFFFFF;
    const QRgb low = VrColor(FLow).rgb(), high = VrColor(FHigh).rgb();
    for (int y = 0; y < img.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            if (qAlpha(line[x]) != 255) continue;
            const QRgb c = line[x] & 0xFFFFFF;
            if (c == light)  // High is painted last, over Low
                line[x] = high;
            else if (c == dark)
                line[x] = low;
        }
    }
    Bitmap = img;
}
