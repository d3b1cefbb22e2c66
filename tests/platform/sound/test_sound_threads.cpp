// Two threads hammer seeks, attributes, slides, syncs and mixer membership while a third
// renders offline; callbacks call back into the layer. Nothing may crash or deadlock (and
// ThreadSanitizer must stay quiet: build with OSTREL_TSAN).
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

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

}  // namespace
