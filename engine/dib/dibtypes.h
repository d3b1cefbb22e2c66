// Records and enumerations of the off-screen surface and its stored image format.
#pragma once

#include <cstdint>

// 0x00BBGGRR: red in the low byte
using TColor = uint32_t;

struct TPoint {
    int X = 0, Y = 0;
};

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TRect&) const = default;
};

enum TDUPixelFormat : uint8_t { DUpf1, DUpf4, DUpf8, DUpf15, DUpf16, DUpf24, DUpf32 };
constexpr int DUpfCount = 7;

enum TDUPenMode : uint8_t { DUpmCOPY, DUpmNOT, DUpmANDPEN, DUpmORPEN, DUpmXORPEN, DUpmALPHAPEN, DUpmUSER, DUpmNOP };

enum TDUColor : uint8_t {
    Black, Maroon, Green, Olive, Navy, Purple, Teal, Gray, Silver,
    Red, Lime, Yellow, Blue, Fuchsia, Aqua, LtGray, DkGray, White
};

// bit numbers of the TDIBType set
enum TUnionDIBType : uint8_t {
    DUtTransparent, DUtAlpha, DUtAnimate, DUtLZH, DUtSysPalette, DUnoRLE, DUINC, DUUnUsed
};
using TDIBType = uint8_t;
constexpr TDIBType DUbit(TUnionDIBType f) { return TDIBType(1u << f); }
constexpr bool DUhas(TDIBType s, TUnionDIBType f) { return (s & DUbit(f)) != 0; }

enum TSaveMode : uint8_t { DUsmWindows, DUsmDIBUltra };

struct TPaletteEntry {
    uint8_t Red = 0, Green = 0, Blue = 0, Flags = 0;
};

struct T256ColorsPalette {
    uint16_t Version = 0x300;
    uint16_t Count = 0;
    TPaletteEntry Entries[256]{};
};
static_assert(sizeof(T256ColorsPalette) == 1028);

// the bitmap information block: a 40-byte header and 256 16-bit colour-table entries;
// for DUpf16 the first three 32-bit words after the header are the channel masks
struct TDIBUltraInfo {
    uint32_t Size = 40;
    int32_t Width = 0, Height = 0;
    uint16_t Planes = 1, BitCount = 0;
    uint32_t Compression = 0, SizeImage = 0;
    int32_t XPelsPerMeter = 0, YPelsPerMeter = 0;
    uint32_t ClrUsed = 0, ClrImportant = 0;
    uint16_t Colors[256]{};
};
static_assert(sizeof(TDIBUltraInfo) == 552);

// a segment: start, end and two working differences
struct TLine {
    int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0, DX = 0, DY = 0;
};

// alpha block header, little-endian, 126 bytes; run data follows
constexpr int AlphaHeaderSize = 126;
constexpr int AlphaOffFrames = 0, AlphaOffBlockSize = 2, AlphaOffDelay = 6, AlphaOffRunBytes = 7;

// bits per pixel and largest pixel value by format
constexpr int DUbpp[DUpfCount] = {1, 4, 8, 16, 16, 24, 32};
constexpr uint32_t DUmaxValue[DUpfCount] = {1, 15, 255, 32767, 65535, 16777215, 16777215};
