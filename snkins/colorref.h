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
