// The spectrum view's bar drawer.
#include "engine/visual/tspectrum.h"

#include <algorithm>
#include <cmath>

TSpectrum::TSpectrum(int Width, int Height)
    : VisBuff(std::max(Width, 1), std::max(Height, 1), DUpf24), BackBmp(std::max(Width, 1), std::max(Height, 1), DUpf24)
{
}

void TSpectrum::SetBackGround(bool Active, DibCanvas& graphic)
{
    UseBkg = Active;
    BackBmp.Cnv.BitBlt(0, 0, graphic.Width(), graphic.Height(), graphic, 0, 0);
}

void TSpectrum::Draw(DibCanvas& DC, const TFFTData& FFTData, int X, int Y)
{
    DibCanvas& c = VisBuff.Cnv;
    const int W = VisBuff.DIBWidth, H = VisBuff.DIBHeight;
    if (FrmClear) {
        c.BrushColor = BkgColor;
        c.FillRect({0, 0, W, H});
        if (UseBkg) c.BitBlt(0, 0, W, H, BackBmp.Cnv, 0, 0);
    }
    c.PenColor = PenColor;
    const int bottom = Y + H;
    for (int i = 0; i < kBars; ++i) {
        const int64_t bin = int64_t(i) * DrawRes;
        // a bin beyond the frame (a large DrawRes) reads as silence
        const float m = bin >= 0 && bin < int64_t(FFTData.size()) ? std::fabs(FFTData[size_t(bin)]) : 0.0f;
        const double scaled = double(m) * 500.0;  // NaN reads as 0
        const int v = scaled >= SpecHeight ? SpecHeight : scaled > 0 ? int(scaled) : 0;

        int& peak = FFTPeacks[size_t(i)];
        int& bar = FFTFallOff[size_t(i)];
        peak = v < peak ? peak - PeakFall : v;
        bar = v < bar ? bar - LineFall : v;
        peak = std::max(peak, 0);
        bar = std::max(bar, 0);

        if (DrawType == 0) {
            c.PenColor = PenColor;
            c.MoveTo(X + i, bottom);
            c.LineTo(X + i, bottom - bar);
            if (ShowPeak) c.SetPixel(X + i, bottom - peak, PenColor);
        } else if (DrawType == 1) {
            const int x0 = X + (ColWidth + 1) * i;
            if (ShowPeak) {
                c.PenColor = PeakColor;
                c.MoveTo(x0, bottom - peak);
                c.LineTo(x0 + ColWidth, bottom - peak);
            }
            c.BrushColor = PenColor;
            c.FillRect({x0, bottom - bar, x0 + ColWidth, bottom});
        }
    }
    DC.BitBlt(0, 0, W, H, c, 0, 0);
}
