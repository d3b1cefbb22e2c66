#include "peakingeq.h"

#include <cmath>
#include <numbers>

namespace sound {

PeakingEq::PeakingEq(double rate) : EffectKernel(rate) {}

bool PeakingEq::setBand(const PeakEqParams& p)
{
    if (p.band < 0 || p.band >= kBands) return false;
    slot_.update([&](Bands& b) {
        b[p.band].p = p;
        b[p.band].used = true;
    });
    return true;
}

bool PeakingEq::getBand(PeakEqParams& p) const
{
    if (p.band < 0 || p.band >= kBands) return false;
    const int band = p.band;
    Bands b = slot_.get();
    if (b[band].used) p = b[band].p;
    else p = PeakEqParams{};
    p.band = band;
    return true;
}

// Audio EQ cookbook peaking filter; the gain at the centre is exactly p.gainDb.
PeakingEq::Coeffs PeakingEq::design(const Band& band) const
{
    Coeffs c;
    const PeakEqParams& p = band.p;
    const double nyquist = rate_ / 2;
    if (!band.used || !(p.centerHz > 0) || p.centerHz >= nyquist || p.gainDb == 0) return c;
    const double A = std::pow(10.0, p.gainDb / 40.0);
    const double w0 = 2 * std::numbers::pi * p.centerHz / rate_;
    const double sn = std::sin(w0), cs = std::cos(w0);
    double alpha;
    if (p.q > 0) alpha = sn / (2 * p.q);
    else if (p.bandwidth > 0) alpha = sn * std::sinh(std::numbers::ln2 / 2 * p.bandwidth * w0 / sn);
    else return c;
    const double a0 = 1 + alpha / A;
    c.b0 = (1 + alpha * A) / a0;
    c.b1 = -2 * cs / a0;
    c.b2 = (1 - alpha * A) / a0;
    c.a1 = -2 * cs / a0;
    c.a2 = (1 - alpha / A) / a0;
    c.active = true;
    c.channel = p.channel;
    return c;
}

void PeakingEq::run(float* stereo, int frames)
{
    if (slot_.take(live_)) {
        for (int b = 0; b < kBands; ++b) {
            Coeffs c = design(live_[b]);
            if (!c.active) state_[b][0][0] = state_[b][0][1] = state_[b][1][0] = state_[b][1][1] = 0;
            coeffs_[b] = c;
        }
    }
    for (int b = 0; b < kBands; ++b) {
        const Coeffs& c = coeffs_[b];
        if (!c.active) continue;
        for (int ch = 0; ch < 2; ++ch) {
            if (!applies(c.channel, ch)) continue;
            double z1 = state_[b][ch][0], z2 = state_[b][ch][1];
            float* s = stereo + ch;
            for (int i = 0; i < frames; ++i, s += 2) {
                const double x = *s;
                const double y = c.b0 * x + z1;
                z1 = c.b1 * x - c.a1 * y + z2;
                z2 = c.b2 * x - c.a2 * y;
                *s = float(y);
            }
            // keep silence from decaying into denormals
            if (std::fabs(z1) < 1e-25) z1 = 0;
            if (std::fabs(z2) < 1e-25) z2 = 0;
            state_[b][ch][0] = z1;
            state_[b][ch][1] = z2;
        }
    }
}

void PeakingEq::clear()
{
    for (auto& b : state_)
        for (auto& ch : b) ch[0] = ch[1] = 0;
}

}  // namespace sound
