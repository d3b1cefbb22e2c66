// The end-to-end test's judges, tried on signals whose answer is known before they judge the
// program: onsets and their drift, loop passes, band levels, the echo's tail, the recording
// against the output window by window, silences, the presence of two decks, the standard
// error's faults, the grooves and their files, and the places read from the form data.
#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <functional>
#include <random>
#include <utility>

#include "snkins/vs/tvsgraphic.h"
#include "snkins/vs/tvsgraphics.h"
#include "tests/e2e/desk.h"
#include "tests/e2e/groove.h"
#include "tests/e2e/soundchecks.h"
#include "tests/e2e/tracks.h"
#include "tests/support/toolprocess.h"

using namespace e2e;

namespace {

std::vector<float> mono(const std::vector<int16_t>& stereo)
{
    std::vector<float> m(stereo.size() / 2);
    for (size_t i = 0; i < m.size(); ++i) m[i] = float(stereo[2 * i]) / 32768.0f;
    return m;
}

std::vector<float> groove(double bpm, bool high, double seconds, uint32_t seed = 7)
{
    return mono(synthGroove(Groove{bpm, high, seconds, seed}));
}

// `x` delayed by `frames` (silence before)
std::vector<float> delayed(const std::vector<float>& x, int64_t frames)
{
    std::vector<float> y(x.size() + size_t(frames), 0.0f);
    std::copy(x.begin(), x.end(), y.begin() + frames);
    return y;
}

std::vector<float> sum(const std::vector<float>& a, const std::vector<float>& b)
{
    std::vector<float> s(std::max(a.size(), b.size()), 0.0f);
    for (size_t i = 0; i < a.size(); ++i) s[i] += a[i];
    for (size_t i = 0; i < b.size(); ++i) s[i] += b[i];
    return s;
}

}  // namespace

TEST(E2eChecks, OnsetsOfAClickTrainToTheFrame)
{
    std::vector<float> x(kRate * 3, 0.0f);
    const std::vector<int64_t> at = {4410, 30000, 52000, 90000, 120001};
    for (int64_t a : at)
        for (int i = 0; i < 400; ++i) x[size_t(a + i)] += float(0.8 * std::exp(-i / 80.0) * ((i % 20) < 10 ? 1 : -1));
    const std::vector<double> found = onsets(x, kRate);
    ASSERT_EQ(found.size(), at.size());
    for (size_t i = 0; i < at.size(); ++i) EXPECT_NEAR(found[i] * kRate, double(at[i]), 1.0) << i;
}

TEST(E2eChecks, TheGroovesBeatsAreWhereTheTempoPutsThem)
{
    for (const bool high : {false, true}) {
        // after a second of silence, as the capture hears a deck start
        const std::vector<float> x = delayed(groove(126, high, 10), kRate);
        const std::vector<float> band = high ? bandpass(x, kRate, kHighBandLoHz, kHighBandHiHz) : bandpass(x, kRate, 0, kLowBandHz);
        const std::vector<double> o = onsets(band, kRate, -40, 0.2);
        ASSERT_EQ(o.size(), 21u) << high;
        const double beat = 60.0 / 126;
        // every onset at the same small distance from its beat (the band's filter and the kick's rise)
        for (size_t i = 0; i < o.size(); ++i) EXPECT_NEAR(o[i] - 1 - double(i) * beat, o[0] - 1, 0.0002) << high << " " << i;
        EXPECT_LT(o[0] - 1, 0.02) << high;
    }
}

// The two registers are told apart by band, with both playing at once: a fixed offset reads as
// an offset, a tempo mismatch as drift.
TEST(E2eChecks, DriftBetweenTwoDecksPlayingAtOnce)
{
    struct Case {
        double bpmB;
        int64_t delayB;
        double driftMs;  // expected over the range
    };
    const double seconds = 32;
    // B at 126.02 against 126 BPM ends 30 s later by 30 * (1 - 126/126.02) s earlier
    const Case cases[] = {{126, 132, 0}, {126, 0, 0}, {126.02, 132, -30000 * (1 - 126 / 126.02)}};
    const std::vector<float> a = groove(126, false, seconds, 1);
    for (const Case& c : cases) {
        const std::vector<float> mix = sum(a, delayed(groove(c.bpmB, true, seconds, 2), c.delayB));
        const std::vector<double> oa = onsets(bandpass(mix, kRate, 0, kLowBandHz), kRate, -40, 0.2);
        const std::vector<double> ob = onsets(bandpass(mix, kRate, kHighBandLoHz, kHighBandHiHz), kRate, -40, 0.2);
        const Drift d = onsetDrift(oa, ob, 1, 31);
        EXPECT_GE(d.pairs, 55) << c.bpmB;
        EXPECT_NEAR(d.driftMs, c.driftMs, 0.5) << c.bpmB;
        if (c.bpmB == 126) {
            EXPECT_LT(d.spreadMs, 1.0);
        }
    }
    // the same offset measured on B against itself delayed: 3 ms
    const std::vector<float> mix = sum(a, delayed(groove(126, true, seconds, 2), 132));
    const std::vector<double> oa = onsets(bandpass(mix, kRate, 0, kLowBandHz), kRate, -40, 0.2);
    const std::vector<float> late = sum(a, delayed(groove(126, true, seconds, 2), 264));
    const std::vector<double> ob1 = onsets(bandpass(mix, kRate, kHighBandLoHz, kHighBandHiHz), kRate, -40, 0.2);
    const std::vector<double> ob2 = onsets(bandpass(late, kRate, kHighBandLoHz, kHighBandHiHz), kRate, -40, 0.2);
    EXPECT_NEAR(onsetDrift(oa, ob2, 1, 31).offsetMs - onsetDrift(oa, ob1, 1, 31).offsetMs, 3.0, 0.1);
}

