// A plain gain of 0 to 2 on one channel or both.
#pragma once

#include "platform/sound/effectkernel.h"
#include "platform/sound/sound.h"
#include "platform/sound/paramslot.h"

namespace sound {

class VolumeEffect : public EffectKernel {
public:
    explicit VolumeEffect(double rate) : EffectKernel(rate) {}

    void set(const VolumeParams& p);
    VolumeParams get() const { return slot_.get(); }

protected:
    void run(float* stereo, int frames) override;
    void clear() override {}

private:
    ParamSlot<VolumeParams> slot_;
    VolumeParams live_;
};

}  // namespace sound
