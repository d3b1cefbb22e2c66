// Syncs fired at their exact frame with seamless seeks inside them, DSP taps before the
// volume, push streams, levels and FFT, handles, and the no-sound clock.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "tests/platform/sound/soundfixtures.h"

using namespace soundtest;

namespace {

sound::Handle nonStop(int rate = 44100) { return sound::createMixer(rate, 2, sound::Decode | sound::NonStop); }

TEST(Sync, PositionSyncFiresBeforeItsFrameAndASeekInsideIsSeamless)
{
    sound::Handle dec = rampStream(10000);
    sound::Handle rev = sound::createReverse(dec);
    sound::Handle mix = nonStop();
    sound::mixerAdd(mix, rev, sound::NoRampIn);
    std::vector<std::int64_t> seen;
    sound::Handle sync = sound::setSync(rev, sound::SyncType::Position, 500 * 4,
                                        [&](sound::Handle, sound::Handle s, std::int64_t data) {
                                            seen.push_back(sound::getPosition(s));
                                            EXPECT_EQ(data, 500 * 4);
                                            sound::setPosition(s, 100 * 4);
                                        });
    ASSERT_NE(sync, 0u);
    auto out = renderFrames(mix, 1300);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], 500 * 4) << "fired when the frame at 500 is next";
    EXPECT_EQ(rampFrame(out[2 * 499]), 499);
    EXPECT_EQ(rampFrame(out[2 * 500]), 100) << "next frame comes from the new position";
    EXPECT_EQ(rampFrame(out[2 * 900]), 100);
    ASSERT_TRUE(sound::removeSync(rev, sync));
    EXPECT_FALSE(sound::removeSync(rev, sync));

    // backward: fired when the frames above the position are played
    sound::setAttribute(rev, sound::Attribute::Direction, -1);
    sound::setPosition(rev, 1000 * 4);
    seen.clear();
    sound::setPosition(mix, 0);
    sound::setSync(rev, sound::SyncType::Position, 300 * 4, [&](sound::Handle, sound::Handle s, std::int64_t) {
        seen.push_back(sound::getPosition(s));
        sound::setPosition(s, 900 * 4);
    });
    out = renderFrames(mix, 800);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen[0], 300 * 4);
    EXPECT_EQ(rampFrame(out[0]), 999);
    EXPECT_EQ(rampFrame(out[2 * 699]), 300);
    EXPECT_EQ(rampFrame(out[2 * 700]), 899);
    sound::freeStream(mix);
    sound::freeStream(rev);
}

TEST(Sync, EndSyncWithASeekLoopsTheWholeStream)
{
    sound::Handle dec = rampStream(1000);
    sound::Handle mix = nonStop();
    sound::mixerAdd(mix, dec, sound::NoRampIn);
    int ends = 0;
    sound::setSync(dec, sound::SyncType::End, 0, [&](sound::Handle, sound::Handle s, std::int64_t) {
        ++ends;
        sound::setPosition(s, 0);
    });
    auto out = renderFrames(mix, 3500);
    EXPECT_EQ(ends, 3);
    for (int i = 0; i < 3500; ++i)
        ASSERT_EQ(rampFrame(out[2 * std::size_t(i)]), i % 1000) << i;
    sound::freeStream(mix);
    sound::freeStream(dec);
}

TEST(Sync, OneTimeSyncsAndSyncsThatRemoveThemselves)
{
    sound::Handle dec = rampStream(5000);
    int a = 0, b = 0;
    sound::setSync(dec, sound::SyncType::Position, 100 * 4, [&](sound::Handle, sound::Handle, std::int64_t) { ++a; }, true);
    sound::setSync(dec, sound::SyncType::Position, 200 * 4, [&](sound::Handle h, sound::Handle s, std::int64_t) {
        ++b;
        EXPECT_TRUE(sound::removeSync(s, h));
    });
    readFrames(dec, 300);
    sound::setPosition(dec, 0);
    readFrames(dec, 300);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 1);
    sound::freeStream(dec);
}