// Onsets of two kinds paired at two offsets (a kick against a kick, a kick against a hat), in
// changing proportions, read as no drift; a steady change of the offset reads as drift.
TEST(E2eChecks, DriftIsTheOffsetsTrendNotItsMix)
{
    struct Case {
        double trendMs;  // over 30 s
        double expectMs;
    } cases[] = {{0, 0}, {10, 10}, {-6, -6}};
    for (const Case& c : cases) {
        std::vector<double> a, b;
        for (int k = 0; k < 60; ++k) {
            const double t = 1 + k * 0.5;
            // the second kind: a quarter of the pairs in the first third, three quarters in the last
            const bool late = k < 20 ? k % 4 == 0 : k < 40 ? k % 2 == 0 : k % 4 != 0;
            a.push_back(t);
            b.push_back(t + (late ? 0.012 : 0.003) + c.trendMs / 1000 * (t - 1) / 29.5);
        }
        const Drift d = onsetDrift(a, b, 0, 40);
        EXPECT_EQ(d.pairs, 60) << c.trendMs;
        EXPECT_NEAR(d.driftMs, c.expectMs, 0.5) << c.trendMs;
    }
}

// Passes equal, one longer, and one that lost a period where an xrun was counted: that pass
// is left out, the rest are still judged; a loss in the first pass moves the start past it,
// so that the period is not measured across it.
TEST(E2eChecks, LoopPassesEqualAndUnequal)
{
    const std::vector<float> src = groove(126, true, 4, 3);
    const int64_t len = int64_t(std::llround(4 * 60.0 / 126 * kRate));  // four beats
    struct Case {
        int extra;     // frames pass 6 runs longer
        int lostPass;  // the pass that lost `lost` frames halfway
        int lost;
        bool spanned;  // the loss lies in a skipped span
        bool found;
        size_t judged;
        int64_t spread;
    } cases[] = {{0, 4, 0, false, true, 10, 0},  {5, 4, 0, false, true, 10, 5},   {0, 4, 256, true, true, 9, 0},
                 {0, 4, 256, false, false, 0, 0}, {0, 0, 256, true, true, 10, 0}, {5, 0, 256, true, true, 10, 5}};
    for (const Case& c : cases) {
        std::vector<float> x(kRate, 0.01f);  // what came before the loop
        Spans xruns;
        for (int pass = 0; pass < 14; ++pass) {
            if (pass == c.lostPass && c.lost) {
                x.insert(x.end(), src.begin(), src.begin() + len / 2);
                xruns.push_back({int64_t(x.size()) - 2048, int64_t(x.size()) + 2048});
                x.insert(x.end(), src.begin() + len / 2 + c.lost, src.begin() + len);
            } else {
                x.insert(x.end(), src.begin(), src.begin() + len);
            }
            if (pass == 6) x.insert(x.end(), src.begin() + len, src.begin() + len + c.extra);
        }
        const std::string what = std::to_string(c.extra) + " longer, " + std::to_string(c.lost) + " lost in pass " +
                                 std::to_string(c.lostPass);
        const auto l = loopPassLengths(x, kRate + 1000, len, 10, c.spanned ? xruns : Spans{});
        ASSERT_EQ(l.has_value(), c.found) << what;
        if (!l) continue;
        ASSERT_EQ(l->size(), c.judged) << what;
        const auto [lo, hi] = std::minmax_element(l->begin(), l->end());
        EXPECT_EQ(*lo, len) << what;
        EXPECT_EQ(*hi - *lo, c.spread) << what;
    }
    // a stretch that does not repeat has no passes
    std::mt19937 rng(1);
    std::vector<float> noise(kRate * 30);
    for (float& v : noise) v = std::uniform_real_distribution<float>(-0.5f, 0.5f)(rng);
    EXPECT_FALSE(loopPassLengths(noise, kRate, len, 10).has_value());
}

