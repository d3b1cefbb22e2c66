// Peaking EQ of up to kBands bands in one effect, each a biquad with its own centre,
// bandwidth in octaves (or Q) and gain; a band is addressed by its number.
#pragma once

#include <array>

#include "platform/sound/effectkernel.h"
#include "platform/sound/sound.h"
#include "platform/sound/paramslot.h"

namespace sound {

class PeakingEq : public EffectKernel {
public:
    static constexpr int kBands = 8;

    explicit PeakingEq(double rate);

    // false for a band number out of range
    bool setBand(const PeakEqParams& p);
    // the record of p.band (its other fields are ignored); false when out of range
    bool getBand(PeakEqParams& p) const;

protected:
    void run(float* stereo, int frames) override;
    void clear() override;

private:
    struct Band {
        PeakEqParams p;
        bool used = false;
    };
    struct Coeffs {
        double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
        bool active = false;
        int channel = -1;
    };
    using Bands = std::array<Band, kBands>;

    Coeffs design(const Band& b) const;

    ParamSlot<Bands> slot_;
    Bands live_{};
    std::array<Coeffs, kBands> coeffs_{};
    double state_[kBands][2][2] = {};  // band, channel, z1/z2
};

}  // namespace sound
