#include "engine/bpmresult.h"

#include <cmath>

namespace bpmresult {

float fold(float bpm)
{
    if (bpm > 150) bpm /= 2;
    if (bpm < 60) bpm *= 2;
    return bpm;
}

float combine(float mine, float own)
{
    if (own == 0) return mine;
    const float d = std::fabs(mine - own);
    if (d < 0.5f) return (mine + own) / 2;
    if (d > 2.6f) return own;
    return mine;
}

float snap(float bpm)
{
    const double t = std::trunc(double(bpm));
    const double f = double(bpm) - t;
    // the fraction is compared as the single-precision value the libraries gave
    const float ff = float(f);
    if (ff < 0.4f) return float(t);
    if (ff < 0.7f) return float(t + 0.5);
    return float(t + 1);
}

float finish(bool hasMine, float mine, bool hasOwn, float own)
{
    float a = hasMine && std::isfinite(mine) ? fold(mine) : 0;
    const float b = hasOwn && std::isfinite(own) ? fold(own) : 0;
    a = snap(combine(a, b));
    return a == 0 ? kNoTempo : a;
}

bool known(double bpm)
{
    return bpm > 0.01 && std::isfinite(bpm);
}

}  // namespace bpmresult
