#include "platform/sound/volumeeffect.h"

#include <algorithm>

namespace sound {

void VolumeEffect::set(const VolumeParams& p)
{
    VolumeParams v = p;
    v.volume = std::clamp(v.volume, 0.0f, 2.0f);
    slot_.set(v);
}

void VolumeEffect::run(float* stereo, int frames)
{
    slot_.take(live_);
    const float g = live_.volume;
    if (g == 1.0f) return;
    for (int ch = 0; ch < 2; ++ch) {
        if (!applies(live_.channel, ch)) continue;
        float* s = stereo + ch;
        for (int i = 0; i < frames; ++i, s += 2) *s *= g;
    }
}

}  // namespace sound