// A click every beat at 120 BPM; one bar looped 20 times by a sync at the bar's end that
// seeks back to its start keeps every click interval exact to the sample.
TEST(Sync, ClickTrackLoopedOverOneBarKeepsEveryIntervalExact)
{
    const int rate = 44100, beat = 22050, bar = 4 * beat;
    sound::Handle dec = memoryStream(bar * 4, rate, [&](int i, int) { return i % beat == 0 ? 30000 : 0; });
    sound::Handle rev = sound::createReverse(dec);
    sound::Handle deck = sound::createMixer(rate, 2, sound::Decode);
    sound::Handle master = nonStop();
    sound::mixerAdd(deck, rev, sound::NoRampIn | sound::Buffered);
    sound::mixerAdd(master, deck, sound::NoRampIn);
    const std::int64_t loopStart = std::int64_t(bar) * 4, loopEnd = std::int64_t(2 * bar) * 4;
    sound::setPosition(rev, loopStart - 3 * 4 * 1000);
    int passes = 0;
    sound::setSync(rev, sound::SyncType::Position, loopEnd, [&](sound::Handle, sound::Handle s, std::int64_t) {
        ++passes;
        sound::setPosition(s, loopStart);
    });
    std::vector<std::int64_t> clicks;
    std::int64_t t = 0;
    std::vector<float> block(2 * 1000);
    while (passes < 20) {
        int n = 997;  // blocks that never line up with the bar
        sound::renderFloat(master, block.data(), n);
        for (int i = 0; i < n; ++i)
            if (block[2 * std::size_t(i)] > 0.5f) clicks.push_back(t + i);
        t += n;
    }
    ASSERT_GE(clicks.size(), 20u * 4);
    for (std::size_t i = 1; i < clicks.size(); ++i)
        ASSERT_EQ(clicks[i] - clicks[i - 1], beat) << "interval " << i;
    sound::freeStream(master);
    sound::freeStream(deck);
    sound::freeStream(rev);
}

TEST(Dsp, TapsSeeTheBlockBeforeTheVolumeInPriorityOrder)
{
    sound::Handle src = memoryStream(10000, 44100, [](int, int) { return 16384; });
    sound::Handle deck = sound::createMixer(44100, 2, sound::Decode);
    sound::Handle master = nonStop();
    sound::mixerAdd(deck, src, sound::NoRampIn);
    sound::mixerAdd(master, deck, sound::NoRampIn);
    sound::setAttribute(deck, sound::Attribute::Volume, 0.25f);
    std::vector<int> order;
    float seenPeak = 0;
    sound::Handle low = sound::setDsp(deck, [&](sound::Handle, sound::Handle, float* f, int n) {
        order.push_back(1);
        for (int i = 0; i < 2 * n; ++i) seenPeak = std::max(seenPeak, f[i]);
    }, 1);
    sound::Handle high = sound::setDsp(deck, [&](sound::Handle, sound::Handle s, float* f, int n) {
        order.push_back(5);
        EXPECT_EQ(s, deck);
        for (int i = 0; i < 2 * n; ++i) f[i] *= 2;  // may edit the block
    }, 5);
    auto out = renderFrames(master, 100);
    ASSERT_GE(order.size(), 2u);
    EXPECT_EQ(order[0], 5);
    EXPECT_EQ(order[1], 1);
    EXPECT_FLOAT_EQ(seenPeak, 1.0f) << "the tap sees the doubled block, before the deck volume";
    EXPECT_FLOAT_EQ(out[50], 0.25f);
    EXPECT_TRUE(sound::removeDsp(deck, high));
    EXPECT_FALSE(sound::removeDsp(deck, high));
    EXPECT_FALSE(sound::removeSync(deck, low)) << "a DSP is not a sync";
    EXPECT_EQ(sound::lastError(), sound::Error::WrongKind);
    out = renderFrames(master, 100);
    EXPECT_FLOAT_EQ(out[50], 0.125f);
    sound::freeStream(master);
    sound::freeStream(deck);
    sound::freeStream(src);
}

class Gain : public sound::Processor {
public:
    explicit Gain(float g) : g_(g) {}
    void process(float* f, int n, int) override { for (int i = 0; i < 2 * n; ++i) f[i] *= g_; }
    void reset() override { ++resets; }
    float g_;
    int resets = 0;
};

