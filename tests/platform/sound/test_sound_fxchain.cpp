// Effects on a stream's processor chain, through the calls of sound.h: what the stream
// delivers with them, their order by priority, records in and out, removal and reset.
#include "platform/sound/sound.h"

#include <gtest/gtest.h>

#include "tests/support/toolprocess.h"

#include <QProcess>
#include <QTemporaryDir>

#include <cmath>
#include <vector>

using namespace sound;

namespace {

class FxChain : public ::testing::Test {
protected:
    void SetUp() override
    {
        noise_ = dir_.filePath("noise.wav").toStdString();
        ASSERT_EQ(testsupport::runTool("sox", {"-n", "-r", "44100", "-c", "2", "-b", "16",
                                            QString::fromStdString(noise_), "synth", "1", "whitenoise", "vol", "0.5"}),
                  0);
        tone_ = dir_.filePath("tone.wav").toStdString();
        ASSERT_EQ(testsupport::runTool("sox", {"-n", "-r", "44100", "-c", "2", "-b", "16",
                                            QString::fromStdString(tone_), "synth", "2", "sine", "1000", "vol", "0.5"}),
                  0);
    }
    void TearDown() override { freeAll(); }

    // a decoder and the float mixer that pulls it
    std::pair<Handle, Handle> chain(const std::string& file)
    {
        Handle d = openFile(file);
        Handle m = createMixer(44100, 2, Decode | FloatOut);
        EXPECT_TRUE(d && m && mixerAdd(m, d, NoRampIn));
        return {d, m};
    }

    static std::vector<float> pull(Handle mixer, int frames)
    {
        std::vector<float> v(size_t(frames) * 2);
        int got = 0;
        while (got < frames) {
            const int n = getData(mixer, v.data() + 2 * got, std::min(1000, frames - got) * 8);
            if (n <= 0) break;
            got += n / 8;
        }
        v.resize(size_t(got) * 2);
        return v;
    }

    static double rmsDb(const std::vector<float>& v, size_t from)
    {
        double s = 0;
        for (size_t i = 2 * from; i < v.size(); ++i) s += double(v[i]) * v[i];
        return 10 * std::log10(s / double(v.size() - 2 * from));
    }

    QTemporaryDir dir_;
    std::string noise_, tone_;
};

}  // namespace

TEST_F(FxChain, VolumeIsExactOnTheStream)
{
    auto [d0, ref] = chain(noise_);
    auto [d1, m] = chain(noise_);
    Handle fx = addFx(d1, FxType::Volume, 6);
    ASSERT_NE(fx, 0u);
    EXPECT_EQ(kindOf(fx), Kind::Fx);
    ASSERT_TRUE(setFxParams(fx, VolumeParams{1.5f, -1}));
    auto a = pull(ref, 20000), b = pull(m, 20000);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) ASSERT_EQ(b[i], a[i] * 1.5f) << i;
}

TEST_F(FxChain, EchoDelayIsExactToTheSampleOnTheStream)
{
    auto [d0, ref] = chain(noise_);
    auto [d1, m] = chain(noise_);
    Handle fx = addFx(d1, FxType::Echo, 4);
    ASSERT_TRUE(setFxParams(fx, EchoParams{0.0f, 1.0f, 0.25f, -1}));
    auto a = pull(ref, 30000), b = pull(m, 30000);
    for (size_t i = 0; i < 2 * 11025; ++i) ASSERT_EQ(b[i], 0.0f) << i;
    for (size_t i = 2 * 11025; i < b.size(); ++i) ASSERT_EQ(b[i], a[i - 2 * 11025]) << i;
}

TEST_F(FxChain, MidKillTakesTwentyFourDecibelsOffAToneAtItsCentre)
{
    auto [d0, ref] = chain(tone_);
    auto [d1, m] = chain(tone_);
    Handle eq = addFx(d1, FxType::PeakEq, 5);
    const float centres[3] = {125, 1000, 8000};
    for (int b = 0; b < 3; ++b) ASSERT_TRUE(setFxParams(eq, PeakEqParams{b, 2.5f, 0, centres[b], 0, -1}));
    PeakEqParams mid{1, 0, 0, 0, 0, 0};
    ASSERT_TRUE(getFxParams(eq, mid));
    mid.gainDb = -25;
    ASSERT_TRUE(setFxParams(eq, mid));
    const double drop = rmsDb(pull(ref, 44100), 22050) - rmsDb(pull(m, 44100), 22050);
    EXPECT_GE(drop, 24.0);
    EXPECT_NEAR(drop, 25.0, 0.5);
}

