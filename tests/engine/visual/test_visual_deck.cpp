// The visual step over real deck players rendered offline: the spectrum of a playing sine, the
// fall of its bars once the deck stops, and meters that follow the peaks the worker found while
// the step drew them (the worker's hand-over, checked under ThreadSanitizer too).
#include <gtest/gtest.h>

#include <QFile>

#include "engine/peakscache.h"
#include "engine/tdamepicos.h"
#include "tests/engine/deck/deckrig.h"
#include "tests/engine/visual/visualrig.h"

namespace {

// A sine in the middle of FFT bin 24 at 44.1 kHz (bar 12 shows bins 0, 2, 4, ...).
constexpr double kBin24 = 24 * 44100.0 / 1024;
const double kMinus12dB = std::pow(10.0, -12.0 / 20);

class VisualDeck : public ::testing::TestWithParam<bool> {};

TEST_P(VisualDeck, SineFillsItsBarAndStoppingLetsTheBarsFall)
{
    const bool keylock = GetParam();
    QTemporaryDir dir;
    const QString f = dir.filePath(QStringLiteral("sine.wav"));
    ASSERT_TRUE(deckrig::tone(f, 44100, 3, kBin24, kMinus12dB));
    deckrig::Rig deck(1, true);
    ASSERT_TRUE(deck.load(f));
    deck.deck->setkeylock(keylock);
    deck.unity();
    deck.deck->Play();
    ASSERT_EQ(deck.deck->basseqfx->Fstatus, sPlay);
    ASSERT_EQ(deck.deck->activeStream() == deck.deck->ChannelTempo.load(), keylock);

    visualrig::Rig rig;
    rig.start(deck.deck->basseqfx);
    rig.v.setdisplayspec(true);
    TSpectrum& s = *rig.v.mspectrum;
    for (int frame = 0; frame < 4; ++frame) {
        deck.render(1102);  // 25 ms of play between two frames of the deck
        rig.v.moveit();
    }
    EXPECT_EQ(s.FFTFallOff[12], 40);
    for (int bar = 0; bar < 30; ++bar)
        if (bar < 10 || bar >= 15) {
            EXPECT_LT(s.FFTFallOff[bar], 2) << bar;
        }
    EXPECT_EQ(rig.box1.count(12 * 16 + 7, rig.v.cg[2]), 40);

    deck.deck->Pause();
    for (int frame = 1; frame <= 3; ++frame) {
        deck.render(1102);
        rig.v.moveit();
        EXPECT_EQ(s.FFTFallOff[12], 40 - 3 * frame);
        EXPECT_EQ(s.FFTPeacks[12], 40 - frame);
    }
}

INSTANTIATE_TEST_SUITE_P(Keylock, VisualDeck, ::testing::Values(false, true));

TEST(VisualDeckPeaks, MetersFollowThePeaksTheWorkerFound)
{
    QTemporaryDir dir;
    const QString f =
        dir.filePath(QStringLiteral("%1-sections.wav").arg(QCoreApplication::applicationPid()));
    // 4 s loud, 4 s quiet, 4 s loud
    ASSERT_TRUE(deckrig::writeWav(f, 44100, 44100 * 12, [](int64_t i, int16_t& l, int16_t& r) {
        const double amp = (i / (44100 * 4)) % 2 == 0 ? 0.9 : 0.1;
        l = r = int16_t(std::lround(amp * 32767 * std::sin(2 * M_PI * 440 * double(i) / 44100)));
    }));
    QFile::remove(PeaksCache::fileFor(f));
    TDamepicos worker(BpmEntryPoints{}, QStringLiteral("ostrel1"));
    deckrig::Rig deck(1, false);
    deck.deck->creo_onda = &worker;
    ASSERT_TRUE(deck.load(f, 2));  // the second load scans
    deck.unity();
    deck.deck->Play();

    visualrig::Rig rig;
    rig.start(deck.deck->basseqfx);
    // the step draws while the worker fills the buffers
    int steps = 0;
    while (worker.busy() && steps < 100000) {
        deck.render(88);
        rig.v.moveit();
        ++steps;
    }
    worker.waitForEnd();

    auto meterAt = [&](double seconds) {
        deck.deck->SetPosition(int64_t(seconds * 44100) * 4);
        rig.v.moveit();
        return rig.vu1.picos.back();
    };
    const int loud = meterAt(1.5), quiet = meterAt(6.0), loudAgain = meterAt(9.5);
    EXPECT_EQ(loud, 71 * 420 + 2);  // 0.9 of full scale: peak 71 of 80
    EXPECT_EQ(quiet, 8 * 420 + 2);
    EXPECT_EQ(loudAgain, loud);
    EXPECT_TRUE(rig.led1.on);  // the needle went above 28000 on the loud part
    QFile::remove(PeaksCache::fileFor(f));
}

}  // namespace
