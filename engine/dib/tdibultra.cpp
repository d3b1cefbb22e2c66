// Surface creation, palettes, buffer management and display.
#include "engine/dib/tdibultra.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/dib/dib_error.h"

namespace {

const char* const kCannotCreate = "DIB ERROR :\rCan NOT create DIB ? ? !\rImpossible de créer une image tampon ? ? !";

T256ColorsPalette MakePalette(std::initializer_list<TPaletteEntry> entries)
{
    T256ColorsPalette p;
    p.Count = uint16_t(entries.size());
    int i = 0;
    for (const auto& e : entries) p.Entries[i++] = e;
    return p;
}

const TPaletteEntry kStd16[16] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},   {0, 128, 0, 0},   {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0}, {0, 128, 128, 0}, {128, 128, 128, 0},
    {192, 192, 192, 0}, {255, 0, 0, 0},   {0, 255, 0, 0},   {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0}, {0, 255, 255, 0}, {255, 255, 255, 0}};

// 0-9 and 246-255 the usual static colours, 10-29 a grey ramp, 30-245 a 6x6x6 cube
// (so 245 is white, as StdIndex has it)
T256ColorsPalette Make256()
{
    T256ColorsPalette p;
    p.Count = 256;
    const TPaletteEntry low[10] = {{0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},   {128, 128, 0, 0},
                                   {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0}, {192, 192, 192, 0},
                                   {192, 220, 192, 0}, {166, 202, 240, 0}};
    const TPaletteEntry high[10] = {{255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0}, {255, 0, 0, 0},
                                    {0, 255, 0, 0},     {255, 255, 0, 0},   {0, 0, 255, 0},     {255, 0, 255, 0},
                                    {0, 255, 255, 0},   {255, 255, 255, 0}};
    for (int i = 0; i < 10; ++i) p.Entries[i] = low[i], p.Entries[246 + i] = high[i];
    for (int i = 0; i < 20; ++i) {
        uint8_t g = uint8_t((i + 1) * 255 / 21);
        p.Entries[10 + i] = {g, g, g, 0};
    }
    for (int i = 0; i < 216; ++i)
        p.Entries[30 + i] = {uint8_t(i / 36 * 51), uint8_t(i / 6 % 6 * 51), uint8_t(i % 6 * 51), 0};
    return p;
}

}  // namespace

const T256ColorsPalette& TDIBUltra::DefaultPalette(TDUPixelFormat Format)
{
    static const T256ColorsPalette p1 = MakePalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
    static const T256ColorsPalette p4 = [] {
        T256ColorsPalette p;
        p.Count = 16;
        std::copy(std::begin(kStd16), std::end(kStd16), p.Entries);
        return p;
    }();
    static const T256ColorsPalette p8 = Make256();
    static const T256ColorsPalette none = MakePalette({});
    switch (Format) {
    case DUpf1: return p1;
    case DUpf4: return p4;
    case DUpf8: return p8;
    default: return none;
    }
}

TDIBUltra::TDIBUltra(int Width, int Height, TDUPixelFormat PixelFormat, const T256ColorsPalette* Palette)
    : Cnv(*this)
{
    if (PixelFormat <= DUpf8 && !Palette) Palette = &DefaultPalette(PixelFormat);
    if (Palette) DIBLogPal = *Palette;
    InitState();
    CreateBitmap(Width, Height, PixelFormat);
    ClpRect = {0, 0, Width - 1, Height - 1};
    SetPenColor(0);
    SetBrhColor(0xFFFFFF);
}

TDIBUltra::~TDIBUltra()
{
    CnvOK = false;
}

void TDIBUltra::InitState()
{
    DIBStatus = DUbit(DUtLZH);
    Client = nullptr;
    Alpha.clear();
    X = Y = 0;
    WidthPen = 1;
    Mode = DUpmCOPY;
    Mask = 0xFFFFFFFF;
    ExitClip = ExitMask = ExitWidth = ExitMode = CantDraw = NotLast = false;
}

