// Echo without feedback: out = dry * in + wet * (in delayed by a whole number of frames).
#pragma once

#include <vector>

#include "platform/sound/bigbuffer.h"
#include "platform/sound/effectkernel.h"
#include "platform/sound/sound.h"
#include "platform/sound/paramslot.h"

namespace sound {

class Echo : public EffectKernel {
public:
    static constexpr double kMaxDelaySeconds = 8.0;

    explicit Echo(double rate);

    // the delay is limited to 0..kMaxDelaySeconds
    void set(const EchoParams& p);
    EchoParams get() const { return slot_.get(); }
    int delayFrames() const;

protected:
    void run(float* stereo, int frames) override;
    void clear() override;

private:
    int framesFor(float seconds) const;

    ParamSlot<EchoParams> slot_;
    EchoParams live_;
    int delay_ = 0;
    BigVector<float> line_;  // interleaved, size_ frames
    int size_ = 0;
    int write_ = 0;
    int written_ = 0;  // frames written since the last reset, up to size_
};

}  // namespace sound
