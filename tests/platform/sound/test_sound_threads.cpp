// Two threads hammer seeks, attributes, slides, syncs and mixer membership while a third
// renders offline; callbacks call back into the layer. Nothing may crash or deadlock (and
// ThreadSanitizer must stay quiet: build with OSTREL_TSAN).
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include <cstdlib>
#include <functional>

#include <QFile>
#include <QTemporaryDir>

#include "platform/sound/decoder.h"
#include "platform/sound/graph.h"
#include "platform/sound/realtime.h"
#include "tests/platform/sound/soundfixtures.h"

using namespace soundtest;

namespace {

TEST(Threads, HammeringDuringAnOfflineRender)
{
    const int rate = 44100;
    sound::Handle decA = rampStream(rate * 5);
    sound::Handle decB = memoryStream(rate * 5, 48000, [](int i, int c) { return (i * (c + 3)) % 20000; });
    sound::Handle revA = sound::createReverse(decA);
    sound::Handle revB = sound::createReverse(decB);
    sound::Handle tempoB = sound::createTempo(revB);
    sound::Handle deckA = sound::createMixer(rate, 2, sound::Decode);
    sound::Handle deckB = sound::createMixer(rate, 2, sound::Decode);
    sound::Handle master = sound::createMixer(rate, 2, sound::Decode | sound::NonStop);
    sound::Handle bus = sound::createPushStream(rate);
    ASSERT_TRUE(sound::mixerAdd(deckA, revA, sound::NoRampIn));
    ASSERT_TRUE(sound::mixerAdd(deckB, tempoB, sound::NoRampIn));
    ASSERT_TRUE(sound::mixerAdd(master, deckA));
    ASSERT_TRUE(sound::mixerAdd(master, deckB));
    ASSERT_TRUE(sound::mixerAdd(master, bus));
    std::atomic<int> syncCalls{0}, dspCalls{0};
    sound::setSync(revA, sound::SyncType::Position, rate * 4, [&](sound::Handle, sound::Handle s, std::int64_t) {
        ++syncCalls;
        sound::setPosition(s, rate * 2);
        sound::setAttribute(s, sound::Attribute::Volume, 0.9f);
    });
    sound::setSync(tempoB, sound::SyncType::End, 0, [&](sound::Handle, sound::Handle s, std::int64_t) {
        ++syncCalls;
        sound::setPosition(s, 0);
    });
    sound::setDsp(deckA, [&](sound::Handle, sound::Handle, float* f, int n) {
        ++dspCalls;
        sound::pushFloat(bus, f, n);
        sound::Level lv;
        sound::getLevel(deckB, lv);
    });

    std::atomic<bool> done{false};
    std::thread render([&] {
        std::vector<float> block(2 * 512);
        for (int i = 0; i < 3000; ++i)
            sound::renderFloat(master, block.data(), 512);
        done = true;
    });
    auto hammer = [&](int seed) {
        std::mt19937 rng{static_cast<std::uint32_t>(seed)};
        std::uniform_int_distribution<int> pick(0, 11);
        std::vector<std::int16_t> tmp(256);
        std::vector<float> fft(513);
        while (!done) {
            sound::Handle deck = rng() % 2 ? revA : tempoB;
            switch (pick(rng)) {
            case 0: sound::setPosition(deck, std::int64_t(rng() % (rate * 5)) * 4); break;
            case 1: sound::setAttribute(deck, sound::Attribute::Freq, float(1 + rng() % 100000)); break;
            case 2: sound::slideAttribute(deck, sound::Attribute::Volume, float(rng() % 100) / 100, int(rng() % 50)); break;
            case 3: sound::setAttribute(revA, sound::Attribute::Direction, rng() % 2 ? 1.0f : -1.0f); break;
            case 4: sound::setAttribute(tempoB, sound::Attribute::Tempo, float(int(rng() % 40) - 20)); break;
            case 5: {
                sound::Handle s = sound::setSync(deck, sound::SyncType::Position, std::int64_t(rng() % rate) * 4,
                                                 [](sound::Handle h, sound::Handle st, std::int64_t) { sound::removeSync(st, h); });
                if (rng() % 2) sound::removeSync(deck, s);
                break;
            }
            case 6: sound::pause(deck); sound::play(deck); break;
            case 7: sound::mixerRemove(deckB); sound::mixerAdd(master, deckB, sound::NoRampIn); break;
            case 8: sound::getFft(deckA, fft.data(), 1024); break;
            case 9: sound::getPosition(tempoB); sound::getLength(revA); break;
            case 10: sound::slideAttribute(deck, sound::Attribute::Pan, float(int(rng() % 200) - 100) / 100, 10); break;
            case 11: {
                sound::Handle h = rampStream(300);
                sound::getData(h, tmp.data(), int(tmp.size() * 2));
                sound::freeStream(h);
                break;
            }
            }
        }
    };
    std::thread t1(hammer, 1), t2(hammer, 2);
    render.join();
    t1.join();
    t2.join();
    EXPECT_GT(dspCalls.load(), 0);
    sound::freeAll();
    EXPECT_EQ(sound::kindOf(master), sound::Kind::None);
}

// The calls that may block for long abort on an audio thread in test builds; a free from an
// audio thread hands the stream to the reaper instead of destroying it there; a sync or DSP
// callback may lock the graph on the thread that already holds it.
struct ForbiddenCall {
    const char* what;
    std::function<void(sound::Handle stream, sound::Handle encoder, const std::string& file)> call;
};

class RealTimeRule : public ::testing::TestWithParam<ForbiddenCall> {
protected:
    static void SetUpTestSuite() { setenv("OSTREL_RT_CHECKS", "1", 1); }
};

// Runs fn on a thread marked as an audio thread.
void onAudioThread(const std::function<void()>& fn)
{
    std::thread t([&] {
        sound::renderingInRealTime = true;
        fn();
        sound::renderingInRealTime = false;
    });
    t.join();
}

TEST_P(RealTimeRule, AbortsOnAnAudioThread)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ASSERT_TRUE(sound::realTimeChecks());
    QTemporaryDir dir;
    const std::string file = dir.filePath("t.wav").toStdString();
    const std::string take = dir.filePath("take.wav").toStdString();
    {
        QFile f(QString::fromStdString(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(wavImage(44100, 44100, 2, rampValue));
    }
    sound::Handle dec = sound::openFile(file);
    ASSERT_NE(dec, 0u);
    sound::Handle mix = sound::createMixer(44100, 2, sound::Decode | sound::NonStop);
    ASSERT_TRUE(sound::mixerAdd(mix, dec, sound::NoRampIn));
    sound::Handle enc = sound::encodeToWav(mix, take);
    ASSERT_NE(enc, 0u);
    const ForbiddenCall& c = GetParam();
    EXPECT_DEATH(onAudioThread([&] { c.call(mix, enc, file); }), c.what);
    sound::freeAll();
}

INSTANTIATE_TEST_SUITE_P(
    Calls, RealTimeRule,
    ::testing::Values(
        ForbiddenCall{"sound::lock", [](sound::Handle s, sound::Handle, const std::string&) { sound::lock(s, true); }},
        ForbiddenCall{"opening a file",
                      [](sound::Handle, sound::Handle, const std::string& f) { sound::openFile(f); }},
        ForbiddenCall{"waiting for a background decode",
                      [](sound::Handle s, sound::Handle, const std::string&) { sound::Decoder::awaitAhead(s, 4096); }},
        ForbiddenCall{"flushing an encoder",
                      [](sound::Handle, sound::Handle e, const std::string&) { sound::flushEncoder(e); }},
        ForbiddenCall{"joining a thread",
                      [](sound::Handle, sound::Handle e, const std::string&) { sound::stopEncoder(e); }},
        ForbiddenCall{"destroying a stream", [](sound::Handle s, sound::Handle, const std::string&) {
                          sound::GraphLock l(sound::Graph::instance().mutex);
                          delete sound::Graph::instance().find(s);
                      }}),
    [](const ::testing::TestParamInfo<ForbiddenCall>& i) {
        std::string n;
        for (const char* p = i.param.what; *p; ++p)
            if (std::isalnum(static_cast<unsigned char>(*p))) n += *p;
        return n;
    });

TEST(RealTimeRuleAllowed, AFreeFromAnAudioThreadGoesToTheReaperAndCallbacksLockOnTheirThread)
{
    setenv("OSTREL_RT_CHECKS", "1", 1);
    sound::Handle dec = rampStream(44100);
    sound::Handle mix = sound::createMixer(44100, 2, sound::Decode | sound::NonStop);
    ASSERT_TRUE(sound::mixerAdd(mix, dec, sound::NoRampIn));
    int taps = 0;
    sound::setDsp(mix, [&](sound::Handle, sound::Handle s, float*, int) {
        ++taps;
        EXPECT_TRUE(sound::lock(s, true));  // the render's thread holds the lock already
        EXPECT_TRUE(sound::lock(s, false));
    });
    onAudioThread([&] {
        renderFrames(mix, 1000);
        EXPECT_TRUE(sound::freeStream(dec));
        EXPECT_EQ(sound::kindOf(dec), sound::Kind::None);
    });
    sound::Graph::instance().drainReaper();
    EXPECT_GT(taps, 0);
    sound::freeAll();
}

}  // namespace
