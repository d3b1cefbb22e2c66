#include "controllers/dispatch/potrules.h"

#include <algorithm>
#include <cstdint>

int PotRules::step(int current, bool up, int size, int min, int max, bool wrap)
{
    const int64_t next = int64_t(current) + (up ? int64_t(size) : -int64_t(size));
    if (next > max) return wrap ? min : max;
    if (next < min) return wrap ? max : min;
    return int(next);
}

std::optional<int> PotRules::absolute(const TInfo& e, int span)
{
    if (e.value == 0) return std::nullopt;
    return int32_t(int64_t(e.valor) * span / e.value);
}

bool PotRules::writeIfMoved(int& global, int v, int position)
{
    if (v == position) return false;
    global = v;
    return true;
}

void PotRules::apply(int& global, const TInfo& e, int span, int size, int min, int max, int position, bool wrap)
{
    if (relative(e)) {
        global = step(global, up(e), size, min, max, wrap);
        return;
    }
    if (const std::optional<int> v = absolute(e, span)) writeIfMoved(global, *v, position);
}

std::optional<int> PotRules::autoloopIndex(const TInfo& e)
{
    if (e.value < 8) return std::nullopt;
    return int32_t((int64_t(e.valor) + 1) / (e.value / 8));
}

std::optional<int> PotRules::effectBeatIndex(const TInfo& e)
{
    if (e.value < 5) return std::nullopt;
    return int32_t((int64_t(e.valor) + 1) / (e.value / 5));
}

std::optional<int> PotRules::jogStep(const TInfo& e)
{
    if (e.range == 0) return std::nullopt;
    return int32_t(36000 / int64_t(e.range));
}