TEST(E2eChecks, KillLowersItsBandByMoreThan20Db)
{
    std::vector<float> x(kRate * 4);
    for (size_t i = 0; i < x.size(); ++i) {
        const double t = double(i) / kRate;
        x[i] = float(0.3 * std::sin(2 * M_PI * 200 * t) + (t < 2 ? 0.3 * std::sin(2 * M_PI * 9000 * t) : 0.0));
    }
    const std::vector<float> high = bandpass(x, kRate, 6000, 0);
    const double on = levelDb(high, kRate / 2, kRate * 3 / 2), off = levelDb(high, kRate * 5 / 2, kRate * 7 / 2);
    EXPECT_GT(on - off, 20);
    const std::vector<float> low = bandpass(x, kRate, 0, 400);
    EXPECT_NEAR(levelDb(low, kRate / 2, kRate * 3 / 2), levelDb(low, kRate * 5 / 2, kRate * 7 / 2), 0.5);
}

// A kill of a mid band 25 dB deep, between a loud kick below and a loud bass note above it: the
// spectrum reads the band's own level and the full depth (a filter's slopes would let the
// neighbours in and show a kill of a few dB). A stretch near an xrun is left out.
TEST(E2eChecks, TheSpectrumReadsANarrowBandBesideLoudNeighbours)
{
    const auto tones = [](double midAmplitude) {
        std::vector<float> x(size_t(kRate) * 3);
        for (size_t i = 0; i < x.size(); ++i) {
            const double t = double(i) / kRate;
            x[i] = float(0.3 * std::sin(2 * M_PI * 400 * t) + 0.3 * std::sin(2 * M_PI * 1500 * t) +
                         midAmplitude * std::sin(2 * M_PI * 1000 * t));
        }
        return x;
    };
    const double open = 0.01, killed = open * std::pow(10.0, -25.0 / 20);
    const double openDb = spectrumBandDb(tones(open), kRate, 0, kRate * 3, 900, 1100);
    const double killedDb = spectrumBandDb(tones(killed), kRate, 0, kRate * 3, 900, 1100);
    EXPECT_NEAR(openDb, 20 * std::log10(open / std::sqrt(2.0)), 0.2);
    EXPECT_NEAR(openDb - killedDb, 25, 0.5);
    // a loud stretch of the band in a skipped span
    std::vector<float> glitch = tones(killed);
    for (int64_t i = kRate * 3 / 2; i < kRate * 3 / 2 + kRate / 10; ++i)
        glitch[size_t(i)] += float(0.3 * std::sin(2 * M_PI * 1000 * double(i) / kRate));
    const Spans xrun{{kRate * 3 / 2 - 10, kRate * 3 / 2 + kRate / 10 + 10}};
    EXPECT_GT(spectrumBandDb(glitch, kRate, 0, kRate * 3, 900, 1100), killedDb + 10);
    EXPECT_NEAR(spectrumBandDb(glitch, kRate, 0, kRate * 3, 900, 1100, xrun), killedDb, 0.5);
    EXPECT_TRUE(std::isnan(spectrumBandDb(glitch, kRate, kRate * 3 / 2 - 100, kRate * 3 / 2 + 9000, 900, 1100, xrun)));
    EXPECT_TRUE(std::isnan(spectrumBandDb(tones(open), kRate, 0, kRate / 10, 900, 1100)));
}

// What a groove holds in a narrow band can lie in its onsets alone: the level must not hang on
// where the span starts against the beat (one window per beat read 30 dB apart by its phase).
TEST(E2eChecks, TheSpectrumReadsABandOfOnsetsTheSameAtEveryPhase)
{
    std::vector<float> x(size_t(kRate) * 6);
    const int64_t beat = kRate / 2;
    for (int64_t at = 0; at < int64_t(x.size()); at += beat)
        for (int64_t i = 0; i < kRate / 50 && at + i < int64_t(x.size()); ++i)
            x[size_t(at + i)] =
                float(0.3 * std::exp(-double(i) / (kRate / 200)) * std::sin(2 * M_PI * 1000 * double(i) / kRate));
    std::vector<double> levels;
    for (const int64_t phase : {int64_t{0}, beat / 4, beat / 3, beat / 2})
        levels.push_back(spectrumBandDb(x, kRate, phase, phase + 4 * kRate, 900, 1100));
    const auto [lo, hi] = std::minmax_element(levels.begin(), levels.end());
    EXPECT_LT(*hi - *lo, 1.0);
}

