// The effect kernels measured on signals they process: gains in dB at band centres,
// echo delays to the sample, exact volumes, stability and resets.
#include "platform/sound/autowah.h"
#include "platform/sound/echo.h"
#include "platform/sound/flanger.h"
#include "platform/sound/peakingeq.h"
#include "platform/sound/reverb.h"
#include "platform/sound/volumeeffect.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <numbers>
#include <random>
#include <thread>
#include <vector>

using namespace sound;

namespace {

std::vector<float> sine(double freq, double rate, int frames, float amp = 0.5f)
{
    std::vector<float> v(size_t(frames) * 2);
    for (int i = 0; i < frames; ++i)
        v[2 * i] = v[2 * i + 1] = amp * float(std::sin(2 * std::numbers::pi * freq * i / rate));
    return v;
}

std::vector<float> noise(int frames, unsigned seed = 7)
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<float> d(-0.5f, 0.5f);
    std::vector<float> v(size_t(frames) * 2);
    for (float& s : v) s = d(gen);
    return v;
}

// in blocks of an awkward size, as an output callback would
void run(EffectKernel& k, std::vector<float>& v, int block = 333)
{
    const int frames = int(v.size() / 2);
    for (int at = 0; at < frames; at += block) k.process(v.data() + 2 * at, std::min(block, frames - at));
}

double rms(const std::vector<float>& v, int ch, int from, int to)
{
    double s = 0;
    for (int i = from; i < to; ++i) s += double(v[2 * i + ch]) * v[2 * i + ch];
    return std::sqrt(s / (to - from));
}

double db(double ratio) { return 20 * std::log10(ratio); }

// gain in dB of a steady sine through the kernel, measured after it settled
double sineGainDb(EffectKernel& k, double freq, double rate, int ch = 0)
{
    const int frames = int(rate * 2);
    auto in = sine(freq, rate, frames);
    auto out = in;
    run(k, out);
    return db(rms(out, ch, frames / 2, frames) / rms(in, ch, frames / 2, frames));
}

// the three bands a deck sets, only one of them away from 0 dB
void deckBands(PeakingEq& eq, int band, float gain)
{
    const float centres[3] = {125, 1000, 8000};
    for (int b = 0; b < 3; ++b) {
        PeakEqParams p;
        p.band = b;
        p.bandwidth = 2.5f;
        p.q = 0;
        p.centerHz = centres[b];
        p.gainDb = b == band ? gain : 0;
        ASSERT_TRUE(eq.setBand(p));
    }
}

}  // namespace

struct EqCase { int band; float centre; float gain; double rate; };

class PeakEqCentre : public ::testing::TestWithParam<EqCase> {};

