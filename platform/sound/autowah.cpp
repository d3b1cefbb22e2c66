#include "platform/sound/autowah.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sound {

namespace {
constexpr int kControlFrames = 16;  // the sweep moves the filter every this many frames
constexpr double kResonance = 0.25;  // 1/Q of the band-pass
typedef double Pair __attribute__((vector_size(16)));  // left, right
float finite(float v, float fallback) { return std::isfinite(v) ? v : fallback; }
}  // namespace

void AutoWah::set(const AutoWahParams& p)
{
    AutoWahParams a = p;
    a.dryMix = finite(a.dryMix, 0);
    a.wetMix = finite(a.wetMix, 0);
    a.feedback = std::clamp(finite(a.feedback, 0), -0.9f, 0.9f);
    a.rate = std::clamp(finite(a.rate, 0), 0.0f, 50.0f);
    a.range = std::clamp(finite(a.range, 0), 0.0f, 10.0f);
    a.freqHz = std::clamp(finite(a.freqHz, 100), 1.0f, 20000.0f);
    slot_.set(a);
}

// Zero-delay-feedback state-variable filter, stable for any centre below Nyquist.
void AutoWah::run(float* stereo, int frames)
{
    slot_.take(live_);
    const bool on[2] = {applies(live_.channel, 0), applies(live_.channel, 1)};
    const double step = live_.rate / rate_;
    const double top = rate_ * 0.45;
    for (int start = 0; start < frames; start += kControlFrames) {
        const int n = std::min(kControlFrames, frames - start);
        const double sweep = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * phase_);
        const double fc = std::min(top, live_.freqHz * std::exp2(live_.range * sweep));
        const double g = std::tan(std::numbers::pi * fc / rate_);
        const double k = 2 * kResonance;
        const double a1 = 1 / (1 + g * (g + k));
        const double fb = live_.feedback, dry = live_.dryMix, wet = live_.wetMix;
        if (on[0] && on[1]) {
            // both channels side by side: the same operations on each
            Pair s1 = {s1_[0], s1_[1]}, s2 = {s2_[0], s2_[1]}, last = {last_[0], last_[1]};
            float* s = stereo + 2 * start;
            for (int i = 0; i < n; ++i, s += 2) {
                const Pair x = {s[0], s[1]};
                const Pair v0 = x + fb * last;
                const Pair v1 = a1 * (s1 + g * (v0 - s2));
                const Pair v2 = s2 + g * v1;
                s1 = 2 * v1 - s1;
                s2 = 2 * v2 - s2;
                last = v1 * k;
                const Pair y = dry * x + wet * last;
                s[0] = float(y[0]);
                s[1] = float(y[1]);
            }
            s1_[0] = s1[0]; s2_[0] = s2[0]; last_[0] = last[0];
            s1_[1] = s1[1]; s2_[1] = s2[1]; last_[1] = last[1];
        } else {
            for (int ch = 0; ch < 2; ++ch) {
                if (!on[ch]) continue;
                double s1 = s1_[ch], s2 = s2_[ch], last = last_[ch];
                float* s = stereo + 2 * start + ch;
                for (int i = 0; i < n; ++i, s += 2) {
                    const double x = *s;
                    const double v0 = x + fb * last;
                    const double v1 = a1 * (s1 + g * (v0 - s2));
                    const double v2 = s2 + g * v1;
                    s1 = 2 * v1 - s1;
                    s2 = 2 * v2 - s2;
                    last = v1 * k;  // band-pass normalised to unity at the centre
                    *s = float(dry * x + wet * last);
                }
                s1_[ch] = s1;
                s2_[ch] = s2;
                last_[ch] = last;
            }
        }
        for (int ch = 0; ch < 2; ++ch) {
            if (std::fabs(s1_[ch]) < 1e-25) s1_[ch] = 0;
            if (std::fabs(s2_[ch]) < 1e-25) s2_[ch] = 0;
        }
        phase_ += step * n;
        phase_ -= std::floor(phase_);
    }
}

void AutoWah::clear()
{
    phase_ = 0;
    for (int ch = 0; ch < 2; ++ch) s1_[ch] = s2_[ch] = last_[ch] = 0;
}

}  // namespace sound