// A kill that acts 0.4 s after its press: the span's mean level hides it, the median of its
// half-second blocks does not; a kill that never acts shows in both.
TEST(E2eChecks, AKillThatActsLateStillShowsInTheMedianLevel)
{
    struct Case {
        double killFromS;
        bool lowered;
    } cases[] = {{0.4, true}, {3.0, false}};
    for (const Case& c : cases) {
        std::vector<float> x(size_t(kRate) * 3);
        for (size_t i = 0; i < x.size(); ++i) {
            const double t = double(i) / kRate;
            x[i] = float(t < c.killFromS ? 0.3 * std::sin(2 * M_PI * 9000 * t) : 0.0001 * std::sin(2 * M_PI * 9000 * t));
        }
        const std::vector<float> high = bandpass(x, kRate, 6000, 0);
        const double open = levelDb(high, kRate / 4, kRate / 3);
        EXPECT_EQ(open - medianLevelDb(high, 0, kRate * 3, kRate / 2) > 20, c.lowered) << "kill from " << c.killFromS;
        if (c.lowered) {
            EXPECT_LT(open - levelDb(high, 0, kRate * 3), 20);
        }
    }
}

TEST(E2eChecks, EchoAddsEnergyAfterEachOnset)
{
    const std::vector<float> dry = groove(120, true, 12, 4);
    std::vector<float> wet = dry;
    const size_t d = size_t(0.125 * kRate);  // an eighth of a second: between the hats
    for (size_t i = d; i < wet.size(); ++i) wet[i] += 0.5f * wet[i - d];
    const std::vector<float> bandDry = bandpass(dry, kRate, kHighBandLoHz, kHighBandHiHz);
    const std::vector<float> bandWet = bandpass(wet, kRate, kHighBandLoHz, kHighBandHiHz);
    const std::vector<double> o = onsets(bandDry, kRate, -40, 0.4);
    ASSERT_GE(o.size(), 20u);
    const double e0 = tailEnergy(bandDry, kRate, o, 0.1, 0.2), e1 = tailEnergy(bandWet, kRate, o, 0.1, 0.2);
    EXPECT_GT(e1, 2 * e0) << e0 << " " << e1;
}

// The recording is the output with whole frames dropped or repeated here and there, and
// another start: every window still finds itself.
TEST(E2eChecks, RecordingMatchesTheOutputWindowByWindow)
{
    const std::vector<float> out = groove(126, false, 14, 5);
    std::vector<float> rec(out.begin() + 30000, out.end());
    rec.erase(rec.begin() + 3 * kRate + 100);                       // a frame dropped
    rec.insert(rec.begin() + 7 * kRate + 5, rec[7 * kRate + 5]);    // a frame repeated
    rec.erase(rec.begin() + 9 * kRate + 17, rec.begin() + 9 * kRate + 19);
    // the take's lag is known to within two seconds, the groove repeats every 42000 frames
    const LagRange lags{-2 * kRate, 2 * kRate, 25000};
    const std::vector<WindowMatch> w = windowCorrelation(rec, out, kRate, 1.0, lags, {});
    ASSERT_GE(w.size(), 12u);
    for (const WindowMatch& m : w) {
        if (m.skipped) continue;
        // a window with a slip inside keeps most of itself aligned
        EXPECT_GE(m.corr, 0.6) << m.atS;
        EXPECT_FALSE(m.jumped) << m.atS;
    }
    EXPECT_EQ(w[0].lag, 30000);
    EXPECT_EQ(w[5].lag, 30001);
    EXPECT_EQ(w[8].lag, 30000);
    EXPECT_EQ(w[11].lag, 30002);
    for (size_t i : {0u, 1u, 2u, 4u, 5u, 6u, 8u, 10u, 11u}) EXPECT_GE(w[i].corr, 0.99) << i;

    // windows where the output carries something else fall below
    std::vector<float> other = out;
    for (int i = 4 * kRate; i < 6 * kRate; ++i) other[size_t(i)] = 0.3f * std::sin(float(i) * 0.05f);
    const std::vector<WindowMatch> bad = windowCorrelation(rec, other, kRate, 1.0, lags, {});
    int below = 0;
    for (const WindowMatch& m : bad) below += !m.skipped && (m.corr < 0.99 || m.jumped);
    EXPECT_GE(below, 2);

    // a window touching an xrun (in the output's frames) is skipped
    const std::vector<WindowMatch> s = windowCorrelation(rec, other, kRate, 1.0, lags, {{4 * kRate, 6 * kRate}});
    for (const WindowMatch& m : s) EXPECT_TRUE(m.skipped || (m.corr >= 0.99 && !m.jumped)) << m.atS;
}

