// Deck members nothing in the program calls yet: the search window, the stop to the start,
// the loop-start seek, re-attaching the output, the position in milliseconds, the reverse
// toggles, the pitch slider of a rate, the reverb, and the whole-file tempo scan.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/decktime.h"
#include "tests/engine/deck/deckrig.h"

using namespace deckrig;
using namespace std::chrono_literals;

namespace {

constexpr int kRate = 44100;
constexpr int64_t kClick = 4410;

class Members : public ::testing::Test {
protected:
    void SetUp() override
    {
        file = dir.filePath(QStringLiteral("clicks.wav"));
        ASSERT_TRUE(clickTrack(file, kRate, kRate * 10, kClick, kClick / 2));
        ASSERT_TRUE(rig.load(file));
        rig.unity();
    }
    int64_t pos() { return rig.deck->Getposition(); }

    // waits (bounded) until cond holds
    template <class F>
    static bool waitFor(F cond, std::chrono::milliseconds limit = 20s)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!cond()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(5ms);
        }
        return true;
    }

    QTemporaryDir dir;
    QString file;
    Rig rig{1};
};

}  // namespace

TEST_F(Members, SearchWindowOpensOnAPausedDeckAndMovesWhilePlaying)
{
    carga& d = *rig.deck;
    d.posmas();  // stopped: nothing
    EXPECT_FALSE(d.search);
    EXPECT_EQ(d.basseqfx->Fstatus, sStop);

    d.Play();
    rig.render(10000);
    d.Pause();
    const int64_t at = pos();
    d.posmenos();
    EXPECT_TRUE(d.search);
    EXPECT_EQ(d.basseqfx->Fstatus, sPlay);
    EXPECT_EQ(d.fsearini, at);
    EXPECT_EQ(d.fsearfin, at + 40000);

    d.posmas();
    EXPECT_EQ(d.fsearini, at + 2500);
    EXPECT_EQ(d.fsearfin, at + 2500 + 40000);
    EXPECT_EQ(pos(), at + 2500);
    for (int i = 0; i < 40; ++i) d.posmenos();  // never below the start
    EXPECT_EQ(d.fsearini, 0);
    EXPECT_EQ(pos(), 0);
}

TEST_F(Members, StopToTheStartLoopStartReattachAndMilliseconds)
{
    carga& d = *rig.deck;
    d.fcue1 = 88200;
    d.Play();
    rig.render(4410);
    d.Stopinicio();
    EXPECT_EQ(d.basseqfx->Fstatus, sStop);
    EXPECT_EQ(d.cambia, 2);
    EXPECT_EQ(pos(), 0);
    EXPECT_EQ(d.fcue1, 88200);  // the cue point stays
    EXPECT_EQ(sound::mixerOf(d.Mixer), 0u);

    d.actheads();
    EXPECT_EQ(sound::mixerOf(d.Mixer), d.CMaster);
    EXPECT_FALSE(clicks(rig.render(kClick)).empty());  // heard again, from where it stood
    d.actheads();  // attached already: attached once
    EXPECT_EQ(sound::mixerSources(d.CMaster).size(), 1u);

    d.syncloop[0] = 176400;
    d.SetLoopPosition();
    EXPECT_EQ(pos(), 176400);
    EXPECT_EQ(d.GetSeconds(), 1000);
    d.SetPosition(4 * 22050 + 4);
    EXPECT_EQ(d.GetSeconds(), 500);
}

TEST_F(Members, ReverseTogglesAndReverseFromEitherEnd)
{
    carga& d = *rig.deck;
    d.Play();
    rig.render(22050);
    d.Reverse();
    EXPECT_TRUE(d.reversing);
    EXPECT_EQ(sound::mixerOf(d.Mixer), d.CMaster);
    const int64_t before = pos();
    rig.render(4410);
    EXPECT_EQ(pos(), before - 4410 * 4);
    d.Reverse();
    EXPECT_FALSE(d.reversing);
    rig.render(4410);
    EXPECT_EQ(pos(), before);

    const int64_t length = d.basseqfx->length;
    d.Reverse3(1);
    EXPECT_TRUE(d.reversing);
    EXPECT_EQ(pos(), length);
    rig.render(4410);
    EXPECT_EQ(pos(), length - 4410 * 4);
    d.Reverse3(0);
    EXPECT_FALSE(d.reversing);
    EXPECT_EQ(pos(), 0);
}

TEST_F(Members, PitchSliderOfARate)
{
    const carga& d = *rig.deck;
    ASSERT_EQ(d.freqchan, float(kRate));
    const struct {
        float rate;
        int slider;
    } cases[] = {{44100, 64}, {0, 127}, {88200, 1}, {22050, 96}};  // 96 is 95.5 to even
    for (const auto& c : cases) EXPECT_EQ(d.SetPitchSlider(c.rate), c.slider) << c.rate;
    Rig empty(2);
    EXPECT_EQ(empty.deck->SetPitchSlider(44100), 63);  // no rate to compare with
}