TEST(Dsp, ProcessorsPlugIntoTheSameChain)
{
    sound::Handle src = memoryStream(1000, 44100, [](int, int) { return 8192; });
    auto gain = std::make_shared<Gain>(3.0f);
    sound::Handle fx = sound::addProcessor(src, gain, 6, sound::Kind::Fx);
    ASSERT_NE(fx, 0u);
    EXPECT_EQ(sound::kindOf(fx), sound::Kind::Fx);
    EXPECT_EQ(sound::streamOfProcessor(fx), src);
    float last = 0;
    sound::setDsp(src, [&](sound::Handle, sound::Handle, float* f, int) { last = f[0]; }, 0);
    readFrames(src, 10);
    EXPECT_FLOAT_EQ(last, 0.75f);
    EXPECT_TRUE(sound::withProcessor(fx, [](sound::Processor& p) { static_cast<Gain&>(p).g_ = 1.0f; }));
    EXPECT_TRUE(sound::resetProcessors(src));
    EXPECT_EQ(gain->resets, 1);
    readFrames(src, 10);
    EXPECT_FLOAT_EQ(last, 0.25f);
    EXPECT_TRUE(sound::removeProcessor(src, fx));
    EXPECT_FALSE(sound::withProcessor(fx, [](sound::Processor&) {}));
    sound::freeStream(src);
}

TEST(PushStream, BoundedAndKeepsWholeFramesAcrossClocks)
{
    sound::Handle bus = sound::createPushStream(44100, 2, sound::Decode, 4096);
    sound::Handle mix = nonStop();
    sound::mixerAdd(mix, bus, sound::NoRampIn);
    std::vector<float> in(2 * 2000);
    int next = 1;
    auto produce = [&](int n) {
        for (int i = 0; i < n; ++i, ++next) {
            in[2 * std::size_t(i)] = float(next % 30000) / 32768.0f;
            in[2 * std::size_t(i) + 1] = -float(next % 30000) / 32768.0f;
        }
        return sound::pushFloat(bus, in.data(), n);
    };
    // far more than it holds: the ring keeps the newest frames
    for (int i = 0; i < 20; ++i)
        EXPECT_LE(produce(1000), 4096);
    EXPECT_EQ(sound::pushQueued(bus), 4096);

    for (int drift : {+7, -7}) {
        sound::setPosition(bus, 0);
        int maxQueued = 0;
        std::vector<int> outFrames;
        for (int round = 0; round < 400; ++round) {
            produce(1000 + drift);
            auto out = renderFrames(mix, 1000);
            maxQueued = std::max(maxQueued, sound::pushQueued(bus));
            for (int i = 0; i < 1000; ++i) {
                float l = out[2 * std::size_t(i)], r = out[2 * std::size_t(i) + 1];
                ASSERT_EQ(l, -r) << "a frame was split";
                if (round > 10) outFrames.push_back(rampFrame(l));
            }
        }
        EXPECT_LE(maxQueued, 4096);
        int gaps = 0;
        for (std::size_t i = 1; i < outFrames.size(); ++i)
            if (outFrames[i] != (outFrames[i - 1] + 1) % 30000 && outFrames[i] != 0) ++gaps;
        EXPECT_GT(gaps, 0) << "the consumer had to drop or repeat frames";
        EXPECT_LT(gaps, 400 * 2) << "but only about one per block";
    }
    std::vector<std::int16_t> pcm{100, -100, 200, -200};
    EXPECT_GE(sound::pushData(bus, pcm.data(), 8), 2);
    EXPECT_EQ(sound::pushData(mix, pcm.data(), 8), -1);
    EXPECT_EQ(sound::lastError(), sound::Error::WrongKind);
    sound::freeStream(mix);
    sound::freeStream(bus);
}