// A whole take against the master as the set hears them: silence, deck A's groove from 2.5 s,
// deck B's from 14 s on top. The take began a second in, ten seconds before the mark the judge
// is given; the capture may miss cycles (a period each, at its xruns), the recorder must not
// lose or add sound.
TEST(E2eChecks, ATakeIsJudgedAtItsOwnLagWhateverTheGroovesRepeat)
{
    const int64_t start = kRate;  // the take's first frame in the master
    const std::vector<float> master = sum(delayed(groove(120, false, 37.5, 3), int64_t(2.5 * kRate)),
                                          delayed(groove(126, true, 26, 4), 14 * kRate));
    const std::vector<float> take(master.begin() + start, master.begin() + start + 36 * kRate);
    const int64_t cuts[] = {8 * kRate, 20 * kRate + 777, 30 * kRate + 1500};  // in the master
    // the capture misses a period at each cut
    auto missed = [&](bool logged, std::vector<float>& out, std::vector<float>&, Spans& xruns) {
        for (int k = 2; k >= 0; --k) {
            out.erase(out.begin() + cuts[k], out.begin() + cuts[k] + 256);
            if (logged) xruns.push_back({cuts[k] - 256 * k - 2048, cuts[k] - 256 * k + 2048});
        }
    };
    const struct {
        const char* what;
        std::function<void(std::vector<float>& out, std::vector<float>& rec, Spans& xruns)> alter;
        int minBelow, maxBelow;
        int64_t lastLag;  // of the last window judged; 0: not checked
    } cases[] = {
        {"as it was", [](auto&, auto&, auto&) {}, 0, 0, start},
        {"the capture missed a period at each xrun", [&](auto& o, auto& r, auto& x) { missed(true, o, r, x); }, 0, 0,
         start - 3 * 256},
        {"the capture missed periods with no xrun logged", [&](auto& o, auto& r, auto& x) { missed(false, o, r, x); }, 3,
         6, 0},
        {"the recorder put in 0.3 s of silence",
         [](auto&, auto& r, auto&) { r.insert(r.begin() + int64_t(12.5 * kRate), size_t(0.3 * kRate), 0.0f); }, 1,
         36, 0},
        {"the recorder lost 0.3 s", [](auto&, auto& r, auto&) {
             r.erase(r.begin() + int64_t(20.5 * kRate), r.begin() + int64_t(20.8 * kRate));
         }, 1, 36, 0},
        {"the recorder lost one period", [](auto&, auto& r, auto&) {
             r.erase(r.begin() + int64_t(25.5 * kRate), r.begin() + int64_t(25.5 * kRate) + 256);
         }, 1, 36, 0},
    };
    for (const auto& c : cases) {
        std::vector<float> out = master, rec = take;
        Spans xruns;
        c.alter(out, rec, xruns);
        const LagRange lags{start - kRate, start + 11 * kRate, start + 10 * kRate};
        int judged = 0, below = 0;
        int64_t last = 0;
        for (const WindowMatch& m : windowCorrelation(rec, out, kRate, 1.0, lags, xruns)) {
            if (m.skipped) continue;
            ++judged;
            below += m.corr < 0.99 || m.jumped;
            last = m.lag;
        }
        EXPECT_GE(judged, 25) << c.what;
        EXPECT_GE(below, c.minBelow) << c.what;
        EXPECT_LE(below, c.maxBelow) << c.what;
        if (c.lastLag) {
            EXPECT_EQ(last, c.lastLag) << c.what;
        }
    }
}

TEST(E2eChecks, LongestSilence)
{
    std::vector<float> x = groove(120, false, 10, 6);
    std::fill(x.begin() + 3 * kRate, x.begin() + int64_t(5.5 * kRate), 0.0f);
    EXPECT_NEAR(longestSilenceS(x, kRate, 0, int64_t(x.size()), -60, {}), 2.5, 0.35);
    // the groove itself has no gap that long
    const std::vector<float> g = groove(120, false, 10, 6);
    EXPECT_LT(longestSilenceS(g, kRate, 0, int64_t(g.size()), -60, {}), 0.3);
    // an xrun inside the gap cuts it
    EXPECT_LT(longestSilenceS(x, kRate, 0, int64_t(x.size()), -60, {{4 * kRate, 4 * kRate + 10}}), 1.6);
}

