// The engine tick and recording, offline: the tick is driven by the test, 5 ms of sound
// rendered per tick and the decks' own 25 ms tick every fifth.
#include <gtest/gtest.h>

#include <QFile>

#include "tests/engine/engine/enginerig.h"
#include "engine/decktime.h"
#include "engine/hintmailbox.h"
#include "tests/support/wavreader.h"

using namespace enginerig;

namespace {

constexpr int kTickFrames[2] = {220, 221};  // 5 ms at 44,100 Hz, alternately

struct TickRig : Rig {
    TickRig()
    {
        engine->soundcfg->devicework = 3;
        engine->initds();
    }
    // One engine tick of sound; the decks tick every fifth.
    void tick()
    {
        engine->render(kTickFrames[ticks % 2], keep ? &master : nullptr);
        if (ticks % 5 == 0)
            for (int n = 1; n <= 2; ++n) deck(n).fchangetimerTimer();
        engine->OnChangeTimer();
        ++ticks;
    }
    long ticks = 0;
    bool keep = false;
    std::vector<float> master;
};

// ------------------------------------------------------------------------------------------
// Recording

using testsupport::Wav;
using testsupport::readWav;

// Normalised correlation of the recording's left channel against the render's at `lag`
// frames of the recording, over `count` frames (all when 0).
double correlation(const std::vector<int16_t>& rec, const std::vector<float>& ref, size_t lag, size_t count = 0)
{
    size_t n = std::min(ref.size() / 2, rec.size() / 2 - lag);
    if (count) n = std::min(n, count);
    double xy = 0, xx = 0, yy = 0;
    for (size_t i = 0; i < n; ++i) {
        const double x = ref[2 * i], y = rec[2 * (i + lag)] / 32768.0;
        xy += x * y;
        xx += x * x;
        yy += y * y;
    }
    return xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0;
}

// The lag found on the first second, the correlation taken over the whole recording.
double bestCorrelation(const std::vector<int16_t>& rec, const std::vector<float>& ref, size_t maxLag)
{
    size_t best = 0;
    double top = -2;
    for (size_t lag = 0; lag <= maxLag; ++lag)
        if (const double c = correlation(rec, ref, lag, 44100); c > top) {
            top = c;
            best = lag;
        }
    return correlation(rec, ref, best);
}

TEST(Recording, TenSecondsOfTheMixMatchTheRender)
{
    TickRig rig;
    // a sweep on deck A and a tone on deck B: a wrong lag or a lost block would show
    const QString sweep = rig.dir.filePath("sweep.wav");
    ASSERT_TRUE(deckrig::writeWav(sweep, 44100, 44100 * 15, [](int64_t i, int16_t& l, int16_t& r) {
        const double t = double(i) / 44100;
        l = r = int16_t(std::lround(9000 * std::sin(2 * M_PI * (200 * t + 40 * t * t))));
    }));
    rig.load(1, sweep);
    rig.load(2, rig.tone("b.wav", kToneB));
    rig.deck(1).Play();
    rig.deck(2).Play();
    const QString file = rig.dir.filePath("mix.wav");
    rig.engine->graba(file, 1);
    ASSERT_TRUE(rig.engine->grabando);
    ASSERT_TRUE(estagrabando);
    std::vector<float> master;
    rig.engine->render(441000, &master);
    rig.engine->graba(QString(), 0);
    EXPECT_FALSE(rig.engine->grabando);
    EXPECT_FALSE(estagrabando);
    EXPECT_EQ(rig.deck(1).recdsp, 0u);

    const Wav w = readWav(file);
    EXPECT_EQ(w.format, 1);
    EXPECT_EQ(w.channels, 2);
    EXPECT_EQ(w.rate, 44100);
    EXPECT_EQ(w.bits, 16);
    EXPECT_NEAR(double(w.samples.size() / 2), 441000.0, 1024.0);
    EXPECT_GT(bestCorrelation(w.samples, master, 4096), 0.99);
}

TEST(Recording, AFileThatCannotBeWrittenLeavesNoRecording)
{
    TickRig rig;
    rig.playtones();
    rig.engine->graba(rig.dir.filePath("missing/folder/mix.wav"), 1);
    EXPECT_EQ(rig.messages, QStringList{"Couldn't start encoding"});
    EXPECT_FALSE(rig.engine->grabando);
    EXPECT_FALSE(estagrabando);
    EXPECT_EQ(rig.deck(1).recdsp, 0u);
    rig.tick();
    EXPECT_EQ(rig.engine->grabapeak, 0);
}

TEST(Recording, StoppingWhenNothingRecordsClearsBothFlags)
{
    TickRig rig;
    rig.engine->graba(QString(), 0);
    EXPECT_FALSE(rig.engine->grabando);
    EXPECT_FALSE(estagrabando);
    EXPECT_TRUE(rig.messages.isEmpty());
}

TEST(Recording, SilenceWithNoDeckAndAPeakWithDecks)
{
    TickRig rig;
    const QString file = rig.dir.filePath("silence.wav");
    rig.engine->graba(file, 1);
    for (int i = 0; i < 400; ++i) rig.tick();
    EXPECT_EQ(rig.engine->grabapeak, 0);
    rig.engine->graba(QString(), 0);
    const Wav w = readWav(file);
    EXPECT_NEAR(double(w.samples.size() / 2), 400 * 220.5, 1024.0);
    EXPECT_TRUE(std::all_of(w.samples.begin(), w.samples.end(), [](int16_t s) { return s == 0; }));

    rig.playtones();
    rig.engine->graba(rig.dir.filePath("tones.wav"), 1);
    for (int i = 0; i < 400; ++i) rig.tick();
    EXPECT_GT(rig.engine->grabapeak, 5000);
}

// ------------------------------------------------------------------------------------------
// Play counting

TEST(PlayCount, TakenOnceAfterMoreThan1200TicksWithEveryGridRow)
{
    TickRig rig;
    rig.deck(1).basseqfx->tag[0] = 95.5;
    rig.deck(1).basseqfx->tag[1] = 4000;
    const QString track = rig.tone("a.wav", kToneA, 20);
    FakeGrid files({track, "other.mp3", track}), play({"x.mp3"});
    rig.engine->sgfiles = &files;
    rig.engine->sgplay = &play;
    rig.engine->Ponsgs();
    rig.load(1, track);
    rig.engine->veces1 = 4;
    rig.engine->posada1 = false;
    rig.deck(1).Play();

    for (int i = 0; i < 600; ++i) rig.tick();
    rig.deck(1).Pause();  // pausing keeps the count
    for (int i = 0; i < 50; ++i) rig.tick();
    rig.deck(1).Pause();
    for (int i = 0; i < 600; ++i) rig.tick();
    EXPECT_TRUE(rig.library.files.isEmpty());
    EXPECT_FALSE(rig.engine->posada1);
    rig.tick();
    ASSERT_EQ(rig.library.files, QStringList{track});
    EXPECT_TRUE(rig.engine->posada1);
    EXPECT_EQ(rig.engine->veces1, 5);
    EXPECT_EQ(rig.deck(1).basseqfx->veces, 5);
    for (int row : {1, 3}) {
        EXPECT_EQ(files.cell(22, row), "5");
        EXPECT_EQ(files.cell(2, row), formatFixed(95.5, 3, 3));
        EXPECT_TRUE(files.cell(2, row).startsWith("095")) << files.cell(2, row).toStdString();
        EXPECT_EQ(files.cell(7, row), "4000");
        EXPECT_EQ(files.cell(5, row), rig.deck(1).basseqfx->duration.get());
    }
    EXPECT_TRUE(files.cell(22, 2).isEmpty());
    EXPECT_EQ(files.repaints, 1);
    EXPECT_EQ(play.repaints, 1);
    for (int i = 0; i < 1500; ++i) rig.tick();
    EXPECT_EQ(rig.library.files.size(), 1);
}

TEST(PlayCount, StoppingResetsTheTicks)
{
    TickRig rig;
    rig.load(1, rig.tone("a.wav", kToneA, 20));
    rig.deck(1).Play();
    for (int i = 0; i < 1000; ++i) rig.tick();
    rig.deck(1).Stop();
    rig.tick();
    EXPECT_EQ(rig.engine->puesta1, 0);
    rig.deck(1).Play();
    for (int i = 0; i < 1000; ++i) rig.tick();
    EXPECT_TRUE(rig.library.files.isEmpty());
}

// ------------------------------------------------------------------------------------------
// Automix

TEST(Automix, APlaylistOfThreeTracksPlaysThrough)
{
    TickRig rig;
    audiobase& e = *rig.engine;
    const QStringList playlist = {rig.tone("t1.wav", 400, 9), rig.tone("t2.wav", 600, 9), rig.tone("t3.wav", 800, 9)};
    int next = 0;
    auto loadNext = [&](int n) {
        if (next >= playlist.size()) return;
        rig.load(n, playlist[next++]);
        (n == 1 ? e.posada1 : e.posada2) = false;
    };
    loadNext(1);
    loadNext(2);
    e.dr = 4;
    e.lr = 2;
    e.autoenable = true;
    rig.deck(1).Play();

    QStringList hints;
    std::map<int, int> volumeA;  // remaining seconds of deck A's first track -> its volume
    bool bStartedEarly = false;
    for (int i = 0; i < 8000 && hints.size() < 3; ++i) {
        rig.tick();
        if (hints.isEmpty() && rig.deck(1).loaded) {
            volumeA[rig.deck(1).rem] = rig.deck(1).basseqfx->vol;
            if (rig.deck(1).rem >= 2 && rig.deck(2).basseqfx->Fstatus == sPlay) bStartedEarly = true;
        }
        for (const QString& h : rig.services.hint().takeAll()) {
            hints << h;
            loadNext(h == "CARGACANCION1" ? 1 : 2);
        }
    }
    EXPECT_EQ(hints, (QStringList{"CARGACANCION1", "CARGACANCION2", "CARGACANCION1"}));
    EXPECT_FALSE(bStartedEarly);
    // 100 div 4 = 25 per second below 4 seconds left
    EXPECT_EQ(volumeA[5], 100);
    EXPECT_EQ(volumeA[4], 100);
    EXPECT_EQ(volumeA[3], 75);
    EXPECT_EQ(volumeA[2], 50);
    EXPECT_EQ(volumeA[1], 25);
    // each track counted once, in the order played
    EXPECT_EQ(rig.library.files, playlist);
    EXPECT_EQ(e.mix1to2, 0);
    EXPECT_FALSE(e.mixnow);
}

TEST(Automix, DeckBFadesByTheSameRuleAsDeckA)
{
    TickRig rig;
    audiobase& e = *rig.engine;
    rig.load(2, rig.tone("b.wav", kToneB, 8));
    e.dr = 4;
    e.lr = 2;
    e.newdr = 3;  // left over from a mix now that was called off
    e.autoenable = true;
    rig.deck(2).Play();
    std::map<int, int> volumeB;
    for (int i = 0; i < 2000 && rig.deck(2).loaded; ++i) {
        rig.tick();
        if (rig.deck(2).loaded) volumeB[rig.deck(2).rem] = rig.deck(2).basseqfx->vol;
    }
    EXPECT_EQ(volumeB[3], 75);
    EXPECT_EQ(volumeB[1], 25);
    EXPECT_EQ(rig.services.hint().takeAll(), QStringList{"CARGACANCION2"});
}

TEST(Automix, MixNowWithoutFadeTimeCutsAtOnce)
{
    TickRig rig;
    audiobase& e = *rig.engine;
    rig.load(1, rig.tone("a.wav", kToneA, 30));
    rig.load(2, rig.tone("b.wav", kToneB, 30));
    e.dr = 0;
    e.lr = 1;
    e.autoenable = true;
    rig.deck(1).Play();
    for (int i = 0; i < 20; ++i) rig.tick();
    e.mixnow = true;
    for (int i = 0; i < 20; ++i) rig.tick();
    EXPECT_EQ(rig.services.hint().takeAll(), QStringList{"CARGACANCION1"});
    EXPECT_FALSE(e.mixnow);
    EXPECT_EQ(rig.deck(2).basseqfx->Fstatus, sPlay);
}

TEST(Automix, MixNowFadesOverTheFadeTimeFromThePress)
{
    TickRig rig;
    audiobase& e = *rig.engine;
    rig.load(1, rig.tone("a.wav", kToneA, 30));
    rig.load(2, rig.tone("b.wav", kToneB, 30));
    e.dr = 4;
    e.lr = 2;
    e.autoenable = true;
    rig.deck(1).Play();
    for (int i = 0; i < 401; ++i) rig.tick();  // 2 s in
    const int left = rig.deck(1).rem;
    e.mixnow = true;
    rig.tick();
    EXPECT_EQ(e.mix1to2, 1);
    EXPECT_EQ(e.newdr, left - 4);
    EXPECT_EQ(e.newdl, left - 4);
    int ticksToB = 0;
    while (rig.deck(2).basseqfx->Fstatus != sPlay && ticksToB < 2000) {
        rig.tick();
        ++ticksToB;
    }
    // deck B starts when less than lr seconds are left of the fade, about 2 s after the press
    EXPECT_NEAR(ticksToB * 0.005, 2.5, 1.0);
    for (int i = 0; i < 1000 && rig.services.hint().empty(); ++i) rig.tick();
    EXPECT_EQ(rig.services.hint().takeAll(), QStringList{"CARGACANCION1"});
    EXPECT_EQ(e.mix1to2, 0);
}

TEST(Automix, WithDeckBEmptyDeckAFadesAndStopsAlone)
{
    TickRig rig;
    audiobase& e = *rig.engine;
    rig.load(1, rig.tone("a.wav", kToneA, 6));
    e.dr = 4;
    e.lr = 2;
    e.autoenable = true;
    rig.deck(1).Play();
    for (int i = 0; i < 2000 && rig.services.hint().empty(); ++i) rig.tick();
    EXPECT_EQ(rig.services.hint().takeAll(), QStringList{"CARGACANCION1"});
    EXPECT_FALSE(rig.deck(1).loaded);
    EXPECT_EQ(rig.deck(1).rem, -1);
    EXPECT_EQ(rig.deck(2).basseqfx->Fstatus, sStop);
}

}  // namespace

namespace {

// A loop the deck's own sync missed is caught by the tick: forward past the end by 5000 bytes
// back to the start; in reverse 20000 bytes before the start to the end.
TEST(LoopCatchUp, ForwardAndReverse)
{
    TickRig rig;
    rig.load(1, rig.tone("a.wav", kToneA, 10));
    carga& d = rig.deck(1);
    d.basseqfx->loop = true;
    d.syncnow = false;
    d.syncloop[0] = 400000;
    d.syncloop[1] = 600000;

    struct Step {
        bool reverse;
        int64_t at, after;
    };
    const Step steps[] = {{false, 604000, 604000}, {false, 605000, 400000}, {true, 381000, 381000},
                          {true, 380000, 600000}};
    for (const Step& s : steps) {
        d.reversing = s.reverse;
        d.SetPosition(s.at);
        rig.engine->OnChangeTimer();
        EXPECT_EQ(d.Getposition(), s.after) << s.at;
    }
    // the deck's sync has the loop: the tick leaves it alone
    d.syncnow = true;
    d.reversing = false;
    d.SetPosition(700000);
    rig.engine->OnChangeTimer();
    EXPECT_EQ(d.Getposition(), 700000);
}

}  // namespace