// The producer stalls (its device ran late) while the reader's clock goes on: the reader gives
// one stretch of silence and then every frame in order, with none repeated while the ring
// fills again, and none lost.
TEST(PushStream, AStallOfTheProducerLeavesOneGap)
{
    sound::Handle bus = sound::createPushStream(44100, 2, sound::Decode, 8820);
    sound::Handle mix = nonStop();
    sound::mixerAdd(mix, bus, sound::NoRampIn);
    std::vector<float> in(2 * 441);
    int next = 1;
    auto produce = [&] {
        for (int i = 0; i < 441; ++i, ++next) {
            // 1 to 29999, never silence
            in[2 * std::size_t(i)] = float(next % 29999 + 1) / 32768.0f;
            in[2 * std::size_t(i) + 1] = -float(next % 29999 + 1) / 32768.0f;
        }
        sound::pushFloat(bus, in.data(), 441);
    };
    std::vector<int> heard;
    for (int block = 0; block < 600; ++block) {
        if (block < 100 || block >= 110) produce();  // ten blocks (100 ms) without a push
        const auto out = renderFrames(mix, 441);
        for (int i = 0; i < 441; ++i) heard.push_back(rampFrame(out[2 * std::size_t(i)]));
    }
    // from the first frame on: runs of consecutive frames separated by silence
    size_t i = 0;
    while (i < heard.size() && heard[i] == 0) ++i;
    int gaps = 0, repeats = 0, skips = 0;
    for (++i; i < heard.size(); ++i) {
        if (heard[i] == 0) continue;
        if (heard[i - 1] == 0) {
            ++gaps;
            continue;
        }
        // while the ring drains towards the gap it may repeat one frame a block; after it, none
        if (heard[i] == heard[i - 1]) repeats += gaps > 0 ? 1 : 0;
        else if (heard[i] != heard[i - 1] % 29999 + 1) ++skips;
    }
    EXPECT_EQ(gaps, 1) << "one silence, at the stall";
    EXPECT_EQ(repeats, 0);
    EXPECT_EQ(skips, 0);
    sound::freeStream(mix);
    sound::freeStream(bus);
}

TEST(LevelsAndFft, OfWhatTheStreamProducedLast)
{
    const int rate = 44100;
    const double f = rate * 32.0 / 1024.0;  // the centre of bin 32
    sound::Handle src = memoryStream(rate, rate, [&](int i, int c) {
        return int((c == 0 ? 16384 : 8192) * std::sin(2 * M_PI * f * i / rate));
    });
    sound::Handle mix = nonStop();
    sound::mixerAdd(mix, src, sound::NoRampIn | sound::Buffered);
    sound::setAttribute(src, sound::Attribute::Volume, 0.1f);
    renderFrames(mix, 4096);
    sound::Level lv;
    ASSERT_TRUE(sound::getLevel(src, lv));
    EXPECT_NEAR(lv.left, 16384, 200) << "before the volume";
    EXPECT_NEAR(lv.right, 8192, 200);
    std::vector<float> fft(513);
    ASSERT_TRUE(sound::getFft(src, fft.data(), 1024));
    EXPECT_NEAR(fft[32], 0.375f, 0.02f);  // the mean of 0.5 and 0.25
    EXPECT_LT(fft[10], 0.01f);
    EXPECT_LT(fft[100], 0.01f);
    EXPECT_FALSE(sound::getFft(src, fft.data(), 1000));
    ASSERT_TRUE(sound::getLevel(mix, lv));
    EXPECT_NEAR(lv.left, 1638, 30);
    sound::freeStream(mix);
    sound::freeStream(src);
}

TEST(Handles, BadHandlesFailHarmlesslyWithAnErrorCode)
{
    std::vector<std::int16_t> buf(100);
    EXPECT_EQ(sound::getLength(0), -1);
    EXPECT_EQ(sound::lastError(), sound::Error::Handle);
    EXPECT_FALSE(sound::setPosition(0, 0));
    EXPECT_FALSE(sound::play(12345));
    EXPECT_EQ(sound::getData(0xFFFFFFFFu, buf.data(), 8), -1);

    sound::Handle dec = rampStream(100);
    sound::Handle sync = sound::setSync(dec, sound::SyncType::End, 0, [](sound::Handle, sound::Handle, std::int64_t) {});
    EXPECT_FALSE(sound::setPosition(sync, 0)) << "a sync is not a stream";
    EXPECT_EQ(sound::lastError(), sound::Error::WrongKind);
    EXPECT_EQ(sound::tempoSource(dec), 0u);
    EXPECT_EQ(sound::lastError(), sound::Error::WrongKind);
    EXPECT_FALSE(sound::mixerAdd(dec, dec));
    EXPECT_EQ(sound::lastError(), sound::Error::WrongKind);
    EXPECT_FALSE(sound::setAttribute(dec, sound::Attribute::Tempo, 5));
    EXPECT_TRUE(sound::freeStream(dec));
    EXPECT_EQ(sound::lastError(), sound::Error::Ok);
    EXPECT_FALSE(sound::freeStream(dec)) << "freed twice";
    EXPECT_EQ(sound::lastError(), sound::Error::Handle);
    EXPECT_EQ(sound::kindOf(sync), sound::Kind::None) << "its syncs went with it";
    EXPECT_FALSE(sound::removeSync(dec, sync));
    // a stale handle stays stale while its slot is used again
    std::vector<sound::Handle> fresh;
    for (int i = 0; i < 50; ++i) fresh.push_back(sound::createMixer(44100));
    EXPECT_EQ(sound::getPosition(dec), -1);
    for (sound::Handle h : fresh) {
        EXPECT_NE(h, dec);
        sound::freeStream(h);
    }
}