TEST(E2eChecks, ADeckThenBothThenB)
{
    const std::vector<float> a = groove(120, false, 20, 1);
    std::vector<float> b = delayed(groove(120, true, 20, 2), 8 * kRate);
    std::vector<float> aOnly(a.begin(), a.begin() + 14 * kRate);
    const std::vector<float> mix = sum(aOnly, b);
    const std::string seq = presenceSequence(bandpass(mix, kRate, 0, kLowBandHz),
                                             bandpass(mix, kRate, kHighBandLoHz, kHighBandHiHz), kRate, -40, 2);
    EXPECT_EQ(seq, "A AB B");
}

TEST(E2eChecks, APlaylistsTracksToldApartByRegisterAndTempo)
{
    // four 15 s tracks, low and high in turn, each next one starting 2 s before the end of the
    // one before; xruns, or a track that never came
    Spans everyOther;
    for (int64_t s = 0; s < 60; s += 2) everyOther.push_back({s * kRate + kRate / 2, s * kRate + kRate / 2 + 10});
    const struct {
        const char* name;
        std::vector<int> played;  // which of the four, in order
        Spans skip;
        std::string bands;
    } cases[] = {
        {"all four", {0, 1, 2, 3}, {}, "ABAB"},
        {"an xrun in the second", {0, 1, 2, 3}, {{20 * kRate, 21 * kRate + kRate / 2}}, "ABAB"},
        {"xruns in every other second", {0, 1, 2, 3}, everyOther, "ABAB"},
        {"the second missed", {0, 2, 3}, {}, "AB"},
    };
    const double bpm[] = {115, 120, 125, 130};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<float> mix;
        int64_t at = 0;
        for (int i : c.played) {
            mix = sum(mix, delayed(groove(bpm[i], i % 2 == 1, 15, uint32_t(30 + i)), at));
            at += 13 * kRate;
        }
        const std::vector<Stretch> st = leadingStretches(bandpass(mix, kRate, 0, kLowBandHz),
                                                         bandpass(mix, kRate, kHighBandLoHz, kHighBandHiHz), kRate, 6,
                                                         -45, 1, c.skip);
        std::string bands;
        for (const Stretch& x : st) bands += x.band;
        EXPECT_EQ(bands, c.bands);
        if (bands != "ABAB") continue;
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_NEAR(st[i].bpm, bpm[i], 1.0) << "track " << i + 1;
            EXPECT_NEAR(st[i].fromS, 13.0 * double(i), 3.5) << "track " << i + 1;
        }
    }
}

TEST(E2eChecks, StderrFaults)
{
    const struct {
        const char* line;
        bool fault;
    } cases[] = {
        {"==123==ERROR: AddressSanitizer: heap-use-after-free on address", true},
        {"WARNING: ThreadSanitizer: data race (pid=5)", true},
        {"engine/carga.cpp:10:5: runtime error: signed integer overflow", true},
        {"ASSERT: \"x\" in file a.cpp, line 3", true},
        {"ostrelkorvanta: a.cpp:3: int f(): Assertion `x' failed.", true},
        {"QObject::startTimer: Timers cannot be started from another thread", true},
        {"QObject: Cannot create children for a parent that is in a different thread.", true},
        {"QPixmap: It is not safe to use pixmaps outside the GUI thread", true},
        {"qt.qpa.xcb: QXcbConnection: XCB error: 3 (BadWindow)", false},
        {"Cannot connect to server socket err = No such file or directory", false},
    };
    for (const auto& c : cases) EXPECT_EQ(stderrFaults(c.line).size(), c.fault ? 1u : 0u) << c.line;
    EXPECT_EQ(stderrFaults("fine\nWARNING: ThreadSanitizer: x\nfine\nAssertion `y' failed.\n").size(), 2u);
}

