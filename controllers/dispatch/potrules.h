// The rules every pot action follows, unless its family says otherwise. A pot is relative (an
// encoder) when rangelo and rangeup are both non-zero: valor above range steps up, anything else
// down. Otherwise it is absolute: valor * span / value, written only when it differs from the
// control's position, so a mouse move between two equal controller values is not undone.
// Scalings that would divide by zero give nothing: the event then changes nothing.
// Arithmetic is done wide and wraps to 32 bits, as the event's fields are.
#pragma once

#include <optional>

#include "controllers/dispatch/tinfo.h"

class PotRules {
public:
    static bool relative(const TInfo& e) { return e.rangelo != 0 && e.rangeup != 0; }
    // codes 121, 143, 211, 212 and 253: a negative bound means absolute
    static bool relativeStrict(const TInfo& e) { return e.rangelo > 0 && e.rangeup > 0; }
    // pitch only: both bounds 255
    static bool endless(const TInfo& e) { return e.rangelo == 255 && e.rangeup == 255; }
    static bool up(const TInfo& e) { return e.valor > e.range; }

    // `current` moved one step of `size` up or down, kept within min..max; with `wrap`, passing
    // the maximum gives the minimum and passing the minimum the maximum.
    static int step(int current, bool up, int size, int min, int max, bool wrap = false);

    // valor * span / value, truncating; nothing when value is 0.
    static std::optional<int> absolute(const TInfo& e, int span);

    // Writes `v` into `global` when it differs from the control's `position`; true when written.
    static bool writeIfMoved(int& global, int v, int position);

    // A whole pot action on `global`: relative steps of `size` within min..max (or wrapping),
    // absolute values of `span` written when they differ from `position`.
    static void apply(int& global, const TInfo& e, int span, int size, int min, int max, int position,
                      bool wrap = false);

    // Absolute autoloop pot: (valor + 1) / (value / 8); nothing when value is below 8.
    static std::optional<int> autoloopIndex(const TInfo& e);
    // Absolute effect beat pot: (valor + 1) / (value / 5); nothing when value is below 5.
    static std::optional<int> effectBeatIndex(const TInfo& e);
    // Absolute jog: 36000 / range, the count one controller step moves; nothing when range is 0.
    static std::optional<int> jogStep(const TInfo& e);
};