TEST(Callbacks, MayCallTheLayerAndFreeStreamsFromInside)
{
    sound::Handle a = rampStream(20000);
    sound::Handle b = rampStream(20000);
    sound::Handle mix = nonStop();
    sound::mixerAdd(mix, a, sound::NoRampIn);
    sound::mixerAdd(mix, b, sound::NoRampIn);
    sound::setSync(a, sound::SyncType::Position, 1000 * 4, [&](sound::Handle, sound::Handle s, std::int64_t) {
        EXPECT_TRUE(sound::freeStream(b));
        EXPECT_TRUE(sound::setAttribute(s, sound::Attribute::Volume, 0.5f));
        std::vector<std::int16_t> tmp(64);
        sound::Handle c = rampStream(100);
        EXPECT_EQ(sound::getData(c, tmp.data(), 128), 128);
        sound::freeStream(c);
    });
    sound::setDsp(a, [&](sound::Handle self, sound::Handle s, float*, int) {
        sound::getPosition(s);
        if (sound::getPosition(s) > 3000 * 4) sound::freeStream(s);  // frees the stream being mixed
        (void)self;
    });
    renderFrames(mix, 5000);
    EXPECT_EQ(sound::kindOf(a), sound::Kind::None);
    EXPECT_EQ(sound::kindOf(b), sound::Kind::None);
    EXPECT_TRUE(sound::mixerSources(mix).empty());
    renderFrames(mix, 100);
    sound::freeStream(mix);
}

TEST(NoSoundDevice, PullsAPlayedStreamInRealTime)
{
    sound::Handle src = rampStream(44100 * 10);
    sound::Handle mix = sound::createMixer(44100, 2, sound::NonStop);
    sound::mixerAdd(mix, src, sound::NoRampIn);
    std::atomic<int> frames{0};
    sound::setDsp(mix, [&](sound::Handle, sound::Handle, float*, int n) { frames += n; });
    EXPECT_EQ(sound::state(mix), sound::State::Stopped);
    ASSERT_TRUE(sound::play(mix));
    EXPECT_EQ(sound::state(mix), sound::State::Playing);
    for (int i = 0; i < 500 && frames < 4410; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_GE(frames.load(), 4410);
    ASSERT_TRUE(sound::stop(mix));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    int stopped = frames;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(frames.load(), stopped);
    EXPECT_GT(sound::getPosition(src), 0);
    sound::freeStream(mix);
    sound::freeStream(src);
}

// However often streams start on it, one clock pulls them: a second of real time is a second
// of sound.
TEST(NoSoundDevice, OneClockServesTheDeviceHoweverOftenStreamsStart)
{
    sound::Handle src = rampStream(44100 * 30);
    sound::Handle mix = sound::createMixer(44100, 2, sound::NonStop);
    sound::mixerAdd(mix, src, sound::NoRampIn);
    std::atomic<int> frames{0};
    sound::setDsp(mix, [&](sound::Handle, sound::Handle, float*, int n) { frames += n; });
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(sound::play(mix));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_TRUE(sound::stop(mix));
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    ASSERT_TRUE(sound::play(mix));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto t0 = std::chrono::steady_clock::now();
    const int f0 = frames;
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const int f1 = frames;
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double rate = (f1 - f0) / secs;
    EXPECT_NEAR(rate, 44100, 4410) << "frames pulled per second of real time";
    sound::freeStream(mix);
    sound::freeStream(src);
}

}  // namespace
