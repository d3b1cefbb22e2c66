// Mixers: resampling from each source's own rate, volume and pan at mix time, ramp-in, paused
// sources, non-stop and plain mixers, nested mixers, ended sources revived by a seek.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/platform/sound/soundfixtures.h"
#include "tests/support/tonemeter.h"

using namespace soundtest;

namespace {

sound::Handle nonStop(int rate = 44100) { return sound::createMixer(rate, 2, sound::Decode | sound::NonStop); }

TEST(Mixer, SameRateSourcePassesThroughUntouched)
{
    sound::Handle src = rampStream(10000);
    sound::Handle deck = sound::createMixer(44100, 2, sound::Decode);
    sound::Handle master = nonStop();
    ASSERT_TRUE(sound::mixerAdd(deck, src, sound::NoRampIn));
    ASSERT_TRUE(sound::mixerAdd(master, deck, sound::NoRampIn));
    EXPECT_EQ(sound::mixerOf(src), deck);
    EXPECT_EQ(sound::mixerOf(deck), master);
    EXPECT_EQ(sound::mixerSources(master), std::vector<sound::Handle>{deck});
    auto out = renderFrames(master, 5000);
    for (int i = 0; i < 5000; ++i) {
        ASSERT_EQ(rampFrame(out[2 * std::size_t(i)]), i);
        ASSERT_EQ(rampFrame(out[2 * std::size_t(i) + 1]), -i);
    }
    EXPECT_FALSE(sound::mixerAdd(master, src)) << "a source belongs to one mixer";
    EXPECT_EQ(sound::lastError(), sound::Error::AlreadyInMixer);
    EXPECT_FALSE(sound::mixerAdd(deck, master)) << "no cycles";
    sound::freeStream(master);
    EXPECT_EQ(sound::mixerOf(deck), 0u);
    sound::freeStream(deck);
    sound::freeStream(src);
}

struct RateCase {
    float freq;
    int mixerRate;
};

class MixerRates : public ::testing::TestWithParam<RateCase> {};

// One second of mixing takes Freq frames from the source, whatever the mixer's rate.
TEST_P(MixerRates, TakesTheSourceAtItsOwnRate)
{
    const RateCase c = GetParam();
    sound::Handle src = memoryStream(250000, 44100, [](int i, int) { return (i * 37) % 20000 - 10000; });
    sound::Handle mix = nonStop(c.mixerRate);
    ASSERT_TRUE(sound::mixerAdd(mix, src, sound::NoRampIn));
    ASSERT_TRUE(sound::setAttribute(src, sound::Attribute::Freq, c.freq));
    renderFrames(mix, c.mixerRate);
    EXPECT_NEAR(double(sound::getPosition(src) / 4), c.freq, 3.0);
    sound::freeStream(mix);
    sound::freeStream(src);
}

INSTANTIATE_TEST_SUITE_P(Rates, MixerRates,
                         ::testing::Values(RateCase{1, 44100}, RateCase{100, 44100}, RateCase{22050, 44100},
                                           RateCase{44100, 44100}, RateCase{47000, 44100}, RateCase{100000, 44100},
                                           RateCase{44100, 48000}, RateCase{48000, 44100}));

TEST(Mixer, ResamplingKeepsTheToneAndFollowsASlide)
{
    const int rate = 22050;
    sound::Handle src = memoryStream(rate * 4, rate, [&](int i, int) { return int(16000 * std::sin(2 * M_PI * 1000.0 * i / rate)); });
    sound::Handle mix = nonStop(44100);
    sound::mixerAdd(mix, src, sound::NoRampIn);
    auto out = renderFrames(mix, 44100);
    EXPECT_NEAR(testsupport::toneFrequency(out, 2, 44100), 1000.0, 10.0);
    EXPECT_FALSE(sound::setAttribute(src, sound::Attribute::Freq, 0.5f));
    EXPECT_FALSE(sound::setAttribute(src, sound::Attribute::Freq, 100001));
    // a slide from 22050 to 44100 Hz over one second takes about 0.75 s of the source
    sound::setPosition(src, 0);
    ASSERT_TRUE(sound::slideAttribute(src, sound::Attribute::Freq, 44100, 1000));
    EXPECT_TRUE(sound::isSliding(src, sound::Attribute::Freq));
    renderFrames(mix, 44100);
    EXPECT_FALSE(sound::isSliding(src, sound::Attribute::Freq));
    float f = 0;
    sound::getAttribute(src, sound::Attribute::Freq, f);
    EXPECT_FLOAT_EQ(f, 44100);
    EXPECT_NEAR(double(sound::getPosition(src) / 4), 33075, 33075 * 0.01);
    sound::freeStream(mix);
    sound::freeStream(src);
}

TEST(Mixer, VolumeAndPanApplyAtMixTime)
{
    sound::Handle src = memoryStream(20000, 44100, [](int, int c) { return c == 0 ? 16384 : -16384; });
    sound::Handle mix = nonStop();
    sound::mixerAdd(mix, src, sound::NoRampIn);
    struct Case { float vol, pan, left, right; };
    for (Case c : {Case{1, 0, 0.5f, -0.5f}, Case{0.5f, 0, 0.25f, -0.25f}, Case{1, -1, 0.5f, 0}, Case{1, 1, 0, -0.5f},
                   Case{1, 0.5f, 0.25f, -0.5f}, Case{0, 0, 0, 0}}) {
        sound::setAttribute(src, sound::Attribute::Volume, c.vol);
        sound::setAttribute(src, sound::Attribute::Pan, c.pan);
        auto out = renderFrames(mix, 100);
        EXPECT_FLOAT_EQ(out[100], c.left) << c.vol << " " << c.pan;
        EXPECT_FLOAT_EQ(out[101], c.right) << c.vol << " " << c.pan;
    }
    // a volume slide moves linearly in mixing time
    sound::setAttribute(src, sound::Attribute::Volume, 0);
    sound::setAttribute(src, sound::Attribute::Pan, 0);
    sound::slideAttribute(src, sound::Attribute::Volume, 1, 100);  // 4410 frames
    auto out = renderFrames(mix, 4410);
    EXPECT_NEAR(out[2 * 2205], 0.25f, 0.002f);
    EXPECT_NEAR(out[2 * 4409], 0.5f, 0.002f);
    // a stream's own volume is what a sink hears of it
    sound::setAttribute(mix, sound::Attribute::Volume, 0.5f);
    out = renderFrames(mix, 10);
    EXPECT_FLOAT_EQ(out[0], 0.25f);
    sound::freeStream(mix);
    sound::freeStream(src);
}

TEST(Mixer, RampInUnlessToldNot)
{
    for (bool ramp : {true, false}) {
        sound::Handle src = memoryStream(5000, 44100, [](int, int) { return 16384; });
        sound::Handle mix = nonStop();
        sound::mixerAdd(mix, src, ramp ? 0u : unsigned(sound::NoRampIn));
        auto out = renderFrames(mix, 1000);
        if (ramp) {
            EXPECT_EQ(out[0], 0.0f);
            EXPECT_LT(out[20], 0.5f);
            EXPECT_GT(out[20], 0.0f);
            EXPECT_FLOAT_EQ(out[1998], 0.5f);
        } else {
            EXPECT_FLOAT_EQ(out[0], 0.5f);
        }
        sound::freeStream(mix);
        sound::freeStream(src);
    }
}

TEST(Mixer, PausedSourceStaysSilentAtItsPosition)
{
    sound::Handle src = rampStream(20000);
    sound::Handle mix = nonStop();
    sound::mixerAdd(mix, src, sound::NoRampIn | sound::Paused);
    EXPECT_EQ(sound::state(src), sound::State::Paused);
    auto out = renderFrames(mix, 1000);
    EXPECT_EQ(sound::getPosition(src), 0);
    for (float x : out) ASSERT_EQ(x, 0.0f);
    sound::play(src);
    out = renderFrames(mix, 1000);
    EXPECT_EQ(rampFrame(out[2 * 999]), 999);
    sound::pause(src);
    renderFrames(mix, 1000);
    EXPECT_EQ(sound::getPosition(src), 1000 * 4);
    sound::play(src);
    out = renderFrames(mix, 1);
    EXPECT_EQ(rampFrame(out[0]), 1000);
    sound::freeStream(mix);
    sound::freeStream(src);
}

TEST(Mixer, PlainMixerEndsWhenItsSourcesHaveNothingAndRevivesAfterASeek)
{
    sound::Handle src = rampStream(1000);
    sound::Handle plain = sound::createMixer(44100, 2, sound::Decode);
    sound::Handle ns = nonStop();
    std::vector<std::int16_t> buf(8000);
    EXPECT_EQ(sound::getData(plain, buf.data(), 4000), 0) << "no source: nothing";
    EXPECT_EQ(sound::getData(ns, buf.data(), 4000), 4000) << "non-stop: silence";
    sound::mixerAdd(plain, src, sound::NoRampIn);
    sound::mixerAdd(ns, plain, sound::NoRampIn);
    auto out = renderFrames(ns, 2000);
    EXPECT_EQ(rampFrame(out[2 * 999]), 999);
    for (int i = 1000; i < 2000; ++i) ASSERT_EQ(out[2 * std::size_t(i)], 0.0f);
    EXPECT_EQ(sound::getData(plain, buf.data(), 4000), 0) << "ended source: the plain mixer has nothing";
    out = renderFrames(ns, 500);
    for (float x : out) ASSERT_EQ(x, 0.0f);
    ASSERT_TRUE(sound::setPosition(src, 500 * 4));
    out = renderFrames(ns, 10);
    EXPECT_EQ(rampFrame(out[0]), 500) << "a seek revives it";
    sound::freeStream(ns);
    sound::freeStream(plain);
    sound::freeStream(src);
}

TEST(Mixer, MonoMixerAndFloatOut)
{
    sound::Handle src = memoryStream(1000, 44100, [](int, int c) { return c == 0 ? 16384 : 0; });
    sound::Handle mono = sound::createMixer(44100, 1, sound::Decode | sound::FloatOut);
    sound::mixerAdd(mono, src, sound::NoRampIn);
    sound::StreamInfo info;
    sound::getInfo(mono, info);
    EXPECT_EQ(info.channels, 1);
    std::vector<float> f(100);
    EXPECT_EQ(sound::getData(mono, f.data(), 400), 400);
    EXPECT_FLOAT_EQ(f[5], 0.25f);
    EXPECT_EQ(sound::getPosition(mono), 100 * 2);
    EXPECT_EQ(sound::createMixer(44100, 3), 0u);
    EXPECT_EQ(sound::createMixer(0, 2), 0u);
    sound::freeStream(mono);
    sound::freeStream(src);
}

TEST(Mixer, SeekingAMixerDropsWhatItBuffered)
{
    sound::Handle src = rampStream(10000);
    sound::Handle mix = nonStop();
    sound::mixerAdd(mix, src, sound::NoRampIn);
    sound::setAttribute(src, sound::Attribute::Freq, 30000);  // resampling reads ahead
    renderFrames(mix, 333);
    sound::setAttribute(src, sound::Attribute::Freq, 44100);
    ASSERT_TRUE(sound::setPosition(src, 5000 * 4));
    ASSERT_TRUE(sound::setPosition(mix, 0));
    auto out = renderFrames(mix, 2);
    EXPECT_EQ(rampFrame(out[0]), 5000);
    EXPECT_EQ(sound::getPosition(mix), 2 * 4);
    sound::freeStream(mix);
    sound::freeStream(src);
}

}  // namespace