void TDIBUltra::CreateBitmap(int Width, int Height, TDUPixelFormat Format)
{
    if (Width <= 0 || Height <= 0 || Width > 65535 || Height > 65535 || Format > DUpf32)
        throw DIB_ERROR(kCannotCreate);
    DIBBPP = DUbpp[Format];
    DIBWidth = Width;
    DIBHeight = Height;
    const int64_t stride = ((int64_t(Width) * DIBBPP + 31) & ~int64_t(31)) / 8;
    const int64_t size = stride * Height;
    if (size > INT32_MAX) throw DIB_ERROR(kCannotCreate);
    DIBSize = int(size);
    DIBHalfWidth = -int(stride / 2);
    DIBWidth_b = -int(stride);
    DIBResol = Format;

    DIBheader = TDIBUltraInfo{};
    DIBheader.Width = Width;
    DIBheader.Height = Height;
    DIBheader.BitCount = uint16_t(DIBBPP);
    DIBheader.SizeImage = uint32_t(DIBSize);
    if (Format == DUpf16) {
        DIBheader.Compression = 3;
        const uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
        std::memcpy(DIBheader.Colors, masks, sizeof masks);
    } else if (Format <= DUpf8) {
        for (uint32_t i = 0; i <= DUmaxValue[Format]; ++i) DIBheader.Colors[i] = uint16_t(i);
    }

    try {
        std::vector<uint8_t> fresh(size_t(size), 0);
        Pixels.swap(fresh);
    } catch (const std::bad_alloc&) {
        throw DIB_ERROR(kCannotCreate);
    }
    DIBbits = Pixels.data();
    DIBAdr = DIBbits + int64_t(DIBHeight - 1) * stride;
    CnvOK = true;
}

void TDIBUltra::DrawOn(const TRect& Dest, DibCanvas& Canvas, int XSrc, int YSrc)
{
    if (!CnvOK) return;
    int left = Dest.Left, top = Dest.Top, w = Dest.Right, h = Dest.Bottom;
    if (XSrc < 0) left -= XSrc, w += XSrc, XSrc = 0;
    if (YSrc < 0) top -= YSrc, h += YSrc, YSrc = 0;
    Canvas.BitBlt(left, top, w, h, Cnv, XSrc, YSrc);
}

void TDIBUltra::StretchOn(const TRect& Dest, DibCanvas& Canvas)
{
    if (!CnvOK) return;
    Canvas.StretchBlt(Dest.Left, Dest.Top, Dest.Right - Dest.Left, Dest.Bottom - Dest.Top, Cnv, 0, 0,
                      DIBWidth - 1, DIBHeight - 1);
}

void TDIBUltra::TiledOn(const TRect& Dest, DibCanvas& Canvas)
{
    if (!CnvOK) return;
    const int cols = Dest.Right / DIBWidth + 1, rows = Dest.Bottom / DIBHeight + 1;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const int x = Dest.Left + c * DIBWidth, y = Dest.Top + r * DIBHeight;
            // the last row and column are cut at the far edges of Dest
            const int w = std::min(DIBWidth, Dest.Right - x), h = std::min(DIBHeight, Dest.Bottom - y);
            if (w > 0 && h > 0) DrawOn({x, y, w, h}, Canvas, 0, 0);
        }
}

void TDIBUltra::BufferDim(int Width, int Height)
{
    ClpRect = {0, 0, Width, Height};
    ExitClip = Width < 0 || Height < 0;
    UpdateCantDraw();
    if (Width > DIBWidth || Height > DIBHeight) {
        CreateBitmap(std::max(DIBWidth, Width), std::max(DIBHeight, Height), DIBResol);
        Client = nullptr;
    }
}

bool TDIBUltra::BufferOf(const void* AClient)
{
    const bool same = AClient == Client;
    Client = AClient;
    return same;
}

void TDIBUltra::BufferToUpdate()
{
    Client = nullptr;
}

uint8_t* TDIBUltra::GetScanLine(int Row)
{
    if (Row < 0 || Row >= DIBHeight) return nullptr;
    return DIBAdr + int64_t(Row) * DIBWidth_b;
}

std::vector<uint8_t> TDIBUltra::ReleaseHandle()
{
    std::vector<uint8_t> bits;
    bits.swap(Pixels);
    CnvOK = false;
    Client = nullptr;
    DIBbits = DIBAdr = nullptr;
    DIBWidth = DIBHeight = DIBSize = 0;
    DIBWidth_b = DIBHalfWidth = 0;
    ClpRect = {0, 0, -1, -1};
    ExitClip = true;
    UpdateCantDraw();
    return bits;
}

void TDIBUltra::SetPalette(const T256ColorsPalette* Palette)
{
    if (DIBResol > DUpf8 || !Palette) return;
    DIBLogPal = *Palette;
    DIBLogPal.Count = std::min<uint16_t>(Palette->Count, 256);
}
