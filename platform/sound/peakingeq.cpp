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

namespace {

// N stereo bands in one pass, in band order: per sample the same sums as one band after
// the other, with the chains of both channels and of every band interleaved.
template <int N>
void cascade(float* s, int frames, const double (*c)[5], double* (*z)[2])
{
    double k[N][5], zl[N][2], zr[N][2];
    for (int j = 0; j < N; ++j) {
        for (int m = 0; m < 5; ++m) k[j][m] = c[j][m];
        zl[j][0] = z[j][0][0]; zl[j][1] = z[j][0][1];
        zr[j][0] = z[j][1][0]; zr[j][1] = z[j][1][1];
    }
    for (int i = 0; i < frames; ++i, s += 2) {
        float l = s[0], r = s[1];
        for (int j = 0; j < N; ++j) {
            const double xl = l, xr = r;
            const double yl = k[j][0] * xl + zl[j][0];
            const double yr = k[j][0] * xr + zr[j][0];
            zl[j][0] = k[j][1] * xl - k[j][3] * yl + zl[j][1];
            zr[j][0] = k[j][1] * xr - k[j][3] * yr + zr[j][1];
            zl[j][1] = k[j][2] * xl - k[j][4] * yl;
            zr[j][1] = k[j][2] * xr - k[j][4] * yr;
            l = float(yl);
            r = float(yr);
        }
        s[0] = l;
        s[1] = r;
    }
    for (int j = 0; j < N; ++j) {
        z[j][0][0] = zl[j][0]; z[j][0][1] = zl[j][1];
        z[j][1][0] = zr[j][0]; z[j][1][1] = zr[j][1];
    }
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
            double k[3][5];
            double* z[3][2];
            int n = 0;
            for (; b < kBands && n < 3; ++b) {
                const Coeffs& d = coeffs_[b];
                if (!d.active) continue;
                if (d.channel >= 0) break;
                k[n][0] = d.b0; k[n][1] = d.b1; k[n][2] = d.b2; k[n][3] = d.a1; k[n][4] = d.a2;
                z[n][0] = state_[b][0];
                z[n][1] = state_[b][1];
                ++n;
            }
            if (n == 1) cascade<1>(stereo, frames, k, z);
            else if (n == 2) cascade<2>(stereo, frames, k, z);
            else cascade<3>(stereo, frames, k, z);
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
