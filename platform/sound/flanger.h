// Flanger: the input mixed with a copy whose delay sweeps between kMinDelay and kMaxDelay
// seconds along a sine, speed times a second.
#pragma once

#include <vector>

#include "platform/sound/bigbuffer.h"
#include "platform/sound/effectkernel.h"
#include "platform/sound/sound.h"
#include "platform/sound/paramslot.h"

namespace sound {

class Flanger : public EffectKernel {
public:
    static constexpr double kMinDelay = 0.0002;
    static constexpr double kMaxDelay = 0.006;

    explicit Flanger(double rate);

    void set(const FlangerParams& p);
    FlangerParams get() const { return slot_.get(); }

protected:
    void run(float* stereo, int frames) override;
    void clear() override;

private:
    ParamSlot<FlangerParams> slot_;
    FlangerParams live_;
    BigVector<float> line_;
    int size_ = 0;
    int write_ = 0;
    double phase_ = 0;  // 0..1
};

}  // namespace sound