// A race inside Qt's own code (both accesses in a Qt library) is Qt's; one with an access in our
// code is ours, whatever Qt frames lie below it.
TEST(E2eChecks, ThreadSanitizerRacesInsideQtAreQts)
{
    const std::string qt =
        "==================\n"
        "WARNING: ThreadSanitizer: data race (pid=1)\n"
        "  Write of size 8 at 0x1 by thread T3:\n"
        "    #0 memmove sanitizer_common_interceptors.inc:810 (libtsan.so.2+0x1)\n"
        "    #1 <null> <null> (libQt6Core.so.6+0x1edc4c)\n"
        "    #2 TVrTimerThread::Execute() tvrtimerthread.cpp:82 (ostrelkorvanta+0x1)\n"
        "\n"
        "  Previous write of size 8 at 0x1 by main thread:\n"
        "    #0 realloc tsan_interceptors_posix.cpp:680 (libtsan.so.2+0x1)\n"
        "    #1 QArrayData::reallocateUnaligned() <null> (libQt6Core.so.6+0x1)\n"
        "    #2 createKitControl() formkitcontrols.cpp:3 (ostrelkorvanta+0x1)\n"
        "\n"
        "SUMMARY: ThreadSanitizer: data race (libQt6Core.so.6+0x1edc4c)\n"
        "==================\n";
    const std::string ours =
        "WARNING: ThreadSanitizer: data race (pid=1)\n"
        "  Read of size 8 at 0x2 by main thread:\n"
        "    #0 Deck::position() deck.cpp:10 (ostrelkorvanta+0x2)\n"
        "    #1 QObject::event(QEvent*) <null> (libQt6Core.so.6+0x3)\n"
        "\n"
        "  Previous write of size 8 at 0x2 by thread T4:\n"
        "    #0 operator new tsan_new_delete.cpp:64 (libtsan.so.2+0x1)\n"
        "    #1 <null> <null> (libQt6Core.so.6+0x4)\n"
        "\n"
        "SUMMARY: ThreadSanitizer: data race deck.cpp:10 in Deck::position()\n";
    // the other stack lost: Qt's when the memory is a block Qt allocated
    const auto lost = [](const char* allocatedIn) {
        return std::string("WARNING: ThreadSanitizer: data race (pid=1)\n"
                           "  Write of size 8 at 0x1 by thread T3:\n"
                           "    #0 memmove sanitizer_common_interceptors.inc:810 (libtsan.so.2+0x1)\n"
                           "    #1 <null> <null> (libQt6Core.so.6+0x1edc4c)\n"
                           "\n"
                           "  Previous write of size 8 at 0x1 by main thread:\n"
                           "    [failed to restore the stack]\n"
                           "\n"
                           "  Location is heap block of size 16386 at 0x1 allocated by main thread:\n"
                           "    #0 realloc tsan_interceptors_posix.cpp:680 (libtsan.so.2+0x1)\n") +
               allocatedIn + "\nSUMMARY: ThreadSanitizer: data race\n";
    };
    EXPECT_EQ(stderrFaults(lost("    #1 QArrayData::reallocateUnaligned() <null> (libQt6Core.so.6+0x1)"), false).size(), 0u);
    EXPECT_EQ(stderrFaults(lost("    #1 Deck::grow() deck.cpp:3 (ostrelkorvanta+0x1)"), false).size(), 2u);
    const std::string freedByQt = "WARNING: ThreadSanitizer: data race (pid=1)\n"
                                  "  Write of size 8 at 0x1 by thread T23:\n"
                                  "    #0 operator delete(void*, unsigned long) tsan_new_delete.cpp:150 (libtsan.so.2+0x1)\n"
                                  "    #1 <null> <null> (libQt6Core.so.6+0x2596c5)\n"
                                  "\n"
                                  "  Previous write of size 8 at 0x1 by main thread:\n"
                                  "    [failed to restore the stack]\n"
                                  "\n"
                                  "SUMMARY: ThreadSanitizer: data race\n";
    EXPECT_EQ(stderrFaults(freedByQt, false).size(), 0u);
    EXPECT_EQ(stderrFaults(qt, false).size(), 0u);
    EXPECT_EQ(stderrFaults(qt, true).size(), 2u);  // the warning and its summary
    EXPECT_EQ(stderrFaults(ours, false).size(), 2u);
    EXPECT_EQ(stderrFaults(qt + ours + "ASSERT: \"x\" in file a.cpp\n", false).size(), 3u);
    // the tally at exit counts Qt's reports too: it is no fault of its own
    EXPECT_EQ(stderrFaults(qt + "ThreadSanitizer: reported 1 warnings\n", false).size(), 0u);
    EXPECT_EQ(stderrFaults(ours + "ThreadSanitizer: reported 1 warnings\n", false).size(), 2u);
}

// Every format of the set is written and reads back as long as it was made (ffprobe).
TEST(E2eChecks, GroovesEncodeToEveryFormat)
{
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("g.wav"));
    ASSERT_TRUE(writeWav(wav, synthGroove(Groove{110, false, 3, 9})));
    for (const char* ext : {"mp3", "mp2", "wav", "aiff", "flac", "ogg", "wma", "m4a"}) {
        const QString target = dir.filePath(QStringLiteral("Artist - Title.") + QLatin1String(ext));
        ASSERT_TRUE(encode(wav, target)) << ext;
        QByteArray out;
        ASSERT_EQ(testsupport::runTool(QStringLiteral("ffprobe"),
                                       {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", target}, &out),
                  0)
            << ext;
        EXPECT_NEAR(out.trimmed().toDouble(), 3.0, 0.1) << ext;
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral(".part-Artist - Title.") + QLatin1String(ext))));
    }
}

