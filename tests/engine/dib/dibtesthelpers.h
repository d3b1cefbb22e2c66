// small helpers shared by the surface tests
#pragma once

#include <set>
#include <utility>

#include "engine/dib/tdibultra.h"

using Pixels = std::set<std::pair<int, int>>;

// the pixels whose value differs from Background
inline Pixels Drawn(const TDIBUltra& d, uint32_t Background)
{
    Pixels p;
    for (int y = 0; y < d.DIBHeight; ++y)
        for (int x = 0; x < d.DIBWidth; ++x)
            if (d.GetPixelIndex(x, y) != Background) p.insert({x, y});
    return p;
}

inline Pixels Rect(int L, int T, int R, int B)  // inclusive
{
    Pixels p;
    for (int y = T; y <= B; ++y)
        for (int x = L; x <= R; ++x) p.insert({x, y});
    return p;
}

template <class F>
std::string ErrorOf(F&& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no error";
}