// Higher priority runs first: a tap at priority 5 sees the volume of priority 6 and not
// the one of priority 4; what comes out has both.
TEST_F(FxChain, PriorityOrdersTheChain)
{
    auto [d0, ref] = chain(noise_);
    auto [d1, m] = chain(noise_);
    Handle low = addFx(d1, FxType::Volume, 4);
    Handle high = addFx(d1, FxType::Volume, 6);
    ASSERT_TRUE(setFxParams(low, VolumeParams{0.25f, -1}));
    ASSERT_TRUE(setFxParams(high, VolumeParams{0.5f, -1}));
    std::vector<float> seen;
    ASSERT_NE(setDsp(d1, [&](Handle, Handle, float* f, int n) { seen.insert(seen.end(), f, f + 2 * n); }, 5), 0u);
    auto a = pull(ref, 4000), b = pull(m, 4000);
    ASSERT_GE(seen.size(), a.size());
    for (size_t i = 0; i < a.size(); ++i) {
        ASSERT_EQ(seen[i], a[i] * 0.5f) << i;
        ASSERT_EQ(b[i], a[i] * 0.5f * 0.25f) << i;
    }
}

TEST_F(FxChain, OneChannelOrAll)
{
    auto [d0, ref] = chain(noise_);
    auto [d1, m] = chain(noise_);
    Handle fx = addFx(d1, FxType::Volume, 1);
    ASSERT_TRUE(setFxParams(fx, VolumeParams{0.0f, 1}));
    auto a = pull(ref, 1000), b = pull(m, 1000);
    for (size_t i = 0; i < a.size(); i += 2) {
        ASSERT_EQ(b[i], a[i]);
        ASSERT_EQ(b[i + 1], 0.0f);
    }
}

TEST_F(FxChain, RecordsGoInAndComeOutWhole)
{
    Handle d = openFile(noise_);
    Handle eq = addFx(d, FxType::PeakEq, 5), vol = addFx(d, FxType::Volume, 6), fl = addFx(d, FxType::Flanger, 3),
           echo = addFx(d, FxType::Echo, 4), wah = addFx(d, FxType::AutoWah, 2), rev = addFx(d, FxType::Reverb, 1);
    ASSERT_TRUE(eq && vol && fl && echo && wah && rev);

    ASSERT_TRUE(setFxParams(eq, PeakEqParams{2, 1.5f, 0.7f, 8000, -20, 0}));
    PeakEqParams e{2, 0, 0, 0, 0, -1};
    ASSERT_TRUE(getFxParams(eq, e));
    EXPECT_EQ(e.bandwidth, 1.5f);
    EXPECT_EQ(e.q, 0.7f);
    EXPECT_EQ(e.centerHz, 8000);
    EXPECT_EQ(e.gainDb, -20);
    EXPECT_EQ(e.channel, 0);

    FlangerParams f;
    ASSERT_TRUE(setFxParams(fl, FlangerParams{0.35f, 0.4f, -1}));
    ASSERT_TRUE(getFxParams(fl, f));
    EXPECT_EQ(f.wetDry, 0.35f);
    EXPECT_EQ(f.speed, 0.4f);

    EchoParams ec;
    ASSERT_TRUE(setFxParams(echo, EchoParams{1.1f, 0.4f, 0.5f, -1}));
    ASSERT_TRUE(getFxParams(echo, ec));
    EXPECT_EQ(ec.dryMix, 1.1f);
    EXPECT_EQ(ec.wetMix, 0.4f);
    EXPECT_EQ(ec.delay, 0.5f);

    AutoWahParams w;
    ASSERT_TRUE(setFxParams(wah, AutoWahParams{1.0f, 0.5f, 0.25f, 5.0f, 5.3f, 100.0f, -1}));
    ASSERT_TRUE(getFxParams(wah, w));
    EXPECT_EQ(w.dryMix, 1.0f);
    EXPECT_EQ(w.wetMix, 0.5f);
    EXPECT_EQ(w.feedback, 0.25f);
    EXPECT_EQ(w.rate, 5.0f);
    EXPECT_EQ(w.range, 5.3f);
    EXPECT_EQ(w.freqHz, 100.0f);

    ReverbParams r;
    ASSERT_TRUE(setFxParams(rev, ReverbParams{-0.35f, 1500, -1}));
    ASSERT_TRUE(getFxParams(rev, r));
    EXPECT_EQ(r.level, -0.35f);
    EXPECT_EQ(r.delayMs, 1500);

    VolumeParams v;
    ASSERT_TRUE(setFxParams(vol, VolumeParams{2.5f, -1}));
    ASSERT_TRUE(getFxParams(vol, v));
    EXPECT_EQ(v.volume, 2.0f);
}

