// Reverb: four damped comb filters and two all-passes per channel (the right channel's
// lines slightly longer), decaying by 60 dB in delayMs milliseconds; `level` of it is
// added to the input.
#pragma once

#include <array>
#include <vector>

#include "platform/sound/effectkernel.h"
#include "platform/sound/sound.h"
#include "platform/sound/paramslot.h"

namespace sound {

class Reverb : public EffectKernel {
public:
    explicit Reverb(double rate);

    void set(const ReverbParams& p);
    ReverbParams get() const { return slot_.get(); }

protected:
    void run(float* stereo, int frames) override;
    void clear() override;

private:
    struct Line {
        std::vector<float> buf;
        int pos = 0;
        float store = 0;  // comb low-pass state
    };
    static constexpr int kCombs = 4, kAllpasses = 2;

    ParamSlot<ReverbParams> slot_;
    ReverbParams live_;
    std::array<std::array<Line, kCombs>, 2> combs_;
    std::array<std::array<Line, kAllpasses>, 2> allpasses_;
    std::array<float, kCombs> feedback_{};
    static constexpr int kBlock = 512;
    float in_[kBlock] = {}, wet_[kBlock] = {};
};

}  // namespace sound
