#include "platform/bpm/tempoanalyser.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr double kTargetRate = 11025;  // the analysis runs on the signal decimated to about this
constexpr size_t kFrame = 256;
constexpr size_t kHop = 128;
constexpr size_t kBins = kFrame / 2 + 1;
constexpr size_t kLowTop = 5;    // bins below: up to ~200 Hz (kick, bass)
constexpr size_t kMidTop = 46;   // up to ~2 kHz (snare body, chords)
constexpr double kMinSeconds = 6;
constexpr double kMinBpm = 30, kMaxBpm = 300;

// OSTREL_BPM_DEBUG set: the candidates and decisions go to stderr (for the benchmark's misses).
bool debugOn()
{
    static const bool on = std::getenv("OSTREL_BPM_DEBUG") != nullptr;
    return on;
}

}  // namespace

// Radix-2 complex FFT of kFrame / 2 points; a real frame of kFrame samples is packed into it
// as even and odd samples and separated afterwards. Twiddles computed once.
struct TempoAnalyser::Fft {
    static constexpr size_t N = kFrame / 2;
    std::vector<float> twr, twi, re, im, outRe, outIm, postR, postI;
    std::vector<size_t> rev;
    Fft() : twr(N / 2), twi(N / 2), re(N), im(N), outRe(kBins), outIm(kBins), postR(N), postI(N), rev(N)
    {
        for (size_t i = 0; i < N / 2; ++i) {
            twr[i] = float(std::cos(2 * M_PI * double(i) / N));
            twi[i] = float(-std::sin(2 * M_PI * double(i) / N));
        }
        for (size_t k = 0; k < N; ++k) {
            postR[k] = float(std::cos(2 * M_PI * double(k) / kFrame));
            postI[k] = float(-std::sin(2 * M_PI * double(k) / kFrame));
        }
        size_t bits = 0;
        while ((size_t(1) << bits) < N) ++bits;
        for (size_t i = 0; i < N; ++i) {
            size_t r = 0;
            for (size_t b = 0; b < bits; ++b)
                if (i & (size_t(1) << b)) r |= size_t(1) << (bits - 1 - b);
            rev[i] = r;
        }
    }
    // x: kFrame real samples; fills outRe/outIm with bins 0..kFrame/2.
    void run(const float* x)
    {
        for (size_t i = 0; i < N; ++i) {
            re[rev[i]] = x[2 * i];
            im[rev[i]] = x[2 * i + 1];
        }
        for (size_t len = 2; len <= N; len <<= 1) {
            const size_t half = len / 2, step = N / len;
            for (size_t i = 0; i < N; i += len)
                for (size_t j = 0; j < half; ++j) {
                    const size_t a = i + j, b = a + half;
                    const float wr = twr[j * step], wi = twi[j * step];
                    const float tr = re[b] * wr - im[b] * wi, ti = re[b] * wi + im[b] * wr;
                    re[b] = re[a] - tr;
                    im[b] = im[a] - ti;
                    re[a] += tr;
                    im[a] += ti;
                }
        }
        for (size_t k = 0; k <= N; ++k) {
            const size_t k1 = k % N, k2 = (N - k) % N;
            // even part E = (Z[k] + conj Z[N-k]) / 2, odd part O = (Z[k] - conj Z[N-k]) / 2i
            const float er = 0.5f * (re[k1] + re[k2]), ei = 0.5f * (im[k1] - im[k2]);
            const float or_ = 0.5f * (im[k1] + im[k2]), oi = -0.5f * (re[k1] - re[k2]);
            const float wr = k < N ? postR[k] : -1.0f, wi = k < N ? postI[k] : 0.0f;
            outRe[k] = er + or_ * wr - oi * wi;
            outIm[k] = ei + or_ * wi + oi * wr;
        }
    }
};

namespace {

// log2 to about 1e-3, enough for a compressed magnitude.
inline float fastLog2(float x)
{
    uint32_t bits;
    std::memcpy(&bits, &x, 4);
    const float e = float(int((bits >> 23) & 0xff) - 128);
    bits = (bits & 0x007fffffu) | 0x3f800000u;
    float m;
    std::memcpy(&m, &bits, 4);
    return e + (-0.34484843f * m + 2.02466578f) * m - 0.67487759f;
}

}  // namespace

TempoAnalyser::TempoAnalyser() : fft_(new Fft)
{
    window_.resize(kFrame);
    for (size_t i = 0; i < kFrame; ++i)
        window_[i] = float(0.5 - 0.5 * std::cos(2 * M_PI * double(i) / kFrame));
    start(2, 44100);
}

TempoAnalyser::~TempoAnalyser() { delete fft_; }

