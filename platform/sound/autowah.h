// Auto-wah: a resonant band-pass whose centre sweeps from freq up range octaves and back,
// rate times a second, with part of its output fed back into it.
#pragma once

#include "platform/sound/effectkernel.h"
#include "platform/sound/sound.h"
#include "platform/sound/paramslot.h"

namespace sound {

class AutoWah : public EffectKernel {
public:
    explicit AutoWah(double rate) : EffectKernel(rate) {}

    void set(const AutoWahParams& p);
    AutoWahParams get() const { return slot_.get(); }

protected:
    void run(float* stereo, int frames) override;
    void clear() override;

private:
    ParamSlot<AutoWahParams> slot_;
    AutoWahParams live_;
    double phase_ = 0;
    double s1_[2] = {}, s2_[2] = {}, last_[2] = {};
};

}  // namespace sound