TEST_P(PeakEqCentre, GainAtTheCentreIsTheSetGain)
{
    const EqCase c = GetParam();
    PeakingEq eq(c.rate);
    deckBands(eq, c.band, c.gain);
    const double measured = sineGainDb(eq, c.centre, c.rate);
    EXPECT_NEAR(measured, c.gain, 0.5) << "band " << c.band << " at " << c.rate << " Hz";
    if (c.gain <= -25) {
        EXPECT_LE(measured, -24.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Bands, PeakEqCentre, ::testing::Values(
    EqCase{0, 125, 10, 44100}, EqCase{0, 125, -15, 44100}, EqCase{0, 125, -25, 44100},
    EqCase{1, 1000, 6, 44100}, EqCase{1, 1000, -25, 44100}, EqCase{1, 1000, -7.5f, 48000},
    EqCase{2, 8000, 10, 44100}, EqCase{2, 8000, -20, 44100}, EqCase{2, 8000, -25, 48000},
    EqCase{0, 125, -25, 96000}, EqCase{2, 8000, 3, 22050}));

TEST(PeakEq, BandsAtZeroLeaveTheSoundUntouched)
{
    PeakingEq eq(44100);
    deckBands(eq, 0, 0);
    auto in = noise(10000);
    auto out = in;
    run(eq, out);
    EXPECT_EQ(in, out);
}

TEST(PeakEq, KilledBandLeavesTheOthersAlone)
{
    PeakingEq eq(44100);
    deckBands(eq, 0, -25);
    EXPECT_NEAR(sineGainDb(eq, 8000, 44100), 0, 0.5);
}

TEST(PeakEq, BandwidthInOctavesSetsTheHalfGainPoints)
{
    // with the cookbook's definition the band edges (gain halfway in dB) lie bandwidth/2
    // octaves each side of the centre
    for (float bw : {1.0f, 2.5f}) {
        PeakingEq eq(44100);
        PeakEqParams p;
        p.band = 0;
        p.bandwidth = bw;
        p.centerHz = 1000;
        p.gainDb = 12;
        ASSERT_TRUE(eq.setBand(p));
        const double edge = sineGainDb(eq, 1000 * std::exp2(-bw / 2), 44100);
        eq.reset();
        EXPECT_NEAR(edge, 6, 1.0) << "bandwidth " << bw;
    }
}

TEST(PeakEq, RecordsComeBackWhole)
{
    PeakingEq eq(44100);
    PeakEqParams p;
    p.band = 2;
    p.bandwidth = 1.5f;
    p.q = 0.7f;
    p.centerHz = 5000;
    p.gainDb = -4;
    p.channel = 1;
    ASSERT_TRUE(eq.setBand(p));
    PeakEqParams r;
    r.band = 2;
    ASSERT_TRUE(eq.getBand(r));
    EXPECT_EQ(r.band, 2);
    EXPECT_EQ(r.bandwidth, 1.5f);
    EXPECT_EQ(r.q, 0.7f);
    EXPECT_EQ(r.centerHz, 5000);
    EXPECT_EQ(r.gainDb, -4);
    EXPECT_EQ(r.channel, 1);
    r.band = PeakingEq::kBands;
    EXPECT_FALSE(eq.getBand(r));
    p.band = -1;
    EXPECT_FALSE(eq.setBand(p));
}

TEST(PeakEq, OneChannelOnly)
{
    PeakingEq eq(44100);
    PeakEqParams p;
    p.centerHz = 1000;
    p.gainDb = -12;
    p.bandwidth = 2.5f;
    p.channel = 1;
    ASSERT_TRUE(eq.setBand(p));
    const int frames = 88200;
    auto in = sine(1000, 44100, frames);
    auto out = in;
    run(eq, out);
    EXPECT_NEAR(db(rms(out, 1, frames / 2, frames) / rms(in, 1, frames / 2, frames)), -12, 0.5);
    EXPECT_EQ(rms(out, 0, 0, frames), rms(in, 0, 0, frames));
}

TEST(VolumeEffect, ScalesExactly)
{
    for (float v : {0.0f, 0.25f, 0.5f, 1.0f, 1.37f, 2.0f}) {
        VolumeEffect vol(44100);
        vol.set({v, -1});
        auto in = noise(4096);
        auto out = in;
        run(vol, out);
        for (size_t i = 0; i < in.size(); ++i) ASSERT_EQ(out[i], in[i] * v) << "volume " << v;
    }
}

TEST(VolumeEffect, LimitedToZeroToTwo)
{
    VolumeEffect vol(44100);
    vol.set({3.0f, -1});
    EXPECT_EQ(vol.get().volume, 2.0f);
    vol.set({-1.0f, -1});
    EXPECT_EQ(vol.get().volume, 0.0f);
}

TEST(VolumeEffect, OneChannelOnly)
{
    VolumeEffect vol(44100);
    vol.set({0.5f, 0});
    auto in = noise(1000);
    auto out = in;
    run(vol, out);
    for (size_t i = 0; i < 1000; ++i) {
        ASSERT_EQ(out[2 * i], in[2 * i] * 0.5f);
        ASSERT_EQ(out[2 * i + 1], in[2 * i + 1]);
    }
}

struct EchoCase { double rate; float delay; };

class EchoDelay : public ::testing::TestWithParam<EchoCase> {};

// An impulse comes out twice: at once (dry) and exactly the delay later (wet), and
// never again: the echo does not feed back.
TEST_P(EchoDelay, ExactToTheSampleWithoutFeedback)
{
    const EchoCase c = GetParam();
    Echo echo(c.rate);
    echo.set({0.8f, 0.6f, c.delay, -1});
    const int expected = int(std::lround(c.delay * c.rate));
    EXPECT_EQ(echo.delayFrames(), expected);
    const int at = 100;
    const int frames = at + 3 * expected + 1000;
    std::vector<float> v(size_t(frames) * 2, 0.0f);
    v[2 * at] = 1.0f;
    v[2 * at + 1] = -0.5f;
    run(echo, v, 256);
    for (int i = 0; i < frames; ++i) {
        float l = 0, r = 0;
        if (i == at) { l = 0.8f; r = -0.4f; }
        if (i == at + expected) { l += 0.6f; r += -0.3f; }
        ASSERT_EQ(v[2 * i], l) << "frame " << i;
        ASSERT_EQ(v[2 * i + 1], r) << "frame " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Delays, EchoDelay, ::testing::Values(
    EchoCase{44100, 0.25f}, EchoCase{44100, 0.5f}, EchoCase{44100, 1.0f / 3}, EchoCase{48000, 0.125f},
    EchoCase{44100, 2.0f}, EchoCase{22050, 0.0001f}, EchoCase{44100, 0.0f}));

TEST(Echo, LongDelaysAreLimited)
{
    Echo echo(44100);
    echo.set({1, 1, 60.0f, -1});
    EXPECT_EQ(echo.get().delay, float(Echo::kMaxDelaySeconds));
    EXPECT_EQ(echo.delayFrames(), int(Echo::kMaxDelaySeconds * 44100));
}

struct EchoResetCase {
    float delayBefore;
    int heardFrames;   // noise played before the reset
    float delayAfter;  // set after the reset
};

class EchoReset : public ::testing::TestWithParam<EchoResetCase> {};

// After a reset nothing heard before comes back, however far the line had wrapped and
// whatever delay follows; what is heard after it echoes at its delay.
TEST_P(EchoReset, ForgetsWhatItHeard)
{
    const EchoResetCase c = GetParam();
    const int rate = 44100;
    Echo echo(rate);
    echo.set({1, 1, c.delayBefore, -1});
    auto v = noise(c.heardFrames);
    run(echo, v);
    echo.reset();
    echo.set({1, 1, c.delayAfter, -1});
    const int delay = echo.delayFrames();
    std::vector<float> after(size_t(delay + rate) * 2, 0.0f);
    after[2 * size_t(rate / 2)] = 0.5f;
    run(echo, after);
    for (int i = 0; i < delay + rate; ++i) {
        const float expected = i == rate / 2 || i == rate / 2 + delay ? 0.5f : 0.0f;
        ASSERT_EQ(after[2 * size_t(i)], expected) << "frame " << i;
        ASSERT_EQ(after[2 * size_t(i) + 1], 0.0f) << "frame " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, EchoReset, ::testing::Values(
    EchoResetCase{0.1f, 2000, 0.1f}, EchoResetCase{1.0f, 3 * 44100, 1.0f}, EchoResetCase{0.1f, 9 * 44100, 5.0f},
    EchoResetCase{8.0f, 20 * 44100, 8.0f}, EchoResetCase{2.0f, 5 * 44100, 0.5f}));

TEST(Flanger, DryOnlyIsTransparentAndSweepStaysBounded)
{
    Flanger f(44100);
    f.set({0.0f, 1.0f, -1});
    auto in = noise(20000);
    auto out = in;
    run(f, out);
    EXPECT_EQ(in, out);

    Flanger g(44100);
    g.set({0.5f, 2.0f, -1});
    out = in;
    run(g, out);
    EXPECT_NE(in, out);
    for (float s : out) ASSERT_LE(std::fabs(s), 0.5f + 1e-6f);
}

// A flanger is a comb: at a fixed delay d, a sine of period 2d cancels. Sweeping, a
// tone's level goes up and down at the sweep speed.
TEST(Flanger, SweepsAtItsSpeed)
{
    const double rate = 44100;
    Flanger f(rate);
    f.set({0.5f, 1.0f, -1});
    const int frames = int(rate * 4);
    auto v = sine(3000, rate, frames);
    run(f, v);
    // level per 10 ms window over four seconds: one deep dip per sweep and per notch passing
    std::vector<double> env;
    for (int at = 0; at + 441 <= frames; at += 441) env.push_back(rms(v, 0, at, at + 441));
    const double hi = *std::max_element(env.begin(), env.end());
    const double lo = *std::min_element(env.begin(), env.end());
    EXPECT_GT(hi, 0.3);
    EXPECT_LT(lo, 0.1);
    // the pattern repeats after one second
    for (int i = 0; i + 100 < int(env.size()); ++i) EXPECT_NEAR(env[i], env[i + 100], 0.03) << i;
}

TEST(AutoWah, BandPassAtItsFrequency)
{
    AutoWah w(44100);
    w.set({0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1000.0f, -1});  // no sweep: fixed at 1 kHz
    EXPECT_NEAR(sineGainDb(w, 1000, 44100), 0, 1.0);
    w.reset();
    EXPECT_LT(sineGainDb(w, 100, 44100), -10);
    w.reset();
    EXPECT_LT(sineGainDb(w, 10000, 44100), -10);
}

TEST(AutoWah, StableWithStrongFeedbackAndWideSweep)
{
    AutoWah w(44100);
    w.set({0.5f, 1.5f, 5.0f, 8.0f, 10.0f, 50.0f, -1});
    EXPECT_EQ(w.get().feedback, 0.9f);
    auto v = noise(44100 * 5);
    run(w, v);
    for (float s : v) ASSERT_TRUE(std::isfinite(s) && std::fabs(s) < 20);
}

TEST(Reverb, DecaysBySixtyDecibelsInItsTime)
{
    const double rate = 44100;
    Reverb r(rate);
    r.set({1.0f, 1000, -1});
    const int frames = int(rate * 2.5);
    std::vector<float> v(size_t(frames) * 2, 0.0f);
    // a low tone: the damping of the lines shortens the decay of high ones
    auto burst = sine(150, rate, 882);
    std::copy(burst.begin(), burst.end(), v.begin());
    run(r, v);
    const double early = rms(v, 0, int(0.05 * rate), int(0.15 * rate));
    const double late = rms(v, 0, int(1.0 * rate), int(1.1 * rate));
    const double gone = rms(v, 0, int(2.3 * rate), int(2.4 * rate));
    EXPECT_GT(early, 0);
    EXPECT_NEAR(db(late / early), -55, 10);
    EXPECT_LT(db(gone / early), -100);
}

TEST(Reverb, LevelZeroIsTransparent)
{
    Reverb r(44100);
    r.set({0.0f, 1200, -1});
    auto in = noise(5000);
    auto out = in;
    run(r, out);
    EXPECT_EQ(in, out);
}

// Parameters change from a control thread while the audio thread processes.
TEST(EffectKernels, ParametersChangeWhileProcessing)
{
    PeakingEq eq(44100);
    Echo echo(44100);
    std::atomic<bool> done{false};
    std::thread control([&] {
        for (int i = 0; i < 2000; ++i) {
            PeakEqParams p;
            p.band = i % 3;
            p.centerHz = 100.0f + float(i);
            p.gainDb = float(i % 20) - 10;
            eq.setBand(p);
            echo.set({1, 0.5f, float(i % 100) / 100, -1});
            if (i % 100 == 0) { eq.reset(); echo.reset(); }
        }
        done = true;
    });
    auto v = noise(256);
    while (!done) {
        auto b = v;
        eq.process(b.data(), 256);
        echo.process(b.data(), 256);
        for (float s : b) ASSERT_TRUE(std::isfinite(s));
    }
    control.join();
}
