// An off-screen surface: pixel memory of one fixed format that our own routines write
// directly (lines, pixels, alpha blits) and that its canvas `Cnv` fills and copies.
// Rows are stored bottom-up: DIBbits is the bottom row, DIBAdr the top row, and pixel
// (x, y) with y = 0 at the top lies at DIBAdr + y * DIBWidth_b + x * bytes per pixel.
//
// A surface belongs to one thread at a time; two surfaces may be drawn from two threads
// (the line drawer's working segment is per surface).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QString>

#include "engine/dib/dibcanvas.h"
#include "engine/dib/dibtypes.h"

class QIODevice;

class TDIBUltra {
public:
    // pixels zero; Palette is copied (nil: the format's default palette)
    TDIBUltra(int Width, int Height, TDUPixelFormat PixelFormat, const T256ColorsPalette* Palette = nullptr);
    // reads a stored image or a Windows bitmap; the stream is released in every case.
    // Throws DIB_ERROR (or the LZH codec's classes) on any bad input.
    explicit TDIBUltra(std::unique_ptr<QIODevice> Stream);
    explicit TDIBUltra(const QString& FileName);
    // The stored image of the program's raw-data resource of that name or number: the bytes
    // kept as the Qt resource ":/RCDATA/NAME" (names upper-case, found in any case) or
    // ":/RCDATA/#NUMBER". All resources are the program's own: Instance is not read. A missing
    // resource fails as a missing file does.
    TDIBUltra(const void* Instance, const QString& ResName);
    TDIBUltra(const void* Instance, int ResID);
    static QString ResourcePath(const QString& ResName);
    static QString ResourcePath(int ResID);
    ~TDIBUltra();
    TDIBUltra(const TDIBUltra&) = delete;
    TDIBUltra& operator=(const TDIBUltra&) = delete;

    // ---- display and buffer
    // Dest.Right and Dest.Bottom are the width and height of the copy, not its far edges
    void DrawOn(const TRect& Dest, DibCanvas& Canvas, int XSrc, int YSrc);
    void StretchOn(const TRect& Dest, DibCanvas& Canvas);
    void TiledOn(const TRect& Dest, DibCanvas& Canvas);
    void BufferDim(int Width, int Height);
    bool BufferOf(const void* AClient);
    void BufferToUpdate();
    uint8_t* GetScanLine(int Row);  // 0 = top; nullptr outside the surface
    void SetPalette(const T256ColorsPalette* Palette);
    // Hands the pixel memory (rows bottom-up, Stride() bytes each, as it was) to the caller.
    // The surface is left unbound and empty: it draws nothing until BufferDim makes it anew.
    std::vector<uint8_t> ReleaseHandle();
    static const T256ColorsPalette& DefaultPalette(TDUPixelFormat Format);

    // ---- pen, brush, clip, lines and pixels
    void SetPenColor(TColor Color);
    void SetBrhColor(TColor Color);
    void SetPenColorIndex(uint32_t Value);
    void SetBrushColorIndex(uint32_t Value);
    uint32_t GetPenColorIndex() const;
    uint32_t GetBrushColorIndex() const;
    uint32_t GetIndexFromColor(TColor Color) const;
    TColor GetColorFromIndex(uint32_t Index) const;
    uint32_t StdIndex(TDUColor Color) const;
    void SetClipRect(const TRect& R);
    void SetWidthPen(int Value);
    void SetMode(TDUPenMode Value);
    void SetMask(uint32_t Value);
    void RotateStyle(uint8_t N);
    void PrepareStyle();
    TPoint PenPos() const { return {X, Y}; }
    void MoveTo(int AX, int AY);
    void LineTo(int AX, int AY);
    void StepTo(int DX, int DY);
    void DirectLineTo(const TLine& Line);
    void FillRect(const TRect& R);
    void ClearAll();
    void ClearClipRect();
    void Plot(int AX, int AY);
    void SetPixel(int AX, int AY, TColor Color);
    void SetPixelIndex(int AX, int AY, uint32_t Value);
    // no coordinate test: callers keep (AX, AY) on the surface
    void DirectPlot(int AX, int AY, uint32_t Value);
    uint32_t GetPixelIndex(int AX, int AY) const;
    TColor GetPixel(int AX, int AY) const;
    static bool TestPointInClipRect(int AX, int AY, const TRect& R);

