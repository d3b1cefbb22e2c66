#include "reverb.h"

#include <algorithm>
#include <cmath>

namespace sound {

namespace {
// line lengths at 44,100 Hz, mutually prime so their echoes do not pile up
constexpr int kCombLength[4] = {1116, 1188, 1277, 1356};
constexpr int kAllpassLength[2] = {556, 441};
constexpr int kStereoSpread = 23;
constexpr float kDamp = 0.2f;
constexpr float kAllpassGain = 0.5f;
constexpr float kWetScale = 0.25f;
}  // namespace

Reverb::Reverb(double rate)
    : EffectKernel(rate)
{
    const double scale = rate_ / 44100.0;
    for (int ch = 0; ch < 2; ++ch) {
        for (int i = 0; i < kCombs; ++i)
            combs_[ch][i].buf.assign(size_t(std::max(1.0, std::round((kCombLength[i] + ch * kStereoSpread) * scale))), 0.0f);
        for (int i = 0; i < kAllpasses; ++i)
            allpasses_[ch][i].buf.assign(size_t(std::max(1.0, std::round((kAllpassLength[i] + ch * kStereoSpread) * scale))), 0.0f);
    }
    set(ReverbParams{});
}

void Reverb::set(const ReverbParams& p)
{
    ReverbParams r = p;
    if (!std::isfinite(r.level)) r.level = 0;
    r.level = std::clamp(r.level, -2.0f, 2.0f);
    r.delayMs = std::clamp(r.delayMs, 10, 20000);
    slot_.set(r);
}

void Reverb::run(float* stereo, int frames)
{
    if (slot_.take(live_)) {
        const double decay = live_.delayMs / 1000.0;
        for (int i = 0; i < kCombs; ++i) {
            const double len = double(combs_[0][i].buf.size()) / rate_;
            feedback_[i] = float(std::pow(10.0, -3.0 * len / decay));
        }
    }
    if (live_.level == 0) return;
    for (int ch = 0; ch < 2; ++ch) {
        if (!applies(live_.channel, ch)) continue;
        float* s = stereo + ch;
        for (int n = 0; n < frames; ++n, s += 2) {
            const float x = *s;
            float acc = 0;
            for (int i = 0; i < kCombs; ++i) {
                Line& c = combs_[ch][i];
                const float y = c.buf[size_t(c.pos)];
                c.store = y * (1 - kDamp) + c.store * kDamp;
                c.buf[size_t(c.pos)] = x + c.store * feedback_[i];
                if (++c.pos == int(c.buf.size())) c.pos = 0;
                acc += y;
            }
            acc *= kWetScale;
            for (Line& a : allpasses_[ch]) {
                const float b = a.buf[size_t(a.pos)];
                a.buf[size_t(a.pos)] = acc + b * kAllpassGain;
                acc = b - acc * kAllpassGain;
                if (++a.pos == int(a.buf.size())) a.pos = 0;
            }
            *s = x + live_.level * acc;
        }
    }
}

void Reverb::clear()
{
    for (auto& side : combs_)
        for (Line& l : side) { std::fill(l.buf.begin(), l.buf.end(), 0.0f); l.pos = 0; l.store = 0; }
    for (auto& side : allpasses_)
        for (Line& l : side) { std::fill(l.buf.begin(), l.buf.end(), 0.0f); l.pos = 0; }
}

}  // namespace sound
