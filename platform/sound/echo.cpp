#include "platform/sound/echo.h"

#include <algorithm>
#include <cmath>

namespace sound {

Echo::Echo(double rate)
    : EffectKernel(rate)
{
    size_ = int(std::ceil(kMaxDelaySeconds * rate_)) + 1;
    line_.assign(size_t(size_) * 2, 0.0f);
    set(EchoParams{});
}

int Echo::framesFor(float seconds) const
{
    if (!(seconds > 0)) return 0;
    return std::min(int(std::lround(std::min<double>(seconds, kMaxDelaySeconds) * rate_)), size_ - 1);
}

void Echo::set(const EchoParams& p)
{
    EchoParams e = p;
    e.delay = float(std::clamp<double>(std::isfinite(e.delay) ? e.delay : 0, 0.0, kMaxDelaySeconds));
    slot_.set(e);
}

int Echo::delayFrames() const { return framesFor(slot_.get().delay); }

void Echo::run(float* stereo, int frames)
{
    if (slot_.take(live_)) delay_ = framesFor(live_.delay);
    const float dry = live_.dryMix, wet = live_.wetMix;
    const bool left = applies(live_.channel, 0), right = applies(live_.channel, 1);
    // the first frames of the block whose delayed frame came before the last reset: silent
    const int unheard = std::clamp(delay_ - written_, 0, frames);
    int w = write_;
    int r = w - delay_;
    if (r < 0) r += size_;
    for (int i = 0; i < frames;) {
        // a stretch where neither the write nor the read position wraps, all heard or all not
        const int n = std::min({frames - i, size_ - w, size_ - r, i < unheard ? unheard - i : frames});
        const float g = i < unheard ? 0.0f : wet;
        float* s = stereo + 2 * i;
        float* in = &line_[size_t(w) * 2];
        const float* out = &line_[size_t(r) * 2];
        if (left && right) {
            for (int k = 0; k < 2 * n; ++k) {
                in[k] = s[k];
                s[k] = dry * s[k] + g * out[k];
            }
        } else {
            for (int k = 0; k < n; ++k) {
                in[2 * k] = s[2 * k];
                in[2 * k + 1] = s[2 * k + 1];
                if (left) s[2 * k] = dry * s[2 * k] + g * out[2 * k];
                if (right) s[2 * k + 1] = dry * s[2 * k + 1] + g * out[2 * k + 1];
            }
        }
        i += n;
        w += n;
        r += n;
        if (w == size_) w = 0;
        if (r == size_) r = 0;
    }
    write_ = w;
    written_ = std::min(size_, written_ + frames);
}

// The line is not wiped (8 s of it would take the audio thread a long while): what it held
// before counts as silence until the writes since have reached it.
void Echo::clear()
{
    write_ = 0;
    written_ = 0;
}

}  // namespace sound
