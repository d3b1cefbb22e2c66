// The tempo analyser on short synthesised pieces of known tempo (drums, bass, chords), and
// on input with no tempo at all.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "platform/bpm/bpmlibrary.h"
#include "engine/bpmresult.h"
#include "platform/bpm/tempoanalyser.h"

namespace {

constexpr int kRate = 44100;

// A stereo piece built from simple drum sounds and tones on a beat grid.
class Piece {
public:
    Piece(double bpm, double seconds) : bpm_(bpm), mix_(size_t(seconds * kRate), 0.0f) {}

    double beat() const { return 60.0 / bpm_; }
    double seconds() const { return double(mix_.size()) / kRate; }

    void kick(double t, double v = 1) { sound(t, 0.15, v, [](double x, double) { return std::sin(2 * M_PI * (50 * x + 300 * (1 - std::exp(-x * 30)) / 30)) * std::exp(-x * 25); }); }
    void snare(double t, double v = 0.8)
    {
        sound(t, 0.15, v, [this](double x, double) { return (0.6 * noise() + 0.4 * std::sin(2 * M_PI * 190 * x)) * std::exp(-x * 30); });
    }
    void hat(double t, double v = 0.3)
    {
        sound(t, 0.05, v, [this](double x, double) {
            const double n = noise(), d = n - last_;
            last_ = n;
            return d * std::exp(-x * 90);
        });
    }
    void tone(double t, double dur, double freq, double v)
    {
        sound(t, dur, v, [freq, dur](double x, double) {
            const double env = std::min(1.0, x * 200) * std::exp(-x * 3) * (x < dur - 0.01 ? 1.0 : 0.0);
            return env * (std::sin(2 * M_PI * freq * x) + 0.3 * std::sin(4 * M_PI * freq * x));
        });
    }
    void chord(double t, double dur, double root, double v = 0.15)
    {
        for (double r : {1.0, 1.26, 1.5}) tone(t, dur, root * r, v);
    }

    // Interleaved stereo 16-bit.
    std::vector<int16_t> pcm() const
    {
        std::vector<int16_t> out(mix_.size() * 2);
        for (size_t i = 0; i < mix_.size(); ++i)
            out[2 * i] = out[2 * i + 1] = int16_t(std::clamp(mix_[i] * 12000.0f, -32768.0f, 32767.0f));
        return out;
    }

private:
    template <class F>
    void sound(double t, double dur, double v, F f)
    {
        const size_t a = size_t(std::max(0.0, t) * kRate), n = size_t(dur * kRate);
        for (size_t i = 0; i < n && a + i < mix_.size(); ++i) mix_[a + i] += float(v * f(double(i) / kRate, t));
    }
    double noise() { return dist_(rng_); }

