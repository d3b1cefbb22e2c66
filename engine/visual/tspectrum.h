// The bar drawer of the spectrum view: one frame of FFT magnitudes as bars (or lines) with
// falling bars and falling peak marks, drawn into its own buffer and copied onto a canvas.
// Deck A's drawer is TSpectrum, deck B's TSpectrum2: the same class.
#pragma once

#include <array>

#include "engine/dib/tdibultra.h"

// One FFT frame: 513 magnitudes of a 1024-point FFT.
using TFFTData = std::array<float, 513>;

class TSpectrum {
public:
    static constexpr int kBars = 129;

    // Buffer and background of that size; the defaults below.
    TSpectrum(int Width, int Height);

    // UseBkg := Active, and `graphic` drawn into BackBmp at (0, 0) at its own size.
    void SetBackGround(bool Active, DibCanvas& graphic);
    // One frame into VisBuff at (X, Y), then VisBuff copied onto DC at (0, 0).
    void Draw(DibCanvas& DC, const TFFTData& FFTData, int X, int Y);

    TDIBUltra VisBuff;
    TDIBUltra BackBmp;
    TColor BkgColor = 0;
    int SpecHeight = 100;         // bar height limit, pixels
    TColor PenColor = 0xFFFFFF;
    TColor PeakColor = 0x00FFFF;
    int DrawType = 0;             // 0 lines, 1 bars
    int DrawRes = 1;              // bar i shows bin i * DrawRes
    bool FrmClear = true;
    bool UseBkg = false;
    int PeakFall = 1;             // per frame
    int LineFall = 3;             // per frame
    int ColWidth = 5;
    bool ShowPeak = true;
    std::array<int, kBars> FFTPeacks{};
    std::array<int, kBars> FFTFallOff{};
};

using TSpectrum2 = TSpectrum;