void TempoAnalyser::start(int channels, int rate)
{
    channels_ = std::max(1, channels);
    if (rate < 1000 || rate > 400000) rate = 44100;
    decimation_ = std::max(1, int(std::lround(rate / kTargetRate)));
    frameRate_ = double(rate) / decimation_ / kHop;
    pendingFrame_.clear();
    decimSum_ = 0;
    decimCount_ = 0;
    lowpass_ = 0;
    ring_.assign(kFrame, 0.0f);
    prevLog_.assign(kBins, 0.0f);
    ringFill_ = 0;
    sinceHop_ = 0;
    low_.clear();
    mid_.clear();
    high_.clear();
    energy_ = 0;
    samples_ = 0;
}

void TempoAnalyser::feed(const int16_t* values, size_t count)
{
    if (!values || count == 0) return;
    const size_t ch = size_t(channels_);
    size_t i = 0;
    if (!pendingFrame_.empty()) {
        while (i < count && pendingFrame_.size() < ch) pendingFrame_.push_back(values[i++]);
        if (pendingFrame_.size() < ch) return;
        float s = 0;
        for (int16_t v : pendingFrame_) s += v;
        addSample(s / float(ch) / 32768.0f);
        pendingFrame_.clear();
    }
    if (ch == 2) {
        for (; i + 2 <= count; i += 2) addSample(float(int(values[i]) + values[i + 1]) * (0.5f / 32768.0f));
    }
    for (; i + ch <= count; i += ch) {
        float s = 0;
        for (size_t c = 0; c < ch; ++c) s += values[i + c];
        addSample(s / float(ch) / 32768.0f);
    }
    for (; i < count; ++i) pendingFrame_.push_back(values[i]);
}

void TempoAnalyser::addSample(float mono)
{
    decimSum_ += mono;
    if (++decimCount_ < decimation_) return;
    const float x = decimSum_ / float(decimation_);
    decimSum_ = 0;
    decimCount_ = 0;
    energy_ += double(x) * x;
    ++samples_;
    ring_[ringFill_ % kFrame] = x;
    ++ringFill_;
    if (++sinceHop_ >= kHop && ringFill_ >= kFrame) {
        sinceHop_ = 0;
        analyseFrame();
    }
}

void TempoAnalyser::analyseFrame()
{
    const size_t start = ringFill_ % kFrame;  // oldest sample
    float x[kFrame];
    const size_t first = kFrame - start;
    for (size_t i = 0; i < first; ++i) x[i] = ring_[start + i] * window_[i];
    for (size_t i = first; i < kFrame; ++i) x[i] = ring_[i - first] * window_[i];
    fft_->run(x);
    // compressed magnitude (log of 1 + 10^6 power, in half octaves) and its rise per bin,
    // written as plain array loops so that they vectorise
    float l[kBins], d[kBins];
    const float* re = fft_->outRe.data();
    const float* im = fft_->outIm.data();
    for (size_t k = 0; k < kBins; ++k) l[k] = 0.5f * fastLog2(1.0f + 1e6f * (re[k] * re[k] + im[k] * im[k]));
    float* prev = prevLog_.data();
    for (size_t k = 0; k < kBins; ++k) {
        d[k] = std::max(0.0f, l[k] - prev[k]);
        prev[k] = l[k];
    }
    float lo = 0, mi = 0, hi = 0;
    for (size_t k = 1; k < kLowTop; ++k) lo += d[k];
    for (size_t k = kLowTop; k < kMidTop; ++k) mi += d[k];
    for (size_t k = kMidTop; k < kBins; ++k) hi += d[k];
    low_.push_back(lo);
    mid_.push_back(mi);
    high_.push_back(hi);
}