    double bpm_;
    std::vector<float> mix_;
    std::mt19937 rng_{7};
    std::uniform_real_distribution<double> dist_{-1.0, 1.0};
    double last_ = 0;
};

using Groove = void (*)(Piece&, int bar, double t, double b);

void four(Piece& p, int, double t, double b)
{
    for (int i = 0; i < 4; ++i) {
        p.kick(t + i * b);
        p.hat(t + (i + 0.5) * b, 0.5);
    }
    p.snare(t + b, 0.6);
    p.snare(t + 3 * b, 0.6);
}

void rock(Piece& p, int, double t, double b)
{
    for (int e = 0; e < 8; ++e) p.hat(t + e * b / 2, e % 2 ? 0.25 : 0.4);
    p.kick(t);
    p.kick(t + 2 * b);
    p.snare(t + b);
    p.snare(t + 3 * b);
}

void breakbeat(Piece& p, int, double t, double b)
{
    for (double x : {0.0, 0.5, 2.25, 2.5}) p.kick(t + x * b);
    for (double x : {1.0, 1.75, 3.0, 3.75}) p.snare(t + x * b, x == 1.0 || x == 3.0 ? 0.8 : 0.4);
    for (int e = 0; e < 16; ++e) p.hat(t + e * b / 4, e % 2 ? 0.15 : 0.3);
}

void swing(Piece& p, int, double t, double b)
{
    for (int i = 0; i < 4; ++i) {
        p.hat(t + i * b, 0.5);  // ride
        if (i % 2) p.hat(t + (i + 2.0 / 3) * b, 0.3);
        p.tone(t + i * b, b * 0.9, 55 * std::pow(2, (i * 4 % 12) / 12.0), 0.5);  // walking bass
    }
}

void halftime(Piece& p, int, double t, double b)
{
    for (int e = 0; e < 8; ++e) p.hat(t + e * b / 2, e % 2 ? 0.25 : 0.4);
    p.kick(t);
    p.snare(t + 2 * b);
}

void waltz(Piece& p, int, double t, double b)
{
    p.kick(t);
    p.snare(t + b, 0.4);
    p.snare(t + 2 * b, 0.4);
    for (int e = 0; e < 6; ++e) p.hat(t + e * b / 2, e % 2 ? 0.2 : 0.35);
}

void jazzwaltz(Piece& p, int, double t, double b)
{
    for (int i = 0; i < 3; ++i) {
        p.hat(t + i * b, 0.5);  // ride on the beat and the last third
        p.hat(t + (i + 2.0 / 3) * b, 0.3);
    }
    p.kick(t, 0.6);
    p.tone(t, b * 2.5, 55, 0.5);
}

struct Case {
    const char* name;
    double bpm;
    Groove groove;
    int beatsPerBar;
    int introBars;  // bars of chords and bass only before the drums
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class TempoCases : public ::testing::TestWithParam<Case> {};

float analyse(const std::vector<int16_t>& pcm, int channels = 2)
{
    TempoAnalyser a;
    a.start(channels, kRate);
    // fed in the worker's blocks of 2048 values
    for (size_t i = 0; i < pcm.size(); i += 2048) a.feed(pcm.data() + i, std::min<size_t>(2048, pcm.size() - i));
    return a.tempo();
}

TEST_P(TempoCases, StoredTempoIsTheFoldedTruth)
{
    const Case c = GetParam();
    Piece p(c.bpm, 40);
    const double b = p.beat(), bar = b * c.beatsPerBar;
    for (int k = 0; k * bar < p.seconds(); ++k) {
        const double t = k * bar;
        const double root = 110 * std::pow(2, ((k % 4) * 5 % 12) / 12.0);
        if (k < c.introBars) {
            for (int e = 0; e < c.beatsPerBar * 2; ++e) p.tone(t + e * b / 2, b * 0.45, root * 2 * (e % 3 ? 1.5 : 1), 0.3);
        } else {
            c.groove(p, k, t, b);
            p.chord(t + 0.5 * b, b * 0.4, root * 2);
            p.tone(t, b * 0.8, root / 2, 0.4);
        }
    }
    const float got = analyse(p.pcm());
    const float stored = bpmresult::finish(true, got, true, got);
    EXPECT_NEAR(stored, bpmresult::fold(float(c.bpm)), 0.4) << c.name << " analysed " << got;
}

INSTANTIATE_TEST_SUITE_P(
    Styles, TempoCases,
    ::testing::Values(Case{"four_128", 128, four, 4, 0}, Case{"four_150", 150, four, 4, 0},
                      Case{"rock_66", 66, rock, 4, 0}, Case{"rock_138", 138, rock, 4, 0},
                      Case{"break_100", 100, breakbeat, 4, 0}, Case{"break_174", 174, breakbeat, 4, 0},
                      Case{"swing_144", 144, swing, 4, 0}, Case{"halftime_140", 140, halftime, 4, 0},
                      Case{"waltz_90", 90, waltz, 3, 0}, Case{"jazzwaltz_80", 80, jazzwaltz, 3, 0},
                      Case{"intro_122", 122, rock, 4, 6},
                      Case{"rock_60", 60, rock, 4, 0}, Case{"four_180", 180, four, 4, 0}),
    [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

TEST(TempoAnalyser, NoTempoInSilenceNoiseOrTooShortInput)
{
    EXPECT_EQ(analyse(std::vector<int16_t>(size_t(kRate) * 2 * 20, 0)), 0.0f);

    std::mt19937 rng(3);
    std::normal_distribution<double> n(0, 3000);
    std::vector<int16_t> noise(size_t(kRate) * 2 * 20);
    for (auto& v : noise) v = int16_t(std::clamp(n(rng), -32768.0, 32767.0));
    EXPECT_EQ(analyse(noise), 0.0f);

    Piece p(120, 4);
    for (int i = 0; i < 8; ++i) p.kick(i * 0.5);
    EXPECT_EQ(analyse(p.pcm()), 0.0f);

    TempoAnalyser a;
    a.feed(nullptr, 100);
    EXPECT_EQ(a.tempo(), 0.0f);
}

TEST(TempoAnalyser, MonoInputAndOddBlockSizesGiveTheSameTempo)
{
    Piece p(120, 30);
    for (int k = 0; k * 2.0 < 30; ++k) four(p, k, k * 2.0, 0.5);
    const auto st = p.pcm();
    std::vector<int16_t> mono(st.size() / 2);
    for (size_t i = 0; i < mono.size(); ++i) mono[i] = st[2 * i];
    const float a = analyse(st);

    TempoAnalyser m;
    m.start(1, kRate);
    m.feed(mono.data(), mono.size());
    TempoAnalyser odd;
    odd.start(2, kRate);
    for (size_t i = 0; i < st.size(); i += 777) odd.feed(st.data() + i, std::min<size_t>(777, st.size() - i));
    EXPECT_NEAR(a, 120, 0.3);
    EXPECT_NEAR(m.tempo(), a, 0.05);
    EXPECT_NEAR(odd.tempo(), a, 0.01);
}

TEST(BpmLibrary, EachNameIsOneIndependentAnalyserAndCountsItsOwnUnit)
{
    EXPECT_EQ(BpmLibrary::load(QStringLiteral("nosuchlibrary")), nullptr);
    auto mine = BpmLibrary::load(QStringLiteral("ostrellibrary.dll"));
    auto own = BpmLibrary::load(QStringLiteral("ostrel1"));
    ASSERT_TRUE(mine && own);
    EXPECT_EQ(BpmLibrary::load(QStringLiteral("ostrellibrary")), mine);
    EXPECT_NE(BpmLibrary::load(QStringLiteral("ostrellibrary2")), mine);
    EXPECT_NE(BpmLibrary::load(QStringLiteral("ostrel2")), own);
    EXPECT_FALSE(mine->lookup(QStringLiteral("Nothing")).DameBpm);

    Piece p(124, 30);
    for (int k = 0; k * p.beat() * 4 < 30; ++k) four(p, k, k * p.beat() * 4, p.beat());
    auto pcm = p.pcm();
    pcm.resize(pcm.size() / 2048 * 2048);
    const BpmEntryPoints a = mine->all(), b = own->all();
    a.Init(2, kRate);
    b.Init(2, kRate);
    std::vector<int16_t> block(2049);
    for (size_t i = 0; i < pcm.size(); i += 2048) {
        std::copy(pcm.begin() + long(i), pcm.begin() + long(i) + 2048, block.begin());
        a.Decode(block.data(), 2048);  // values
        b.Decode(block.data(), 4096);  // bytes
    }
    EXPECT_NEAR(a.DameBpm(), 124, 0.3);
    EXPECT_FLOAT_EQ(a.DameBpm(), b.DameBpm());
    EXPECT_EQ(a.Decode(block.data(), 0), 0);
    EXPECT_EQ(a.Decode(nullptr, 10), 0);
}

}  // namespace
