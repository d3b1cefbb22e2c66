// Transport: play, pause, stop to the cue point, PlayCue, seeks by bytes, by a fraction of a
// width and by jog steps, hot cues and their marks.
#include <gtest/gtest.h>

#include "tests/engine/deck/deckrig.h"
#include "engine/decktime.h"

using namespace deckrig;

namespace {

constexpr int kRate = 44100;
constexpr int64_t kClick = 4410;  // frames between clicks

class Transport : public ::testing::Test {
protected:
    void SetUp() override
    {
        file = dir.filePath(QStringLiteral("%1-clicks.wav").arg(QCoreApplication::applicationPid()));
        ASSERT_TRUE(clickTrack(file, kRate, kRate * 10, kClick, kClick / 2));
        ASSERT_TRUE(rig.load(file));
        rig.unity();
    }
    int64_t pos() { return rig.deck->Getposition(); }
    QTemporaryDir dir;
    QString file;
    Rig rig{1};
};

TEST_F(Transport, PlayPauseStopCycle)
{
    carga& d = *rig.deck;
    d.Play();
    EXPECT_EQ(d.basseqfx->Fstatus, sPlay);
    EXPECT_EQ(d.cambia, 1);
    rig.render(22050);
    const int64_t held = pos();
    EXPECT_EQ(held, 22050 * 4);
    d.Play();  // playing -> paused
    EXPECT_EQ(d.basseqfx->Fstatus, sPause);
    const auto silent = rig.render(8820);
    EXPECT_TRUE(clicks(silent).empty());
    EXPECT_EQ(pos(), held);
    d.Pause();  // paused -> playing
    EXPECT_EQ(d.basseqfx->Fstatus, sPlay);
    const auto more = rig.render(8820);
    // the next click after the resume point comes where the track has it
    const auto c = clicks(more);
    ASSERT_FALSE(c.empty());
    EXPECT_EQ(c[0] + 22050, 22050 / kClick * kClick + kClick / 2);
    d.Stop();
    EXPECT_EQ(d.basseqfx->Fstatus, sStop);
    EXPECT_EQ(d.cambia, 2);
    EXPECT_TRUE(d.scpaused);
    EXPECT_EQ(pos(), 0);
    EXPECT_TRUE(clicks(rig.render(8820)).empty());
    d.Pause();  // stopped: nothing
    EXPECT_EQ(d.basseqfx->Fstatus, sStop);
}

TEST_F(Transport, StopReturnsToHotCueOrLoopStart)
{
    carga& d = *rig.deck;
    d.basseqfx->tag[3] = 88200.4;
    d.cargacue = 3;
    d.Play();
    rig.render(4096);
    d.Stop();
    EXPECT_EQ(d.fcue1, 88200);
    EXPECT_EQ(pos(), 88200);
    // an active loop wins over the hot cue
    d.syncloop[0] = 40000;
    d.syncloop[1] = 80000;
    d.basseqfx->loop = true;
    d.Play();
    d.Stop();
    EXPECT_EQ(d.fcue1, 40000);
    EXPECT_EQ(pos(), 40000);
}

TEST_F(Transport, PlayCueStartsFromCueAndJumpsBackWhilePlaying)
{
    carga& d = *rig.deck;
    d.fcue1 = kClick * 4 * 3;  // on the byte of a frame between clicks
    d.PlayCue(0);
    EXPECT_EQ(d.basseqfx->Fstatus, sPlay);
    rig.render(4410);
    EXPECT_EQ(pos(), d.fcue1 + 4410 * 4);
    const auto sources = sound::mixerSources(d.CMaster).size();
    d.PlayCue(0);
    EXPECT_EQ(d.basseqfx->Fstatus, sPlay);
    EXPECT_EQ(pos(), d.fcue1);
    EXPECT_EQ(sound::mixerSources(d.CMaster).size(), sources);
    // the output goes on from the cue point at once: next click half an interval later
    const auto c = clicks(rig.render(4410));
    ASSERT_FALSE(c.empty());
    EXPECT_EQ(c[0], kClick / 2);
}

TEST_F(Transport, SeekByBytesAndByWidth)
{
    carga& d = *rig.deck;
    const int64_t length = d.basseqfx->length;
    d.SetPosition(176400);
    EXPECT_EQ(pos(), 176400);
    struct Case { int64_t x, width; };
    for (const Case c : {Case{0, 100}, Case{50, 100}, Case{1, 3}, Case{2, 3}, Case{479, 480}, Case{100, 100}}) {
        d.SetPositionm(c.x, c.width);
        const int64_t want = roundEven(double(length) * c.x / c.width);
        EXPECT_EQ(pos(), want / 4 * 4) << c.x << "/" << c.width;
    }
    EXPECT_EQ(pos(), length);
}

TEST_F(Transport, JogSearchStepsClampAtBothEnds)
{
    carga& d = *rig.deck;
    const int64_t length = d.basseqfx->length;
    struct Case { int64_t from; int delta; int64_t to; };
    for (const Case c : {Case{0, 1, 125000}, Case{300000, -1, 175000}, Case{100000, -1, 0}, Case{0, -1, 0},
                         Case{length - 1000, 1, length}}) {
        d.SetPosition(c.from);
        pos();
        d.SetPositions(c.delta, 1020);
        EXPECT_EQ(pos(), c.to) << c.from << " " << c.delta;
        EXPECT_EQ(d.fsearini, c.to);
        EXPECT_EQ(d.fsearfin, c.to + 25000);
        EXPECT_TRUE(d.searching);
    }
}

TEST_F(Transport, CueMarksFollowTheTagBlock)
{
    carga& d = *rig.deck;
    PRecord& r = *d.basseqfx;
    r.ratio = 861;
    r.surface = 480;
    const int64_t length = r.length;
    r.tag[1] = 100000.5;  // cue 1
    r.tag[10] = 1000000;  // cue 0
    r.tag[12] = -5;       // unset
    d.actcues();
    EXPECT_EQ(r.cue[0], roundEven(100000.5) * 861 / length + 240);
    EXPECT_EQ(r.cuep[0], roundEven(480 * 100000.5) / length);
    EXPECT_EQ(r.cue[9], int64_t(1000000) * 861 / length + 240);
    EXPECT_EQ(r.cue[11], 0);
    EXPECT_EQ(r.cuep[11], 0);
    EXPECT_EQ(r.cue[4], 0);
}

TEST(TransportEmpty, OperationsOnAnEmptyDeckDoNothing)
{
    Rig rig(1);
    carga& d = *rig.deck;
    d.Play();
    d.PlayCue(0);
    d.Stop();
    d.loopmenos();
    d.loopmas();
    d.loop4(4);
    d.SetPosition(1000);
    EXPECT_EQ(d.basseqfx->Fstatus, sStop);
    EXPECT_FALSE(d.basseqfx->loop);
}

}  // namespace

namespace {

TEST(TransportReload, ReloadAfterAnOutputChangeKeepsPositionAndState)
{
    QTemporaryDir dir;
    const QString f = dir.filePath("reload.wav");
    ASSERT_TRUE(clickTrack(f, kRate, kRate * 4, kClick, kClick / 2));
    for (TBassStatus st : {sPlay, sPause, sStop}) {
        Rig rig(1);
        ASSERT_TRUE(rig.load(f));
        rig.unity();
        carga& d = *rig.deck;
        d.Play();
        d.setkeylock(true);
        rig.render(30000);
        if (st == sPause) d.Pause();
        if (st == sStop) {
            d.fcue1 = 40000;
            d.Stop();
        }
        const int64_t p = d.Getposition();
        d.reloadcancion();
        EXPECT_TRUE(d.loaded);
        EXPECT_FALSE(d.keylock);  // keylock stays off after a reload
        EXPECT_EQ(d.basseqfx->Fstatus, st);
        EXPECT_EQ(d.Getposition(), p);
        rig.unity();
        const auto c = clicks(rig.render(kClick * 2));
        EXPECT_EQ(c.empty(), st != sPlay);
    }
}

}  // namespace
