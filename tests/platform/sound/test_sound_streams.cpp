// Reverse and tempo streams.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/platform/sound/soundfixtures.h"
#include "tests/support/tonemeter.h"

using namespace soundtest;

namespace {

TEST(ReverseStream, PlaysDescendingFramesFromThePosition)
{
    sound::Handle dec = rampStream(5000);
    ASSERT_NE(dec, 0u);
    sound::Handle rev = sound::createReverse(dec, 0.1, sound::Decode | sound::FreeSource);
    ASSERT_NE(rev, 0u);
    EXPECT_EQ(sound::getLength(rev), 5000 * 4);
    ASSERT_TRUE(sound::setPosition(rev, 1000 * 4));
    ASSERT_TRUE(sound::setAttribute(rev, sound::Attribute::Direction, -1));
    auto v = readFrames(rev, 10);
    ASSERT_EQ(v.size(), 20u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(v[2 * std::size_t(i)], 999 - i);
        EXPECT_EQ(v[2 * std::size_t(i) + 1], -(999 - i));
    }
    EXPECT_EQ(sound::getPosition(rev), 990 * 4);
    EXPECT_EQ(sound::getPosition(dec), 990 * 4);

    // a seek lands exactly, in either direction
    ASSERT_TRUE(sound::setPosition(rev, 3000 * 4));
    v = readFrames(rev, 3);
    EXPECT_EQ(v[0], 2999);
    ASSERT_TRUE(sound::setAttribute(rev, sound::Attribute::Direction, 1));
    v = readFrames(rev, 3);
    EXPECT_EQ(v[0], 2997);
    EXPECT_EQ(v[4], 2999);

    // backward to the start: the stream ends there and the end sync fires once
    int ends = 0;
    sound::setSync(rev, sound::SyncType::End, 0, [&](sound::Handle, sound::Handle, std::int64_t) { ++ends; });
    sound::setAttribute(rev, sound::Attribute::Direction, -1);
    sound::setPosition(rev, 100 * 4);
    v = readFrames(rev, 500);
    EXPECT_EQ(v.size(), 200u);
    EXPECT_EQ(v[198], 0);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(readFrames(rev, 10).size(), 0u);
    EXPECT_EQ(ends, 1);

    EXPECT_TRUE(sound::freeStream(rev));
    EXPECT_EQ(sound::kindOf(dec), sound::Kind::None) << "FreeSource frees the decoder";
}

TEST(ReverseStream, ReadingBackwardEqualsTheForwardDecodeReversed)
{
    sound::Handle dec = memoryStream(20000, 44100, [](int i, int c) { return int(20000 * std::sin(i * 0.01 + c)); });
    sound::Handle rev = sound::createReverse(dec);
    auto fwd = readFrames(rev, 20000);
    ASSERT_EQ(fwd.size(), 40000u);
    sound::setAttribute(rev, sound::Attribute::Direction, -1);
    std::vector<std::int16_t> back;
    for (;;) {
        auto b = readFrames(rev, 777);
        if (b.empty()) break;
        back.insert(back.end(), b.begin(), b.end());
    }
    ASSERT_EQ(back.size(), fwd.size());
    for (std::size_t i = 0; i < 20000; ++i) {
        ASSERT_EQ(back[2 * i], fwd[2 * (19999 - i)]) << i;
        ASSERT_EQ(back[2 * i + 1], fwd[2 * (19999 - i) + 1]) << i;
    }
    sound::freeStream(rev);
}

TEST(TempoStream, ChangesTempoAtConstantPitchAndReportsSourcePositions)
{
    const int frames = 44100 * 4;
    sound::Handle dec = memoryStream(frames, 44100, [](int i, int) { return int(16000 * std::sin(2 * M_PI * 441.0 * i / 44100)); });
    sound::Handle rev = sound::createReverse(dec);
    sound::Handle tempo = sound::createTempo(rev);
    ASSERT_NE(tempo, 0u);
    EXPECT_EQ(sound::tempoSource(tempo), rev);
    ASSERT_TRUE(sound::setAttribute(tempo, sound::Attribute::Tempo, 6));
    float t = 0;
    ASSERT_TRUE(sound::getAttribute(tempo, sound::Attribute::Tempo, t));
    EXPECT_FLOAT_EQ(t, 6);

    auto first = readFrames(tempo, 44100);
    ASSERT_EQ(first.size(), 88200u);
    // one second of output holds 1.06 s of the source; the position says which source frame is heard
    std::int64_t pos = sound::getPosition(tempo) / 4;
    EXPECT_NEAR(double(pos), 44100 * 1.06, 44100 * 0.02);
    std::vector<std::int16_t> mid(first.begin() + 20000, first.end());
    EXPECT_NEAR(testsupport::toneFrequency(mid, 2, 44100), 441.0, 441 * 0.02) << "pitch kept";

    std::vector<std::int16_t> all = first;
    for (;;) {
        auto b = readFrames(tempo, 4096);
        if (b.empty()) break;
        all.insert(all.end(), b.begin(), b.end());
    }
    EXPECT_NEAR(double(all.size() / 2), frames / 1.06, frames * 0.02);
    EXPECT_EQ(sound::getPosition(tempo), sound::getLength(tempo));

    // a seek lands in source bytes
    ASSERT_TRUE(sound::setPosition(tempo, 44100 * 4));
    EXPECT_EQ(sound::getPosition(tempo), 44100 * 4);
    EXPECT_FALSE(sound::setPosition(tempo, std::int64_t(frames + 1) * 4));
    EXPECT_EQ(sound::getPosition(tempo), 44100 * 4);

    EXPECT_TRUE(sound::freeStream(tempo));
    EXPECT_EQ(sound::kindOf(rev), sound::Kind::None);
    EXPECT_EQ(sound::kindOf(dec), sound::Kind::None);
}

TEST(TempoStream, PausedInsideAMixerReadsNothing)
{
    sound::Handle dec = rampStream(44100);
    sound::Handle rev = sound::createReverse(dec);
    sound::Handle tempo = sound::createTempo(rev);
    sound::Handle mix = sound::createMixer(44100, 2, sound::Decode | sound::NonStop);
    ASSERT_TRUE(sound::mixerAdd(mix, tempo, sound::NoRampIn));
    sound::setAttribute(tempo, sound::Attribute::Tempo, 10);
    renderFrames(mix, 2000);
    std::int64_t p = sound::getPosition(dec);
    EXPECT_GT(p, 0);
    ASSERT_TRUE(sound::stop(tempo));
    EXPECT_EQ(sound::state(tempo), sound::State::Paused);
    auto silent = renderFrames(mix, 4000);
    EXPECT_EQ(sound::getPosition(dec), p) << "nothing read from the source";
    for (float x : silent) ASSERT_EQ(x, 0.0f);
    ASSERT_TRUE(sound::play(tempo));
    renderFrames(mix, 2000);
    EXPECT_GT(sound::getPosition(dec), p);
    sound::freeStream(mix);
    sound::freeStream(tempo);
}

// A loop under keylock: the sync sits on the tempo stream, in source bytes.
TEST(TempoStream, PositionSyncLoopsInSourceBytes)
{
    sound::Handle dec = rampStream(44100 * 2);
    sound::Handle rev = sound::createReverse(dec);
    sound::Handle tempo = sound::createTempo(rev);
    sound::setAttribute(tempo, sound::Attribute::Tempo, -20);
    sound::Handle mix = sound::createMixer(44100, 2, sound::Decode | sound::NonStop);
    sound::mixerAdd(mix, tempo, sound::NoRampIn);
    int passes = 0;
    sound::setSync(tempo, sound::SyncType::Position, 20000 * 4, [&](sound::Handle, sound::Handle s, std::int64_t) {
        ++passes;
        EXPECT_TRUE(sound::setPosition(s, 10000 * 4));
    });
    std::int64_t highest = 0;
    for (int i = 0; i < 100; ++i) {
        renderFrames(mix, 1024);
        highest = std::max(highest, sound::getPosition(tempo) / 4);
    }
    EXPECT_GE(passes, 5);
    EXPECT_LE(highest, 20000 + 2048);
    sound::freeStream(mix);
    sound::freeStream(tempo);
}

}  // namespace
