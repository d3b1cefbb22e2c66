#include "platform/sound/peakingeq.h"

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

namespace {

// left and right side by side: both channels take the same operations at once
typedef double Pair __attribute__((vector_size(16)));
typedef float FloatPair __attribute__((vector_size(8)));

struct StereoBand {
    Pair b0, b1, b2, a1, a2, z1, z2;
};

inline Pair step(StereoBand& q, Pair x)
{
    const Pair y = q.b0 * x + q.z1;
    q.z1 = q.b1 * x - q.a1 * y + q.z2;
    q.z2 = q.b2 * x - q.a2 * y;
    return y;
}

// each band's output is rounded to float as it would be between two effects
inline Pair roundToFloat(Pair v) { return __builtin_convertvector(__builtin_convertvector(v, FloatPair), Pair); }

// N stereo bands in one pass, in band order: per sample the same sums as one band after
// the other on one channel after the other.
template <int N>
void cascade(float* s, int frames, StereoBand* bands)
{
    StereoBand q0 = bands[0], q1 = bands[N > 1 ? 1 : 0], q2 = bands[N > 2 ? 2 : 0];
    for (int i = 0; i < frames; ++i, s += 2) {
        Pair x = {s[0], s[1]};
        x = roundToFloat(step(q0, x));
        if constexpr (N > 1) x = roundToFloat(step(q1, x));
        if constexpr (N > 2) x = roundToFloat(step(q2, x));
        s[0] = float(x[0]);
        s[1] = float(x[1]);
    }
    bands[0] = q0;
    if constexpr (N > 1) bands[1] = q1;
    if constexpr (N > 2) bands[2] = q2;
}

}  // namespace

void PeakingEq::run(float* stereo, int frames)
{
    if (slot_.take(live_)) {
        for (int b = 0; b < kBands; ++b) {
            Coeffs c = design(live_[b]);
            if (!c.active) state_[b][0][0] = state_[b][0][1] = state_[b][1][0] = state_[b][1][1] = 0;
            coeffs_[b] = c;
        }
    }
    for (int b = 0; b < kBands;) {
        const Coeffs& c = coeffs_[b];
        if (!c.active) { ++b; continue; }
        if (c.channel < 0) {
            // this band and the stereo bands after it (up to three) in one pass
            StereoBand q[3];
            int at[3];
            int n = 0;
            for (; b < kBands && n < 3; ++b) {
                const Coeffs& d = coeffs_[b];
                if (!d.active) continue;
                if (d.channel >= 0) break;
                q[n] = StereoBand{Pair{d.b0, d.b0}, Pair{d.b1, d.b1}, Pair{d.b2, d.b2}, Pair{d.a1, d.a1},
                                  Pair{d.a2, d.a2}, Pair{state_[b][0][0], state_[b][1][0]},
                                  Pair{state_[b][0][1], state_[b][1][1]}};
                at[n++] = b;
            }
            if (n == 1) cascade<1>(stereo, frames, q);
            else if (n == 2) cascade<2>(stereo, frames, q);
            else cascade<3>(stereo, frames, q);
            for (int j = 0; j < n; ++j) {
                state_[at[j]][0][0] = q[j].z1[0];
                state_[at[j]][1][0] = q[j].z1[1];
                state_[at[j]][0][1] = q[j].z2[0];
                state_[at[j]][1][1] = q[j].z2[1];
            }
            continue;
        }
        const int ch = c.channel;
        double z1 = state_[b][ch][0], z2 = state_[b][ch][1];
        float* s = stereo + ch;
        for (int i = 0; i < frames; ++i, s += 2) {
            const double x = *s;
            const double y = c.b0 * x + z1;
            z1 = c.b1 * x - c.a1 * y + z2;
            z2 = c.b2 * x - c.a2 * y;
            *s = float(y);
        }
        state_[b][ch][0] = z1;
        state_[b][ch][1] = z2;
        ++b;
    }
    // keep silence from decaying into denormals
    for (auto& band : state_)
        for (auto& z : band)
            for (double& v : z)
                if (std::fabs(v) < 1e-25) v = 0;
}

void PeakingEq::clear()
{
    for (auto& b : state_)
        for (auto& ch : b) ch[0] = ch[1] = 0;
}

}  // namespace sound
