// Measures tones in sound a test or a benchmark took: how strong one frequency is in a stretch
// (Goertzel over a Hann window, so that a neighbouring tone does not leak in), and which
// frequency a channel carries (rising zero crossings, interpolated between samples).
// Samples are interleaved frames of `channels` channels, as float or 16-bit.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

namespace testsupport {

// Amplitude (1.0 = full scale) of the `hz` component of channel `ch`, frames [from, from + count).
template <typename Sample>
double toneAmplitude(const std::vector<Sample>& s, int channels, int ch, size_t from, size_t count, double hz,
                     int rate)
{
    if (count == 0 || (from + count) * size_t(channels) > s.size()) return 0;
    const double scale = sizeof(Sample) == 2 ? 1.0 / 32768 : 1.0;
    const double w = 2 * M_PI * hz / rate, c = 2 * std::cos(w);
    double s1 = 0, s2 = 0, sum = 0;
    for (size_t i = 0; i < count; ++i) {
        const double win = 0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(count));
        const double s0 = win * scale * double(s[(from + i) * size_t(channels) + size_t(ch)]) + c * s1 - s2;
        s2 = s1;
        s1 = s0;
        sum += win;
    }
    const double re = s1 - s2 * std::cos(w), im = s2 * std::sin(w);
    return 2 * std::sqrt(re * re + im * im) / sum;
}

// The frequency channel `ch` carries, from its first to its last rising zero crossing; 0
// with fewer than two.
template <typename Sample>
double toneFrequency(const std::vector<Sample>& s, int channels, int rate, int ch = 0)
{
    double first = -1, last = -1;
    int n = 0;
    for (size_t i = size_t(channels + ch); i < s.size(); i += size_t(channels)) {
        const double a = double(s[i - size_t(channels)]), b = double(s[i]);
        if (a < 0 && b >= 0) {
            const double t = double(i / size_t(channels) - 1) + (-a) / (b - a);
            if (first < 0) first = t;
            last = t;
            ++n;
        }
    }
    return n > 1 ? (n - 1) * rate / (last - first) : 0;
}

}  // namespace testsupport
