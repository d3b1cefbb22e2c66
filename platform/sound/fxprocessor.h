// One effect on a stream's processor chain: the kernel of its type, reached by its
// parameter records.
#pragma once

#include <memory>

#include "platform/sound/effectkernel.h"
#include "platform/sound/sound.h"

namespace sound {

class FxProcessor : public Processor {
public:
    FxProcessor(FxType type, int rate);

    FxType type() const { return type_; }

    void process(float* frames, int frameCount, int rate) override;
    void reset() override { kernel_->reset(); }

    // false (and lastError Param or WrongKind) when the record does not fit the effect
    bool set(const PeakEqParams& p);
    bool get(PeakEqParams& p) const;
    bool set(const VolumeParams& p);
    bool get(VolumeParams& p) const;
    bool set(const FlangerParams& p);
    bool get(FlangerParams& p) const;
    bool set(const EchoParams& p);
    bool get(EchoParams& p) const;
    bool set(const AutoWahParams& p);
    bool get(AutoWahParams& p) const;
    bool set(const ReverbParams& p);
    bool get(ReverbParams& p) const;

private:
    template <class K>
    K* as(FxType t) const;

    FxType type_;
    std::unique_ptr<EffectKernel> kernel_;
};

}  // namespace sound