    // ---- transparency and alpha
    void MakeTransparent(uint8_t ColorIndex);
    void MakeOpaque();
    void SetAlphaMask(const TDIBUltra& MaskDib, int Num, int Delay);
    void SetAlphaFile(const QString& MaskFile, int Num, int Delay);
    void NoAlpha();
    void AlphaChanelBlit(TDIBUltra& Dest, int AX, int Num, int AY);
    void AlphaBlit(TDIBUltra& Dest, int AX, int Level, int AY);

    // ---- stored image
    void SaveToStream(QIODevice& Stream, TSaveMode SavingMode, TDUPixelFormat FinalFormat);
    void SaveToFile(const QString& FileName, TSaveMode SavingMode, TDUPixelFormat FinalFormat);
    void WLZH(bool Value);
    bool RLZH() const;
    void YFlipping();

    // Where a clipping failure of the line drawer is shown (an error box in the program);
    // the default writes a warning to the log.
    static void SetClippingErrorHandler(std::function<void(const QString&)> Handler);

    // ---- fields
    int X = 0, Y = 0;  // pen position
    TRect ClpRect;     // Right and Bottom inclusive
    DibCanvas Cnv;
    bool CnvOK = false;
    const void* Client = nullptr;
    std::vector<uint8_t> Alpha;  // the whole alpha block (header and runs); empty: none
    TDIBUltraInfo DIBheader;
    TDIBUltraInfo* PDIBheader = &DIBheader;
    uint8_t* DIBbits = nullptr;  // bottom row
    uint8_t* DIBAdr = nullptr;   // top row
    uint8_t DIBTransp = 0;
    TDIBType DIBStatus = 0;
    int DIBWidth = 0, DIBHeight = 0;
    int DIBWidth_b = 0;    // row step in bytes, negative
    int DIBHalfWidth = 0;  // row step in 16-bit units, negative
    int DIBSize = 0;
    int DIBBPP = 0;
    TDUPixelFormat DIBResol = DUpf24;
    T256ColorsPalette DIBLogPal;
    int WidthPen = 1;
    TColor ColorPen = 0, ColorBrh = 0;
    uint32_t Mask = 0xFFFFFFFF;  // pen style
    TDUPenMode Mode = DUpmCOPY;
    uint32_t PcoulL = 0;
    uint16_t PcoulW = 0;
    uint8_t PcoulR = 0, PcoulV = 0, PcoulB = 0;
    uint32_t BcoulL = 0;
    uint16_t BcoulW = 0;
    uint8_t BcoulR = 0, BcoulV = 0, BcoulB = 0;
    bool ExitClip = false, ExitMask = false, ExitMode = false, ExitWidth = false;
    bool CantDraw = false;
    bool NotLast = false;  // lines leave out their last pixel

    int Stride() const { return -DIBWidth_b; }
    int BytesPerPixel() const { return DIBBPP / 8; }

private:
    struct PenValue {
        uint32_t L;
        uint16_t W;
        uint8_t R, V, B;
    };
    PenValue MakePenValue(uint32_t v) const;
    void InitState();
    void CreateBitmap(int Width, int Height, TDUPixelFormat Format);
    void UpdateCantDraw();
    void LoadFromStream(QIODevice& Stream);
    void LoadStored(const QByteArray& Data);
    void LoadWindowsBitmap(const QByteArray& Data);
    // the run data of an alpha block are whole and stay inside a Width x Height picture
    static bool AlphaBlockFits(const std::vector<uint8_t>& Block, int Width, int Height);
    void DrawSegment();  // one pixel wide, from Sg
    void DrawClipped(int X1, int Y1, int X2, int Y2, int Xinc, int Yinc);

    std::vector<uint8_t> Pixels;
    TLine Sg;  // the line drawer's working segment
    int PenteX = 1, PenteY = 1;
};