struct BadCall { const char* what; bool (*call)(Handle eq, Handle vol, Handle stream); Error error; };

class FxChainBadCalls : public FxChain, public ::testing::WithParamInterface<BadCall> {};

TEST_P(FxChainBadCalls, FailHarmlesslyWithACode)
{
    Handle d = openFile(noise_);
    Handle eq = addFx(d, FxType::PeakEq, 5), vol = addFx(d, FxType::Volume, 6);
    ASSERT_TRUE(d && eq && vol);
    EXPECT_FALSE(GetParam().call(eq, vol, d));
    EXPECT_EQ(lastError(), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(Calls, FxChainBadCalls, ::testing::Values(
    BadCall{"record of another effect", [](Handle eq, Handle, Handle) { return setFxParams(eq, VolumeParams{}); }, Error::WrongKind},
    BadCall{"band out of range", [](Handle eq, Handle, Handle) { return setFxParams(eq, PeakEqParams{99, 1, 0, 100, 0, -1}); }, Error::Param},
    BadCall{"no such channel", [](Handle, Handle vol, Handle) { return setFxParams(vol, VolumeParams{1, 5}); }, Error::Param},
    BadCall{"stream as effect", [](Handle, Handle, Handle d) { return setFxParams(d, VolumeParams{}); }, Error::WrongKind},
    BadCall{"handle 0", [](Handle, Handle, Handle) { VolumeParams v; return getFxParams(0, v); }, Error::Handle},
    BadCall{"removed twice", [](Handle, Handle vol, Handle d) { removeFx(d, vol); return removeFx(d, vol); }, Error::Handle},
    BadCall{"reset of a freed effect", [](Handle, Handle vol, Handle d) { removeFx(d, vol); return resetFx(vol); }, Error::Handle},
    BadCall{"effect on handle 0", [](Handle, Handle, Handle) { return addFx(0, FxType::Echo, 1) != 0; }, Error::Handle}),
    [](const auto& info) { std::string s = info.param.what; for (char& c : s) if (c == ' ') c = '_'; return s; });

TEST_F(FxChain, RemovedEffectLeavesTheSoundAsItWas)
{
    auto [d0, ref] = chain(noise_);
    auto [d1, m] = chain(noise_);
    Handle fx = addFx(d1, FxType::Echo, 4);
    ASSERT_TRUE(setFxParams(fx, EchoParams{0.5f, 0.5f, 0.01f, -1}));
    auto a0 = pull(ref, 2000), b0 = pull(m, 2000);
    EXPECT_NE(a0, b0);
    ASSERT_TRUE(removeFx(d1, fx));
    EXPECT_EQ(kindOf(fx), Kind::None);
    auto a = pull(ref, 2000), b = pull(m, 2000);
    EXPECT_EQ(a, b);
}

TEST_F(FxChain, ResetForgetsTheEchoTail)
{
    Handle d = openFile(noise_);
    Handle fx = addFx(d, FxType::Echo, 4);
    ASSERT_TRUE(setFxParams(fx, EchoParams{0.0f, 1.0f, 0.1f, -1}));
    Handle m = createMixer(44100, 2, Decode | FloatOut);
    ASSERT_TRUE(mixerAdd(m, d, NoRampIn));
    pull(m, 2000);
    ASSERT_TRUE(resetFx(fx));
    // wet only: the first 0.1 s after a reset is what the echo heard since, which is nothing
    auto b = pull(m, 4000);
    for (float s : b) ASSERT_EQ(s, 0.0f);
}