namespace {

// Onset strength with the slow level taken off, negative parts dropped, scaled to unit RMS.
std::vector<float> detrend(const std::vector<float>& e, size_t half)
{
    const size_t n = e.size();
    std::vector<double> pre(n + 1, 0.0);
    for (size_t i = 0; i < n; ++i) pre[i + 1] = pre[i] + e[i];
    std::vector<float> o(n);
    double sq = 0;
    for (size_t i = 0; i < n; ++i) {
        const size_t a = i > half ? i - half : 0, b = std::min(n, i + half + 1);
        const double mean = (pre[b] - pre[a]) / double(b - a);
        o[i] = float(std::max(0.0, e[i] - mean));
        sq += double(o[i]) * o[i];
    }
    const double rms = std::sqrt(sq / double(std::max<size_t>(1, n)));
    if (rms > 0)
        for (float& v : o) v = float(v / rms);
    return o;
}

// Autocorrelation of x (mean removed) at lags 0..maxLag, divided by the overlap and by lag 0.
std::vector<double> autocorrelation(const std::vector<float>& x, size_t maxLag)
{
    const size_t n = x.size();
    double mean = 0;
    for (float v : x) mean += v;
    mean /= double(std::max<size_t>(1, n));
    std::vector<float> y(n);
    for (size_t i = 0; i < n; ++i) y[i] = float(x[i] - mean);
    std::vector<double> r(maxLag + 1, 0.0);
    for (size_t l = 0; l <= maxLag && l < n; ++l) {
        const float* a = y.data();
        const float* b = y.data() + l;
        const size_t m = n - l;
        double s = 0;
        for (size_t i0 = 0; i0 < m; i0 += 4096) {  // float partial sums, vectorised
            float part = 0;
            const size_t i1 = std::min(m, i0 + 4096);
            for (size_t i = i0; i < i1; ++i) part += a[i] * b[i];
            s += part;
        }
        r[l] = s / double(m);
    }
    const double r0 = r[0] > 0 ? r[0] : 1;
    for (double& v : r) v /= r0;
    return r;
}

double at(const std::vector<double>& r, double lag)
{
    if (lag < 0) return 0;
    const size_t i = size_t(lag);
    if (i + 1 >= r.size()) return 0;
    const double f = lag - double(i);
    return r[i] * (1 - f) + r[i + 1] * f;
}

// One autocorrelation value at an integer lag, for lags beyond the precomputed table.
double acfAt(const std::vector<float>& y, size_t lag)
{
    const size_t n = y.size();
    if (lag >= n) return 0;
    double s = 0;
    for (size_t i = 0; i + lag < n; ++i) s += double(y[i]) * y[i + lag];
    return s / double(n - lag);
}

}  // namespace

