#include "tests/e2e/soundchecks.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <memory>
#include <numeric>
#include <optional>
#include <sstream>

#include <kissfft/kiss_fftr.h>

namespace e2e {

namespace {

// a KissFFT plan, freed with it
using Plan = std::unique_ptr<void, void (*)(void*)>;

constexpr double kPi = 3.14159265358979323846;

// RBJ second-order section, Q = 1/sqrt(2)
struct Biquad {
    double b0, b1, b2, a1, a2;
    double z1 = 0, z2 = 0;
    static Biquad make(int rate, double hz, bool high)
    {
        const double w = 2 * kPi * hz / rate, c = std::cos(w), alpha = std::sin(w) / (2 * std::sqrt(0.5));
        const double a0 = 1 + alpha;
        Biquad q{};
        if (high) {
            q.b0 = (1 + c) / 2 / a0;
            q.b1 = -(1 + c) / a0;
        } else {
            q.b0 = (1 - c) / 2 / a0;
            q.b1 = (1 - c) / a0;
        }
        q.b2 = q.b0;
        q.a1 = -2 * c / a0;
        q.a2 = (1 - alpha) / a0;
        return q;
    }
    double run(double x)
    {
        const double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

double median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// normalised correlation of x[a, a+n) with y[b, b+n); 0 where either is out of range or silent
double ncorr(const std::vector<float>& x, int64_t a, const std::vector<float>& y, int64_t b, int64_t n, int step = 1)
{
    if (a < 0 || b < 0 || a + n > int64_t(x.size()) || b + n > int64_t(y.size()) || n <= 0) return 0;
    double xy = 0, xx = 0, yy = 0;
    for (int64_t i = 0; i < n; i += step) {
        const double p = x[size_t(a + i)], q = y[size_t(b + i)];
        xy += p * q;
        xx += p * p;
        yy += q * q;
    }
    if (xx <= 1e-12 || yy <= 1e-12) return 0;
    return xy / std::sqrt(xx * yy);
}

std::vector<float> decimate(const std::vector<float>& x, int by)
{
    std::vector<float> d(x.size() / size_t(by));
    for (size_t i = 0; i < d.size(); ++i) {
        float s = 0;
        for (int k = 0; k < by; ++k) s += x[i * size_t(by) + size_t(k)];
        d[i] = s / float(by);
    }
    return d;
}

// the lag in [lo, hi] (in y frames relative to a) that best matches x[a, a+n) against y
std::pair<int64_t, double> bestLag(const std::vector<float>& x, int64_t a, const std::vector<float>& y, int64_t n,
                                   int64_t lo, int64_t hi)
{
    int64_t best = lo;
    double bestC = -2;
    for (int64_t lag = lo; lag <= hi; ++lag) {
        const double c = ncorr(x, a, y, a + lag, n);
        if (c > bestC) {
            bestC = c;
            best = lag;
        }
    }
    return {best, bestC};
}

// The lag in [lo, hi] at which x[a, a+n) best matches x itself: coarse on `d`, x's 4:1 copy,
// then to the frame around the coarse one.
std::pair<int64_t, double> lagOnItself(const std::vector<float>& x, const std::vector<float>& d, int64_t a, int64_t n,
                                       int64_t lo, int64_t hi)
{
    const int64_t coarse = bestLag(d, a / 4, d, n / 4, lo / 4, hi / 4).first;
    return bestLag(x, a, x, n, coarse * 4 - 8, coarse * 4 + 8);
}

// The normalised correlation of x[a, a+n) with y[a+lag, a+lag+n) for every lag in [lo, hi],
// through one FFT of each; 0 where y's stretch leaves y or is far quieter than x's.
std::vector<double> correlationOverLags(const std::vector<float>& x, int64_t a, int64_t n, const std::vector<float>& y,
                                        int64_t lo, int64_t hi)
{
    std::vector<double> c(size_t(std::max<int64_t>(0, hi - lo + 1)), 0.0);
    if (c.empty() || n <= 0 || a < 0 || a + n > int64_t(x.size())) return c;
    const int64_t m = hi - lo + n;  // y[a + lo, a + hi + n)
    int64_t size = 2;
    while (size < m) size *= 2;
    std::vector<float> xs(size_t(size), 0.0f), ys(size_t(size), 0.0f);
    double xx = 0;
    for (int64_t i = 0; i < n; ++i) {
        xs[size_t(i)] = x[size_t(a + i)];
        xx += double(xs[size_t(i)]) * xs[size_t(i)];
    }
    std::vector<double> energy(size_t(m) + 1, 0.0);  // running sum of ys squared
    for (int64_t j = 0; j < m; ++j) {
        const int64_t at = a + lo + j;
        if (at >= 0 && at < int64_t(y.size())) ys[size_t(j)] = y[size_t(at)];
        energy[size_t(j) + 1] = energy[size_t(j)] + double(ys[size_t(j)]) * ys[size_t(j)];
    }
    if (xx <= 0) return c;
    const Plan forward(kiss_fftr_alloc(int(size), 0, nullptr, nullptr), kiss_fftr_free);
    const Plan inverse(kiss_fftr_alloc(int(size), 1, nullptr, nullptr), kiss_fftr_free);
    if (!forward || !inverse) return c;
    std::vector<kiss_fft_cpx> fx(size_t(size) / 2 + 1), fy(fx.size());
    kiss_fftr(kiss_fftr_cfg(forward.get()), xs.data(), fx.data());
    kiss_fftr(kiss_fftr_cfg(forward.get()), ys.data(), fy.data());
    for (size_t k = 0; k < fx.size(); ++k) {
        const std::complex<float> p =
            std::conj(std::complex<float>(fx[k].r, fx[k].i)) * std::complex<float>(fy[k].r, fy[k].i);
        fy[k] = {p.real(), p.imag()};
    }
    kiss_fftri(kiss_fftr_cfg(inverse.get()), fy.data(), ys.data());  // ys[k]: sum of x[i] y[k + i], times size
    for (int64_t k = 0; k <= hi - lo; ++k) {
        const int64_t at = a + lo + k;
        if (at < 0 || at + n > int64_t(y.size())) continue;
        // a stretch 40 dB below x is no match of it (there the transform's rounding would rule)
        const double yy = energy[size_t(k + n)] - energy[size_t(k)];
        if (yy > 1e-4 * xx)
            c[size_t(k)] = std::clamp(double(ys[size_t(k)]) / double(size) / std::sqrt(xx * yy), -1.0, 1.0);
    }
    return c;
}

// How many frames of [from, to) the spans cover.
int64_t coveredFrames(const Spans& spans, int64_t from, int64_t to)
{
    std::vector<Span> in;
    for (const Span& x : spans)
        if (x.from < to && from < x.to) in.push_back({std::max(x.from, from), std::min(x.to, to)});
    std::sort(in.begin(), in.end(), [](const Span& a, const Span& b) { return a.from < b.from; });
    int64_t covered = 0, reached = from;
    for (const Span& x : in) {
        if (x.to <= reached) continue;
        covered += x.to - std::max(x.from, reached);
        reached = x.to;
    }
    return covered;
}

}  // namespace

bool touches(const Spans& spans, int64_t from, int64_t to)
{
    for (const Span& s : spans)
        if (s.from < to && from < s.to) return true;
    return false;
}

std::vector<float> channelOf(const std::vector<float>& interleaved, int channels, int channel)
{
    std::vector<float> c(interleaved.size() / size_t(channels));
    for (size_t i = 0; i < c.size(); ++i) c[i] = interleaved[i * size_t(channels) + size_t(channel)];
    return c;
}

std::vector<float> mixOf(const std::vector<float>& a, const std::vector<float>& b)
{
    std::vector<float> m(std::min(a.size(), b.size()));
    for (size_t i = 0; i < m.size(); ++i) m[i] = 0.5f * (a[i] + b[i]);
    return m;
}

std::vector<float> bandpass(const std::vector<float>& x, int rate, double lowHz, double highHz)
{
    std::vector<Biquad> chain;
    for (int i = 0; i < 2; ++i) {
        if (lowHz > 0) chain.push_back(Biquad::make(rate, lowHz, true));
        if (highHz > 0) chain.push_back(Biquad::make(rate, highHz, false));
    }
    std::vector<float> y(x.size());
    for (size_t i = 0; i < x.size(); ++i) {
        double v = x[i];
        for (Biquad& q : chain) v = q.run(v);
        y[i] = float(v);
    }
    return y;
}

std::vector<double> onsets(const std::vector<float>& x, int rate, double floorDb, double minGapS)
{
    const double release = std::exp(-1.0 / (0.01 * rate));
    const size_t block = size_t(std::max(1, rate / 1000));
    // the peak envelope's maximum per 1 ms block
    std::vector<double> b(x.size() / block, 0.0);
    double env = 0;
    for (size_t i = 0; i < b.size() * block; ++i) {
        env = std::max(double(std::fabs(x[i])), env * release);
        b[i / block] = std::max(b[i / block], env);
    }
    // what lies far below the loudest hits of the band is another instrument's leak
    double loudest = 0;
    for (double v : b) loudest = std::max(loudest, v);
    const double floor = std::max(std::pow(10.0, floorDb / 20), loudest * std::pow(10.0, -12.0 / 20));
    std::vector<double> out;
    const size_t gap = size_t(minGapS * 1000), look = 30, before = 10;
    for (size_t k = before; k + look < b.size(); ++k) {
        const double base = b[k - before];
        if (b[k] < floor || b[k] < 2 * base) continue;
        double peak = 0;
        for (size_t j = k; j < k + look; ++j) peak = std::max(peak, b[j]);
        const double level = std::max(peak / 2, 2 * base);
        const size_t from = (k - 5) * block, to = (k + look) * block;
        for (size_t i = from; i < to; ++i)
            if (std::fabs(x[i]) >= level) {
                out.push_back(double(i) / rate);
                break;
            }
        k += gap;
    }
    return out;
}

Drift onsetDrift(const std::vector<double>& a, const std::vector<double>& b, double fromS, double toS, double pairS)
{
    std::vector<double> times, offsets;
    for (double t : a) {
        if (t < fromS || t >= toS) continue;
        const auto it = std::lower_bound(b.begin(), b.end(), t);
        double best = 1e9;
        if (it != b.end()) best = *it - t;
        if (it != b.begin() && std::fabs(*(it - 1) - t) < std::fabs(best)) best = *(it - 1) - t;
        if (std::fabs(best) <= pairS) {
            times.push_back(t);
            offsets.push_back(best * 1000);
        }
    }
    Drift d;
    d.pairs = int(offsets.size());
    if (offsets.empty()) return d;
    d.offsetMs = median(offsets);
    // the trend of the offset: the median of the slopes between pairs at least a second apart
    // (a few onsets of one instrument paired with another's shift the offset by a constant and
    // would bend an end-to-end difference), over the time the pairs span
    std::vector<double> slopes;
    for (size_t i = 0; i < times.size(); ++i)
        for (size_t j = i + 1; j < times.size(); ++j)
            if (times[j] - times[i] >= 1.0) slopes.push_back((offsets[j] - offsets[i]) / (times[j] - times[i]));
    if (!slopes.empty()) d.driftMs = median(slopes) * (times.back() - times.front());
    const auto [lo, hi] = std::minmax_element(offsets.begin(), offsets.end());
    d.spreadMs = *hi - *lo;
    return d;
}

double levelDb(const std::vector<float>& x, int64_t from, int64_t to)
{
    from = std::max<int64_t>(0, from);
    to = std::min<int64_t>(int64_t(x.size()), to);
    if (to <= from) return -200;
    double e = 0;
    for (int64_t i = from; i < to; ++i) e += double(x[size_t(i)]) * x[size_t(i)];
    e /= double(to - from);
    return e <= 1e-20 ? -200 : 10 * std::log10(e);
}

double medianLevelDb(const std::vector<float>& x, int64_t from, int64_t to, int64_t block)
{
    std::vector<double> levels;
    for (int64_t at = from; block > 0 && at + block <= to; at += block) levels.push_back(levelDb(x, at, at + block));
    if (levels.empty()) return levelDb(x, from, to);
    std::sort(levels.begin(), levels.end());
    const size_t n = levels.size();
    return n % 2 ? levels[n / 2] : (levels[n / 2 - 1] + levels[n / 2]) / 2;
}

double spectrumBandDb(const std::vector<float>& x, int rate, int64_t from, int64_t to, double lowHz, double highHz,
                      const Spans& skipped)
{
    constexpr int64_t kWindow = 8192, kHop = kWindow / 2;
    const double none = std::numeric_limits<double>::quiet_NaN();
    from = std::max<int64_t>(0, from);
    to = std::min<int64_t>(int64_t(x.size()), to);
    const Plan forward(kiss_fftr_alloc(int(kWindow), 0, nullptr, nullptr), kiss_fftr_free);
    if (!forward) return none;
    std::vector<float> window(size_t{kWindow}), xs(size_t{kWindow});
    for (int64_t i = 0; i < kWindow; ++i)
        window[size_t(i)] = float(0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(kWindow)));
    std::vector<kiss_fft_cpx> f(size_t{kWindow} / 2 + 1);
    const double hzPerBin = double(rate) / double(kWindow);
    const auto first = size_t(std::ceil(lowHz / hzPerBin)), last = std::min(f.size() - 1, size_t(highHz / hzPerBin));
    double sum = 0;
    int windows = 0;
    for (int64_t at = from; at + kWindow <= to; at += kHop) {
        if (touches(skipped, at, at + kWindow)) continue;
        for (int64_t i = 0; i < kWindow; ++i) xs[size_t(i)] = x[size_t(at + i)] * window[size_t(i)];
        kiss_fftr(kiss_fftr_cfg(forward.get()), xs.data(), f.data());
        for (size_t k = first; k <= last; ++k) sum += double(f[k].r) * f[k].r + double(f[k].i) * f[k].i;
        ++windows;
    }
    if (windows == 0) return none;
    // Parseval with the window's mean square (3/8): the band's share of the mean square
    const double e = sum * 2.0 / (double(kWindow) * double(kWindow) * 0.375) / windows;
    return e <= 1e-20 ? -200 : 10 * std::log10(e);
}

std::optional<std::vector<int64_t>> loopPassLengths(const std::vector<float>& x, int64_t from, int64_t approxLen,
                                                    int passes, const Spans& skipped)
{
    const int64_t n = std::min<int64_t>(approxLen / 2, 11025);
    // an xrun loses or repeats up to a few periods of what was heard
    constexpr int64_t kNear = 16, kAcrossXrun = 4096;
    const int64_t lo = approxLen * 92 / 100, hi = approxLen * 108 / 100;
    constexpr int kStarts = 20;
    if (n <= 0 || from + approxLen + passes * hi + n + kAcrossXrun > int64_t(x.size())) return std::nullopt;
    // The period, measured from stretches a twentieth of a pass apart (coarse on a 4:1 copy,
    // then to the frame): any stretch of a loop repeats, but one across an xrun measures a
    // period a few periods of the server off, and an xrun is not always counted where its
    // frames went. The period most of the stretches clear of xruns agree on wins (of all of
    // them, when fewer than three are clear), and the first stretch that measured it starts.
    const std::vector<float> d = decimate(x, 4);
    struct Measure {
        int64_t period, start;
        bool clear;
    };
    std::vector<Measure> found;
    for (int i = 0; i < kStarts; ++i) {
        const int64_t start = from + approxLen * i / kStarts;
        const auto [p, c] = lagOnItself(x, d, start, n, lo, hi);
        if (c >= 0.9) found.push_back({p, start, !touches(skipped, start, start + p + n)});
    }
    if (found.size() * 2 < size_t{kStarts}) return std::nullopt;
    const bool byClear = std::count_if(found.begin(), found.end(), [](const Measure& m) { return m.clear; }) >= 3;
    std::erase_if(found, [&](const Measure& m) { return byClear && !m.clear; });
    int64_t period = 0;
    size_t agreeing = 0;
    for (const Measure& m : found) {
        const auto near = size_t(std::count_if(found.begin(), found.end(),
                                               [&](const Measure& o) { return std::abs(o.period - m.period) <= 2; }));
        if (near > agreeing) {
            agreeing = near;
            period = m.period;
            from = m.start;
        }
    }
    if (agreeing * 2 <= found.size()) return std::nullopt;
    std::vector<int64_t> lengths;
    int64_t last = from;
    for (int k = 1; k <= passes; ++k) {
        // the template stays the first pass: a fractional period then shows as lengths one
        // frame apart, never as an error that adds up
        const int64_t expected = last + period;
        const bool clear = !touches(skipped, last, expected + kAcrossXrun + n);
        const int64_t lagLo = expected - from - (clear ? kNear : kAcrossXrun);
        const int64_t lagHi = expected - from + (clear ? kNear : kAcrossXrun);
        const auto [lag, bc] = clear ? bestLag(x, from, x, n, lagLo, lagHi) : lagOnItself(x, d, from, n, lagLo, lagHi);
        if (bc < 0.9) return std::nullopt;
        const int64_t best = from + lag;
        if (clear) lengths.push_back(best - last);
        last = best;
    }
    return lengths;
}

double tailEnergy(const std::vector<float>& x, int rate, const std::vector<double>& onsetsS, double afterS,
                  double untilS)
{
    if (onsetsS.empty()) return 0;
    double tail = 0;
    int64_t tailN = 0;
    for (double t : onsetsS) {
        const int64_t a = int64_t((t + afterS) * rate), b = std::min<int64_t>(int64_t((t + untilS) * rate), int64_t(x.size()));
        for (int64_t i = std::max<int64_t>(0, a); i < b; ++i) tail += double(x[size_t(i)]) * x[size_t(i)];
        tailN += std::max<int64_t>(0, b - std::max<int64_t>(0, a));
    }
    const int64_t from = int64_t(onsetsS.front() * rate), to = std::min<int64_t>(int64_t((onsetsS.back() + untilS) * rate), int64_t(x.size()));
    double all = 0;
    for (int64_t i = std::max<int64_t>(0, from); i < to; ++i) all += double(x[size_t(i)]) * x[size_t(i)];
    if (tailN == 0 || to <= from || all <= 0) return 0;
    return (tail / double(tailN)) / (all / double(to - from));
}

std::vector<WindowMatch> windowCorrelation(const std::vector<float>& rec, const std::vector<float>& out, int rate,
                                           double windowS, const LagRange& lags, const Spans& skip)
{
    constexpr int kBy = 8;               // the coarse copies' decimation
    constexpr double kCoarseNear = 0.05;  // coarse peaks this close to the best are tried at full rate
    constexpr size_t kTried = 16;
    constexpr double kNear = 0.005;       // full-rate matches this close to the best count as equal
    std::vector<WindowMatch> result;
    const int64_t w = int64_t(windowS * rate);
    if (w <= 0 || lags.hi < lags.lo) return result;
    // low-passed first: what is left moves little between the coarse copies' grid points
    const std::vector<float> dr = decimate(bandpass(rec, rate, 0, 1200), kBy);
    const std::vector<float> dout = decimate(bandpass(out, rate, 0, 1200), kBy);
    const int64_t lo = lags.lo / kBy - 1, hi = lags.hi / kBy + 1;
    int64_t previous = lags.start, lastAt = 0;
    bool aligned = false;
    for (int64_t at = 0; at + w <= int64_t(rec.size()); at += w) {
        WindowMatch m;
        m.atS = double(at) / rate;
        if (levelDb(rec, at, at + w) < -60) {
            m.skipped = true;
            result.push_back(m);
            continue;
        }
        const std::vector<double> coarse = correlationOverLags(dr, at / kBy, w / kBy, dout, lo, hi);
        const double top = coarse.empty() ? 0 : *std::max_element(coarse.begin(), coarse.end());
        std::vector<std::pair<double, int64_t>> peaks;  // (coarse correlation, lag in full frames)
        for (size_t k = 0; k < coarse.size(); ++k) {
            const bool peak =
                (k == 0 || coarse[k] >= coarse[k - 1]) && (k + 1 == coarse.size() || coarse[k] > coarse[k + 1]);
            if (peak && coarse[k] >= top - kCoarseNear) peaks.push_back({coarse[k], (lo + int64_t(k)) * kBy});
        }
        // the best, then those nearest the previous lag
        std::sort(peaks.begin(), peaks.end(), [](const auto& p, const auto& q) { return p.first > q.first; });
        if (peaks.size() > 1)
            std::sort(peaks.begin() + 1, peaks.end(), [&](const auto& p, const auto& q) {
                return std::llabs(p.second - previous) < std::llabs(q.second - previous);
            });
        if (peaks.size() > kTried) peaks.resize(kTried);
        std::vector<std::pair<int64_t, double>> fine;
        if (aligned) fine.push_back(bestLag(rec, at, out, w, previous - kBy - 4, previous + kBy + 4));
        for (const auto& p : peaks) fine.push_back(bestLag(rec, at, out, w, p.second - kBy - 4, p.second + kBy + 4));
        double best = -2;
        for (const auto& f : fine) best = std::max(best, f.second);
        m.corr = best;
        int64_t nearest = std::numeric_limits<int64_t>::max();
        for (const auto& [lag, c] : fine)
            if (c >= best - kNear && std::llabs(lag - previous) < nearest) {
                nearest = std::llabs(lag - previous);
                m.lag = lag;
                m.corr = c;
            }
        m.skipped = touches(skip, at + m.lag, at + m.lag + w) ||
                    (aligned && touches(skip, at + previous, at + previous + w));
        // the lag moves only where frames went missing or were repeated: near a skipped span
        const int64_t allowed = 64 + coveredFrames(skip, lastAt + previous, at + w + std::max(previous, m.lag));
        m.jumped = aligned && !m.skipped && std::llabs(m.lag - previous) > allowed;
        if (!m.skipped && m.corr > 0.5) {
            aligned = true;
            previous = m.lag;
            lastAt = at;
        }
        result.push_back(m);
    }
    return result;
}

double longestSilenceS(const std::vector<float>& x, int rate, int64_t from, int64_t to, double thresholdDb,
                       const Spans& skip)
{
    const int64_t block = rate / 100;
    to = std::min<int64_t>(to, int64_t(x.size()));
    int64_t run = 0, longest = 0;
    for (int64_t at = std::max<int64_t>(0, from); at + block <= to; at += block) {
        const bool silent = !touches(skip, at, at + block) && levelDb(x, at, at + block) < thresholdDb;
        run = silent ? run + block : 0;
        longest = std::max(longest, run);
    }
    return double(longest) / rate;
}

std::string presenceSequence(const std::vector<float>& bandA, const std::vector<float>& bandB, int rate,
                             double thresholdDb, int minRunS)
{
    std::vector<std::pair<std::string, int>> runs;
    const int64_t n = int64_t(std::min(bandA.size(), bandB.size()));
    for (int64_t at = 0; at + rate <= n; at += rate) {
        const bool a = levelDb(bandA, at, at + rate) > thresholdDb, b = levelDb(bandB, at, at + rate) > thresholdDb;
        const std::string label = a && b ? "AB" : a ? "A" : b ? "B" : "-";
        if (!runs.empty() && runs.back().first == label) ++runs.back().second;
        else runs.push_back({label, 1});
    }
    std::vector<std::string> kept;
    for (const auto& [label, len] : runs)
        if (len >= minRunS && (kept.empty() || kept.back() != label)) kept.push_back(label);
    std::string s;
    for (const std::string& k : kept) s += (s.empty() ? "" : " ") + k;
    return s;
}

std::vector<Stretch> leadingStretches(const std::vector<float>& bandA, const std::vector<float>& bandB, int rate,
                                      double leadDb, double floorDb, int minRunS, const Spans& skip)
{
    // each band's level per second, and its loudest second
    const int64_t n = int64_t(std::min(bandA.size(), bandB.size()));
    std::vector<double> la, lb;
    double topA = -200, topB = -200;
    for (int64_t at = 0; at + rate <= n; at += rate) {
        la.push_back(levelDb(bandA, at, at + rate));
        lb.push_back(levelDb(bandB, at, at + rate));
        if (touches(skip, at, at + rate)) continue;
        topA = std::max(topA, la.back());
        topB = std::max(topB, lb.back());
    }
    // runs of one label; a skipped second belongs to no run and splits none
    std::vector<Stretch> runs;
    std::vector<int> counted;  // each run's seconds that were judged
    for (size_t i = 0; i < la.size(); ++i) {
        const int64_t at = int64_t(i) * rate;
        if (touches(skip, at, at + rate)) continue;
        const double lead = (la[i] - topA) - (lb[i] - topB);
        char band = '-';
        if (std::max(la[i], lb[i]) > floorDb) band = lead >= leadDb ? 'A' : -lead >= leadDb ? 'B' : '-';
        const double s = double(i);
        if (!runs.empty() && runs.back().band == band) {
            runs.back().toS = s + 1;
            ++counted.back();
        } else {
            runs.push_back({band, s, s + 1, 0});
            counted.push_back(1);
        }
    }
    std::vector<Stretch> kept;
    for (size_t i = 0; i < runs.size(); ++i) {
        const Stretch& r = runs[i];
        if (r.band == '-' || counted[i] < minRunS) continue;
        if (!kept.empty() && kept.back().band == r.band) kept.back().toS = r.toS;
        else kept.push_back(r);
    }
    for (Stretch& k : kept) {
        const std::vector<float>& x = k.band == 'A' ? bandA : bandB;
        const std::vector<float> part(x.begin() + int64_t(k.fromS * rate), x.begin() + int64_t(k.toS * rate));
        const std::vector<double> o = onsets(part, rate, floorDb, 0.2);
        std::vector<double> gaps;
        for (size_t i = 1; i < o.size(); ++i) gaps.push_back(o[i] - o[i - 1]);
        if (gaps.empty()) continue;
        std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
        k.bpm = 60.0 / gaps[gaps.size() / 2];
    }
    return kept;
}

namespace {

// Whether both accesses of the ThreadSanitizer report starting at `from` are made in Qt's own
// code: the first frame of each access stack that is not the sanitizer's interceptor lies in a
// Qt library. An access whose stack the sanitizer lost counts as Qt's only when the memory is a
// heap block Qt allocated or frees.
bool qtInternalRace(const std::vector<std::string>& lines, size_t from)
{
    int known = 0, inQt = 0, lost = 0;
    bool blockInQt = false;
    // the first frame below `at` that is not the sanitizer's: 1 in Qt, 0 elsewhere, -1 none
    const auto firstFrameInQt = [&](size_t at) {
        for (size_t j = at + 1; j < lines.size() && lines[j].rfind("    ", 0) == 0; ++j) {
            if (lines[j].find("[failed to restore the stack]") != std::string::npos) return -1;
            if (lines[j].find("libtsan.so") != std::string::npos) continue;
            return lines[j].find("(libQt6") != std::string::npos ? 1 : 0;
        }
        return -1;
    };
    for (size_t i = from + 1; i < lines.size() && lines[i].find("SUMMARY:") == std::string::npos; ++i) {
        const std::string& l = lines[i];
        if (l.rfind("  Location is heap block", 0) == 0) blockInQt = firstFrameInQt(i) == 1;
        const bool access = l.rfind("  Read of", 0) == 0 || l.rfind("  Write of", 0) == 0 ||
                            l.rfind("  Atomic", 0) == 0 || l.rfind("  Previous", 0) == 0;
        if (!access) continue;
        const int q = firstFrameInQt(i);
        if (q < 0) ++lost;
        else ++known, inQt += q;
        // Qt freeing a block is Qt's block
        if (q == 1 && i + 1 < lines.size() &&
            (lines[i + 1].find("operator delete") != std::string::npos || lines[i + 1].find(" free ") != std::string::npos))
            blockInQt = true;
    }
    return known >= 1 && inQt == known && (lost == 0 || blockInQt);
}

}  // namespace

std::vector<std::string> stderrFaults(const std::string& text, bool qtInternal)
{
    std::vector<std::string> lines;
    {
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
    }
    static const char* const marks[] = {
        "AddressSanitizer", "ThreadSanitizer", "LeakSanitizer", "UndefinedBehaviorSanitizer", "MemorySanitizer",
        "runtime error:", "ASSERT:", "ASSERT failure", "Assertion", "another thread", "different thread",
        "outside the GUI thread"};
    std::vector<std::string> found;
    bool skipping = false;  // inside a race report of Qt's own
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.find("WARNING: ThreadSanitizer: data race") != std::string::npos)
            skipping = !qtInternal && qtInternalRace(lines, i);
        if (skipping) {
            if (line.find("SUMMARY:") != std::string::npos) skipping = false;
            continue;
        }
        // the closing tally: each report above it was judged on its own
        if (line.find("ThreadSanitizer: reported ") != std::string::npos) continue;
        for (const char* m : marks)
            if (line.find(m) != std::string::npos) {
                found.push_back(line);
                break;
            }
    }
    return found;
}

}  // namespace e2e
