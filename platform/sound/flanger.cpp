#include "platform/sound/flanger.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sound {

Flanger::Flanger(double rate)
    : EffectKernel(rate)
{
    size_ = int(std::ceil(kMaxDelay * rate_)) + 4;
    line_.assign(size_t(size_) * 2, 0.0f);
}

void Flanger::set(const FlangerParams& p)
{
    FlangerParams f = p;
    f.wetDry = std::clamp(std::isfinite(f.wetDry) ? f.wetDry : 0.0f, 0.0f, 1.0f);
    f.speed = std::clamp(std::isfinite(f.speed) ? f.speed : 0.0f, 0.0f, 50.0f);
    slot_.set(f);
}

void Flanger::run(float* stereo, int frames)
{
    slot_.take(live_);
    const float wet = live_.wetDry, dry = 1.0f - wet;
    const bool left = applies(live_.channel, 0), right = applies(live_.channel, 1);
    const double step = live_.speed / rate_;
    const double lo = kMinDelay * rate_, span = (kMaxDelay - kMinDelay) * rate_;
    constexpr int kControl = 32;  // the sweep is computed every this many frames, straight in between
    int w = write_;
    for (int at = 0; at < frames; at += kControl) {
        const int n = std::min(kControl, frames - at);
        const double d0 = lo + span * 0.5 * (1 - std::cos(2 * std::numbers::pi * phase_));
        phase_ += step * n;
        phase_ -= std::floor(phase_);
        const double d1 = lo + span * 0.5 * (1 - std::cos(2 * std::numbers::pi * phase_));
        const double dd = (d1 - d0) / n;
        double d = d0;
        for (int i = 0; i < n; ++i, d += dd) {
            float* s = stereo + 2 * (at + i);
            line_[size_t(w) * 2] = s[0];
            line_[size_t(w) * 2 + 1] = s[1];
            double rp = w - d;
            if (rp < 0) rp += size_;
            const int r0 = int(rp);
            const float frac = float(rp - r0);
            const int r1 = r0 + 1 == size_ ? 0 : r0 + 1;
            // r1 is the newer sample: read backwards from it
            const float* a = &line_[size_t(r0) * 2];
            const float* b = &line_[size_t(r1) * 2];
            if (left) s[0] = dry * s[0] + wet * (a[0] + (b[0] - a[0]) * frac);
            if (right) s[1] = dry * s[1] + wet * (a[1] + (b[1] - a[1]) * frac);
            if (++w == size_) w = 0;
        }
    }
    write_ = w;
}

void Flanger::clear()
{
    std::fill(line_.begin(), line_.end(), 0.0f);
    write_ = 0;
    phase_ = 0;
}

}  // namespace sound