TEST(E2eChecks, PlacesFollowTheWindowAndTheRightEdge)
{
    Places p(QStringLiteral(OSTREL_SOURCE_DIR "/mainwindow/form/tform1.skn"));
    p.setWindow(QRect(100, 50, 1024, 900));
    const QRect deckA = p.rect(QStringLiteral("display1grande"));
    ASSERT_FALSE(deckA.isEmpty());
    // deck A's waveform lies in deck A's drop zone
    EXPECT_LT(deckA.center().x() - 100, 500);
    EXPECT_LT(deckA.center().y() - 50, 380);
    const QRect close = p.rect(QStringLiteral("VsButton7"));
    EXPECT_EQ(close.right(), 100 + 1021) << "the close control sits at the top right";
    // wider: the right-anchored close control follows the edge, deck A stays
    p.setWindow(QRect(100, 50, 1280, 900));
    EXPECT_EQ(p.rect(QStringLiteral("VsButton7")).left(), close.left() + 256);
    EXPECT_EQ(p.rect(QStringLiteral("display1grande")), deckA);
    // a control inside a panel: its parents' places added
    EXPECT_TRUE(QRect(100, 50, 1280, 900).contains(p.rect(QStringLiteral("auto_enable"))));
    EXPECT_FALSE(p.has(QStringLiteral("nosuchcontrol")));
    // a centre section shown moves onto the centre marker with its controls
    const QRect echoParked = p.rect(QStringLiteral("echo2"));
    p.movePanel(QStringLiteral("effects"), QStringLiteral("pancentral"));
    EXPECT_EQ(p.rect(QStringLiteral("echo2")).topLeft() - echoParked.topLeft(),
              p.rect(QStringLiteral("pancentral")).topLeft() - QRect(100, 50, 0, 0).topLeft() -
                  QPoint(40, 460));  // effects is parked at 40,460
    p.movePanel(QStringLiteral("effects"), QString());
    EXPECT_EQ(p.rect(QStringLiteral("echo2")), echoParked);
    EXPECT_TRUE(QRect(100, 50, 1280, 30).contains(p.inertSpot()));
}

// The browser area reaches the window's bottom; the panels the side buttons show share it from
// the top (Playlists, Groups, Explorer), as wide as the area less 5.
TEST(E2eChecks, LibraryPanelsShareTheBrowserArea)
{
    Places p(QStringLiteral(OSTREL_SOURCE_DIR "/mainwindow/form/tform1.skn"));
    p.setWindow(QRect(320, 0, 1280, 1200));
    const QRect todo = p.rect(QStringLiteral("todo"));
    EXPECT_EQ(todo.bottom(), 1199) << "the browser area reaches the window's bottom";
    EXPECT_EQ(todo.width(), 988 + 256) << "and follows its right edge";
    // the form's start: Explorer alone, over the whole area
    EXPECT_TRUE(p.rect(QStringLiteral("grupos")).isEmpty());
    EXPECT_EQ(p.rect(QStringLiteral("explorer")), QRect(todo.topLeft(), QSize(todo.width() - 5, todo.height())));
    // the side buttons as a screenshot shows them: each lit (down) button's panel is shown
    QImage shot(1920, 1200, QImage::Format_RGB32);
    shot.fill(Qt::black);
    TVsGraphics pack;
    pack.LoadFromFile(QStringLiteral(":/skin/tform1.vsf"));
    for (const auto& [button, graphic] : {std::pair{"bpplaylist", "Tira_Playlist.bmp"},
                                          std::pair{"bggrupos", "Tira_Groups.bmp"},
                                          std::pair{"bpexplorer", "Tira_Explorer.bmp"}}) {
        const QRect r = p.rect(QLatin1String(button));
        const int index = pack.IndexByName(QLatin1String(graphic));
        ASSERT_GE(index, 0) << graphic;
        const QImage cells = pack.Items(index)->Bitmap().convertToFormat(QImage::Format_RGB32);
        QPainter(&shot).drawImage(r.topLeft(), cells.copy(r.width(), 0, r.width(), r.height()));  // the down cell
    }
    p.readPanels(shot);
    const int third = todo.height() / 3;
    EXPECT_EQ(p.rect(QStringLiteral("playlist")), QRect(todo.left(), todo.top(), todo.width() - 5, third));
    EXPECT_EQ(p.rect(QStringLiteral("grupos")), QRect(todo.left(), todo.top() + third, todo.width() - 5, third));
    EXPECT_EQ(p.rect(QStringLiteral("explorer")), QRect(todo.left(), todo.top() + 2 * third, todo.width() - 5, third));
}
