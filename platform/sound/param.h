// An attribute that can slide linearly to a target over a number of frames.
#pragma once

#include <cstdint>

namespace sound {

struct Param {
    float value = 0;
    float target = 0;
    double step = 0;
    std::int64_t left = 0;  // frames of slide remaining

    void set(float v) { value = target = v; left = 0; }
    void slide(float to, std::int64_t frames)
    {
        if (frames <= 0) { set(to); return; }
        target = to;
        left = frames;
        step = (double(to) - value) / double(frames);
    }
    bool sliding() const { return left > 0; }
    // Moves the slide on by n frames; returns the value reached.
    float advance(std::int64_t n)
    {
        if (left <= 0) return value;
        if (n >= left) { value = target; left = 0; }
        else { value = float(value + step * double(n)); left -= n; }
        return value;
    }
};

}  // namespace sound
