// The instrument kit's shared types: colours as the system stores them, the enumerations and
// subranges of its properties, and the codes the drawing routines take.
#pragma once

#include <cstdint>

// A colour 0x00BBGGRR, or a system colour: top bit set, the system colour's index in the low byte.
using TColor = uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

inline constexpr TColor clSystemColor = 0x80000000;
inline constexpr TColor clWindow = clSystemColor | 5;
inline constexpr TColor clWindowText = clSystemColor | 8;
inline constexpr TColor clHighlight = clSystemColor | 13;
inline constexpr TColor clHighlightText = clSystemColor | 14;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clBtnShadow = clSystemColor | 16;
inline constexpr TColor clBtnText = clSystemColor | 18;
inline constexpr TColor clBtnHighlight = clSystemColor | 20;

inline constexpr const char* VrVersion = "1.4.5";

enum TVrOrientation { voVertical, voHorizontal };
enum TVrImageTextLayout { ImageLeft, ImageRight, ImageTop, ImageBottom };
enum TVrBevelStyle { bsNone, bsLowered, bsRaised };
enum TVrBevelOutlineStyle { osOuter, osInner, osNone };
// Where a control sits in its parent; only the auto-size rule reads it (the surface places its
// controls by coordinates).
#include "snkins/talign.h"

using TVrPercentInt = uint8_t;  // 0..100
using TVrWordInt = int;         // 0..2147483647
using TVrDegrees = uint16_t;    // 0..360
using TVrBevelWidth = int;      // 1..2147483647
using TVrBorderWidth = int;     // 0..2147483647
using TVrBevelSpace = int;      // 0..2147483647

inline constexpr int cfOrientation[] = {0, 1};            // voVertical, voHorizontal
inline constexpr int cfImageTextLayout[] = {1, 2, 3, 4};  // ImageLeft .. ImageBottom
