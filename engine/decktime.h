// The deck's time texts and the rounding the deck arithmetic uses.
#pragma once

#include <cmath>
#include <cstdint>

#include <QString>

// Nearest integer, halves to the even neighbour.
inline int64_t roundEven(double v) { return static_cast<int64_t>(std::nearbyint(v)); }

// "H:MM:SS:CC" of `ms`; the hour is its last digit only. For kind 'R' *rem gets the
// whole seconds (hours before the wrap), or -1 when `ms` is 0 or less.
QString decode_time(int64_t ms, char kind, int* rem = nullptr);

// A number as "00.00" / "000.000": at least `intDigits` integer digits, `decimals` decimals.
QString formatFixed(double v, int intDigits, int decimals);