float TempoAnalyser::tempo() const
{
    const size_t n = low_.size();
    if (n < size_t(kMinSeconds * frameRate_)) return 0;
    const double rms = std::sqrt(energy_ / double(std::max<size_t>(1, samples_)));
    if (rms < 1e-4) return 0;  // silence (about -80 dB)

    const size_t half = size_t(frameRate_ * 0.25);
    const auto lo = detrend(low_, half), mi = detrend(mid_, half), hi = detrend(high_, half);
    std::vector<float> o(n);
    for (size_t i = 0; i < n; ++i) o[i] = lo[i] + mi[i] + 0.7f * hi[i];

    const double fr = frameRate_;
    const size_t maxLag = std::min(n - 1, size_t(fr * 60 / kMinBpm) + 2);
    const auto r = autocorrelation(o, maxLag);
    const size_t maxUnit = std::min(n - 1, size_t(fr * 6) + 2);
    // the drums' and bass' own pattern, without the hats' even grid that fits any multiple
    std::vector<float> body(n);
    for (size_t i = 0; i < n; ++i) body[i] = lo[i] + mi[i];
    const auto rb = autocorrelation(body, maxUnit);
    const auto rh = autocorrelation(hi, maxLag);

    auto period = [fr](double bpm) { return fr * 60.0 / bpm; };

    // The beat's family: the period whose multiples (bars of two, three or four beats) the
    // drums' and bass' own pattern repeats on best, leaning towards 120.
    double bestBpm = 0, bestScore = -1, bestRaw = 0;
    for (double b = 40; b <= 240; b += 0.25) {
        const double p = period(b);
        const double w = std::exp(-0.5 * std::pow(std::log2(b / 120.0) / 1.0, 2));
        const double bars = std::max(at(rb, 2 * p) + at(rb, 4 * p), at(rb, 3 * p) + at(rb, 6 * p));
        const double s = w * (2 * at(rb, p) + bars) / 4;
        // the beat shows in the whole onset envelope too, not only in the drums' pattern
        if (s > bestScore && at(r, p) > 0) {
            bestScore = s;
            bestBpm = b;
            bestRaw = at(r, p);
        }
    }
    if (debugOn()) {
        std::fprintf(stderr, "  family %.2f score %.3f\n", bestBpm, bestScore);
        if (const char* t = std::getenv("OSTREL_BPM_DEBUG_AT"))
            for (double q : {0.25, 0.5, 1.0, 2.0, 4.0}) {
                const double b = std::atof(t) * q, p = period(b);
                std::fprintf(stderr, "  at %.2f rb %.3f r %.3f rh %.3f\n", b, at(rb, p), at(r, p), at(rh, p));
            }
    }
    if (bestScore <= 0) return 0;

    // Beat level. Drums mark the beat's halves or quarters (eighth or sixteenth hats, off-beat
    // bass): the beat is half the fastest pulse the music keeps, unless that pulse is itself
    // swung (its thirds sound), then the pulse is the beat. Tempos above 185 are halved:
    // sixteenths at a fast tempo.
    const double keep = 0.25;  // of the strongest pulse: weaker ones are not kept
    static const double multiples[] = {1, 2, 3, 4, 6, 8};
    // a triple division counts only when it is strong: a swung beat's thirds are weak
    double fastest = bestBpm, hiMax = 0;
    for (double q : multiples)
        if (bestBpm * q <= 700 && bestBpm * q >= 40) hiMax = std::max(hiMax, at(rh, period(bestBpm * q)));
    for (double q : multiples) {
        const double b = bestBpm * q;
        if (b > 700 || b < 40) continue;
        const double v = at(r, period(b)), vh = at(rh, period(b));
        if (debugOn()) std::fprintf(stderr, "  pulse %.2f r %.3f hi %.3f\n", b, v, vh);
        const double need = int(q) % 3 == 0 ? std::max(keep, 0.5) : keep;
        if (b > fastest && (v >= need * bestRaw || vh >= need * hiMax)) fastest = b;
    }
    const double pf = period(fastest);
    // swing: both thirds of the pulse sound in the hats or ride, its half does not
    const double third = std::min(at(rh, pf / 3), at(rh, pf * 2 / 3)), halfp = at(rh, pf / 2);
    const bool swung = third > 0.02 && third > halfp;
    // Nothing faster than the pulse in a clear metre of three: the pulse is the beat (a waltz
    // without eighths); in two or four it is taken as the eighths of a slower beat.
    const double pb = period(bestBpm);
    const double threes = at(rb, 3 * pb) + at(rb, 6 * pb), twos = at(rb, 2 * pb) + at(rb, 4 * pb);
    const bool triple = threes > 1.2 * twos;
    // A weak division in three of a pulse in the beat range is the beat's triplets (a jazz
    // waltz's ride, 6/8's eighths): the pulse is the beat. An even grid of eighths shows as
    // strongly as the pulse and means the pulse was two thirds of the beat.
    const bool triplets = std::lround(fastest / bestBpm) % 3 == 0 && bestBpm >= 60 &&
                          at(r, pf) < 0.35 * bestRaw;
    double chosen = fastest / 2;
    if (swung || (fastest == bestBpm && triple))
        chosen = fastest;
    else if (triplets)
        chosen = bestBpm;
    while (chosen > 185) chosen /= 2;
    if (debugOn())
        std::fprintf(stderr, "  fastest %.2f third %.3f half %.3f swung %d triple %.3f/%.3f\n", fastest, third, halfp,
                     int(swung), threes, twos);
    if (bestRaw < 0.05) return 0;  // no steady beat (noise)

    // Refine the period on ever longer multiples of the beat: the autocorrelation peak near
    // m beats is found to a fraction of a frame, which gives the period to a fraction / m.
    std::vector<float> y(o);
    {
        double mean = 0;
        for (float v : y) mean += v;
        mean /= double(n);
        for (float& v : y) v = float(v - mean);
    }
    double p = period(chosen);
    for (double m = 1; m * p < double(n) * 0.5; m *= 2) {
        const double centre = m * p;
        const long c = std::lround(centre);
        const long span = 2 + long(m == 1 ? p * 0.03 : 0);
        long bestLag = c;
        double bestV = -1e30;
        std::vector<double> vals;
        for (long l = c - span - 1; l <= c + span + 1; ++l) vals.push_back(l > 0 ? acfAt(y, size_t(l)) : -1e30);
        for (long l = c - span; l <= c + span; ++l) {
            const double v = vals[size_t(l - (c - span - 1))];
            if (v > bestV) {
                bestV = v;
                bestLag = l;
            }
        }
        const size_t k = size_t(bestLag - (c - span - 1));
        const double ym = vals[k - 1], y0 = vals[k], yp = vals[k + 1];
        const double den = ym - 2 * y0 + yp;
        const double off = den < 0 ? std::clamp(0.5 * (ym - yp) / den, -0.5, 0.5) : 0.0;
        const double np = (double(bestLag) + off) / m;
        if (std::fabs(np - p) > p * 0.02) break;  // lost the peak: keep what we have
        p = np;
    }
    // to 0.01 BPM, so that a tempo of exactly 150 does not come out a hair above it
    const double bpm = std::round(fr * 60.0 / p * 100) / 100;
    if (debugOn()) std::fprintf(stderr, "  best %.2f chosen %.2f refined %.3f\n", bestBpm, chosen, bpm);
    return float(std::clamp(bpm, kMinBpm, kMaxBpm));
}
