#include "platform/sound/reverb.h"

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
    const float level = live_.level * kWetScale;
    for (int ch = 0; ch < 2; ++ch) {
        if (!applies(live_.channel, ch)) continue;
        for (int at = 0; at < frames; at += kBlock) {
            const int n = std::min(kBlock, frames - at);
            float* s = stereo + 2 * at + ch;
            for (int i = 0; i < n; ++i) {
                in_[i] = s[2 * i];
                wet_[i] = 0;
            }
            // one line at a time over the block: each keeps its state in registers
            for (int c = 0; c < kCombs; ++c) {
                Line& line = combs_[ch][c];
                float* buf = line.buf.data();
                const int len = int(line.buf.size());
                int pos = line.pos;
                float store = line.store;
                const float fb = feedback_[c];
                for (int i = 0; i < n; ++i) {
                    const float y = buf[pos];
                    store = y * (1 - kDamp) + store * kDamp;
                    buf[pos] = in_[i] + store * fb;
                    if (++pos == len) pos = 0;
                    wet_[i] += y;
                }
                line.pos = pos;
                line.store = store;
            }
            for (Line& a : allpasses_[ch]) {
                float* buf = a.buf.data();
                const int len = int(a.buf.size());
                int pos = a.pos;
                for (int i = 0; i < n; ++i) {
                    const float b = buf[pos];
                    const float v = wet_[i];
                    buf[pos] = v + b * kAllpassGain;
                    wet_[i] = b - v * kAllpassGain;
                    if (++pos == len) pos = 0;
                }
                a.pos = pos;
            }
            for (int i = 0; i < n; ++i) s[2 * i] = in_[i] + level * wet_[i];
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
