// Colours as the system stores them: 0x00BBGGRR (blue in the high byte, red in the low).
// Every such value enters Qt through colorFromRef and leaves it through colorToRef.
#pragma once

#include <QColor>
#include <cstdint>

inline QColor colorFromRef(uint32_t bbggrr)
{
    return QColor(int(bbggrr & 0xFF), int((bbggrr >> 8) & 0xFF), int((bbggrr >> 16) & 0xFF));
}

inline uint32_t colorToRef(const QColor& c)
{
    return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

// Values with a meaning of their own: no colour (nothing is drawn or cut out) and the
// see-through key colour of the skins. A value whose top byte is 0xFF names a system colour
// by its index; colorFromRef does not resolve those.
constexpr uint32_t clNone = 0x1FFFFFFF;
constexpr uint32_t clFuchsia = 0x00FF00FF;