TEST_F(Members, ReverbOnTheStreamAndBackAfterALoad)
{
    carga& d = *rig.deck;
    d.UpdateReverb(0.85f, 2000, true);
    const sound::Handle rv = d.fxchorus;
    ASSERT_NE(rv, 0u);
    EXPECT_EQ(sound::streamOfProcessor(rv), d.Channel);
    d.UpdateReverb(0.5f, 3000, true);  // on again: one reverb, new settings
    EXPECT_EQ(d.fxchorus, rv);
    sound::ReverbParams p;
    ASSERT_TRUE(sound::getFxParams(rv, p));
    EXPECT_FLOAT_EQ(p.level, 0.5f - 0.35f);
    EXPECT_EQ(p.delayMs, 3000);
    EXPECT_EQ(p.channel, -1);

    ASSERT_TRUE(rig.load(file));  // the switch stays on: the new stream gets it too
    ASSERT_NE(d.fxchorus, 0u);
    EXPECT_EQ(sound::streamOfProcessor(d.fxchorus), d.Channel);
    ASSERT_TRUE(sound::getFxParams(d.fxchorus, p));
    EXPECT_EQ(p.delayMs, 3000);
    const sound::Handle again = d.fxchorus;
    d.UpdateReverb(0, 0, false);
    EXPECT_EQ(d.fxchorus, 0u);
    EXPECT_EQ(sound::streamOfProcessor(again), 0u);
    d.updatekills();
}

TEST(DeckTempoScan, WholeFileTempoHandedOverByTheTick)
{
    QTemporaryDir dir;
    const QString track = dir.filePath(QStringLiteral("beat.wav"));
    // kicks at 120 BPM with softer noise ticks between them
    ASSERT_TRUE(writeWav(track, kRate, int64_t(kRate) * 20, [](int64_t i, int16_t& l, int16_t& r) {
        const int64_t half = kRate / 4, at = i % half;
        const bool kick = (i / half) % 2 == 0;
        const double x = double(at) / kRate;
        const double v = kick ? std::sin(2 * M_PI * 60 * x) * std::exp(-x * 20) * 20000
                              : std::sin(double(i) * 1.7) * std::sin(double(i) * 0.31) * std::exp(-x * 80) * 6000;
        l = r = int16_t(v);
    }));
    Rig a(1), b(2);
    ASSERT_TRUE(b.load(track));
    carga& d = *b.deck;
    d.CalculaBPM();
    const auto end = std::chrono::steady_clock::now() + 30s;
    while (d.wdpics[0] <= 0 && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(5ms);
    ASSERT_GT(d.wdpics[0], 0);
    EXPECT_NEAR(d.wdpics[0], 120.0, 0.6);
    EXPECT_EQ(a.deck->wdpics[1], 0);  // progress went to deck A's cell and was cleared at the end
    d.fchangetimerTimer();
    EXPECT_NEAR(d.fbpm, 120.0, 0.6);
    EXPECT_EQ(d.wdpics[0], 0);
    ASSERT_EQ(b.library.files.size(), 1);
    EXPECT_EQ(b.library.files[0], track);
}

TEST(DeckTempoScan, ProgressGoesToDeckACell)
{
    Rig a(1), b(2);
    carga::GetBPM_Process(0, 42.5f);
    EXPECT_EQ(a.deck->wdpics[1], 42.5);
    EXPECT_EQ(b.deck->wdpics[1], 0);
    a.deck.reset();
    carga::GetBPM_Process(0, 10);  // no deck A: nothing written
    EXPECT_EQ(b.deck->wdpics[1], 0);
}

TEST(DeckTempoScan, ALoadStopsTheScanBeforeTheDeckChanges)
{
    QTemporaryDir dir;
    const QString longTrack = dir.filePath(QStringLiteral("long.wav"));
    const QString other = dir.filePath(QStringLiteral("other.wav"));
    ASSERT_TRUE(clickTrack(longTrack, kRate, int64_t(kRate) * 240, kRate / 2));
    ASSERT_TRUE(tone(other, kRate, 5, 440));
    Rig r(1);
    ASSERT_TRUE(r.load(longTrack));
    r.deck->CalculaBPM();
    r.deck->CalculaBPM();  // a second start does not wait for the first
    ASSERT_TRUE(r.load(other));
    // the scans were stopped and joined inside the load: nothing arrives for the old track
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(r.deck->wdpics[0], 0);
    EXPECT_EQ(r.deck->wdpics[1], 0);
    // a deck freed while its scan runs joins it first
    r.deck->CalculaBPM();
    r.deck.reset();
}

TEST(DeckTempoScan, AnUnreadableFileHandsNothingOver)
{
    QTemporaryDir dir;
    const QString track = dir.filePath(QStringLiteral("gone.wav"));
    ASSERT_TRUE(tone(track, kRate, 2, 440));
    Rig r(1);
    ASSERT_TRUE(r.load(track));
    QFile::remove(track);
    r.deck->CalculaBPM();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(r.deck->wdpics[0], 0);
    EXPECT_EQ(r.deck->wdpics[1], 0);
}
