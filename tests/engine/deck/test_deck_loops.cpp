// Loops on a click track: every click interval across 20 passes is exact to the sample and
// no click is doubled or lost at the seam, forward and in reverse.
#include <gtest/gtest.h>

#include "tests/engine/deck/deckrig.h"

using namespace deckrig;

namespace {

constexpr int kRate = 44100;
constexpr int64_t kBeat = 22050;  // 120 BPM
constexpr int kPasses = 20;

class Loops : public ::testing::Test {
protected:
    void SetUp() override
    {
        file = dir.filePath(QStringLiteral("%1-beats.wav").arg(QCoreApplication::applicationPid()));
        // clicks on every beat, the first a quarter beat in
        ASSERT_TRUE(clickTrack(file, kRate, kRate * 30, kBeat, kBeat / 4));
        rig.deck->basseqfx->tag[0] = 120.0;
        ASSERT_TRUE(rig.load(file));
        rig.unity();
    }
    int64_t frame() { return rig.deck->Getposition() / 4; }

    // Clicks of `frames` rendered output, as output frame numbers from now.
    std::vector<int64_t> renderClicks(int64_t frames) { return clicks(rig.render(frames)); }

    QTemporaryDir dir;
    QString file;
    Rig rig{1};
};

// Source clicks in [a, b) in the track.
std::vector<int64_t> sourceClicks(int64_t a, int64_t b)
{
    std::vector<int64_t> v;
    for (int64_t c = kBeat / 4; c < b; c += kBeat)
        if (c >= a) v.push_back(c);
    return v;
}

// Output frames at which the clicks of a loop [a, b) (frames) are heard, pass after pass,
// forward from a or backward from b, when the loop starts to be heard at output frame 0.
std::vector<int64_t> expectedForward(int64_t a, int64_t b, int passes)
{
    std::vector<int64_t> v;
    for (int p = 0; p < passes; ++p)
        for (int64_t c : sourceClicks(a, b)) v.push_back(p * (b - a) + (c - a));
    return v;
}

TEST_F(Loops, LoopInLoopOutForward)
{
    carga& d = *rig.deck;
    d.Play();
    rig.render(30000);
    d.loopmenos();
    const int64_t a = d.syncloop[0] / 4;
    EXPECT_EQ(d.syncloop[1], 0);
    EXPECT_FALSE(d.basseqfx->loop);
    rig.render(70001);
    d.loopmas();
    const int64_t b = d.syncloop[1] / 4;
    EXPECT_TRUE(d.basseqfx->loop);
    EXPECT_EQ(d.fcue1, a * 4);
    const int64_t len = b - a;
    ASSERT_GT(len, kBeat);
    auto got = renderClicks(len * kPasses);
    EXPECT_EQ(got, expectedForward(a, b, kPasses));
}

TEST_F(Loops, LoopInLoopOutReverse)
{
    carga& d = *rig.deck;
    d.Play();
    rig.render(200000);
    d.Reverse2(1);
    ASSERT_TRUE(d.reversing);
    rig.render(10000);
    d.loopmenos();  // reversing: marks the end
    const int64_t b = d.syncloop[1] / 4;
    EXPECT_EQ(d.syncloop[0], 0);
    rig.render(60003);
    d.loopmas();  // marks the start, jumps back to the end
    const int64_t a = d.syncloop[0] / 4;
    EXPECT_EQ(d.fcue1, b * 4);
    const int64_t len = b - a;
    ASSERT_GT(len, kBeat);
    const auto got = renderClicks(len * kPasses);
    const size_t perPass = sourceClicks(a, b).size();
    ASSERT_GE(got.size(), perPass * (kPasses - 1));
    for (size_t i = 0; i + perPass < got.size(); ++i) EXPECT_EQ(got[i + perPass] - got[i], len) << i;
    for (size_t i = 0; i + 1 < got.size(); ++i) {
        if ((i + 1) % perPass) {
            EXPECT_EQ(got[i + 1] - got[i], kBeat) << i;
        }
    }
    // clicks heard backward from b: the first one is b - 1 - (last click before b)
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got[0], b - 1 - sourceClicks(a, b).back());
}

// beats x bytes per minute / BPM: four beats at 120 BPM are four click intervals, so every
// interval, the seam included, is one beat.
void expectEveryIntervalOneBeat(const std::vector<int64_t>& got, size_t atLeast)
{
    ASSERT_GE(got.size(), atLeast);
    for (size_t i = 0; i + 1 < got.size(); ++i) ASSERT_EQ(got[i + 1] - got[i], kBeat) << "click " << i;
}

TEST_F(Loops, AutoLoopOfFourBeatsForwardAndReverse)
{
    carga& d = *rig.deck;
    d.Play();
    rig.render(50000);
    d.loop4(4);
    const int64_t start = d.syncloop[0];
    EXPECT_EQ(d.syncloop[1] - start, 4 * kBeat * 4);
    EXPECT_TRUE(d.syncnow);
    EXPECT_EQ(d.fcue1, start);
    d.fchangetimerTimer();  // arms the sync
    EXPECT_FALSE(d.syncnow);
    expectEveryIntervalOneBeat(renderClicks(4 * kBeat * kPasses), 4 * kPasses - 1);

    // the same loop played backward, turned inside the loop
    rig.render(3000);
    d.Reverse2(1);
    expectEveryIntervalOneBeat(renderClicks(4 * kBeat * kPasses), 4 * kPasses - 1);
    const int64_t p = d.Getposition();
    EXPECT_GE(p, d.syncloop[0]);
    EXPECT_LE(p, d.syncloop[1]);
}

// Key lock on, at 0 % and +4 %: a one-beat loop repeats every beat at that tempo (22,050 or
// 22,050 / 1.04 output frames) within 2 frames over 20 passes, with no drift; switching key
// lock off inside the loop goes on from the position heard.
class KeyLockLoops : public Loops, public ::testing::WithParamInterface<double> {};

TEST_P(KeyLockLoops, AOneBeatLoopRepeatsEveryBeatAtTheTempo)
{
    carga& d = *rig.deck;
    const double ratio = 1.0 + GetParam() / 100.0;
    d.SetDmcSlider(-int(std::lround(d.freq * ratio)));
    d.setkeylock(true);
    ASSERT_TRUE(d.keylock);
    ASSERT_NE(d.ChannelTempo.load(), 0u);
    d.Play();
    rig.render(50000);
    d.loop4(1);
    d.fchangetimerTimer();  // arms the sync
    ASSERT_FALSE(d.syncnow);
    const double loop = double(kBeat) / ratio;
    const auto out = rig.render(int64_t(loop * (kPasses + 2)));
    const auto got = clicks(out, 4000);
    ASSERT_GE(got.size(), size_t(kPasses + 1));
    // the pass under way when the loop was set is heard with the stretch's phase of the running
    // stream (up to a sequence of it off at +4 %); every pass after a seam starts alike
    for (size_t i = 1; i + 1 < got.size(); ++i)
        EXPECT_NEAR(double(got[i + 1] - got[i]), loop, 2.0) << "pass " << i;
    EXPECT_NEAR(double(got.back() - got[1]), loop * double(got.size() - 2), 2.0) << "drift";

    // key lock off: the deck goes on from the position heard, no part of the pass again
    const int64_t heard = d.Getposition() / 4;
    d.setkeylock(false);
    EXPECT_NEAR(double(d.Getposition() / 4), double(heard), 2.0);
}

INSTANTIATE_TEST_SUITE_P(Tempo, KeyLockLoops, ::testing::Values(0.0, 4.0),
                         [](const ::testing::TestParamInfo<double>& i) { return i.param == 0 ? "Zero" : "Plus4"; });

TEST_F(Loops, AutoLoopInReverseEndsAtThePosition)
{
    carga& d = *rig.deck;
    d.Play();
    rig.render(300000);
    d.Reverse2(1);
    rig.render(1000);
    const int64_t cue = d.fcue1;
    d.loop4(2);
    EXPECT_EQ(d.syncloop[1] - d.syncloop[0], 2 * kBeat * 4);
    EXPECT_EQ(d.fcue1, cue);  // reversing and playing: the cue point stays
    rig.render(100);
    d.fchangetimerTimer();  // armed once the position is before the end
    expectEveryIntervalOneBeat(renderClicks(2 * kBeat * kPasses), 2 * kPasses - 1);
}

TEST_F(Loops, ExitPlaysOnAndReentryLoopsAgain)
{
    carga& d = *rig.deck;
    d.Play();
    rig.render(10000);
    d.loop4(4);
    d.fchangetimerTimer();
    rig.render(4 * kBeat * 2);
    d.loopexit();
    EXPECT_FALSE(d.basseqfx->loop);
    EXPECT_TRUE(d.basseqfx->freloop);
    const int64_t end = d.syncloop[1];
    expectEveryIntervalOneBeat(renderClicks(4 * kBeat * 3), 11);
    EXPECT_GT(d.Getposition(), end);  // played on through the old end

    d.loopexit();  // re-enter at the loop start
    EXPECT_TRUE(d.basseqfx->loop);
    EXPECT_EQ(d.Getposition(), d.syncloop[0]);
    EXPECT_EQ(d.fcue1, d.syncloop[0]);
    expectEveryIntervalOneBeat(renderClicks(4 * kBeat * kPasses), 4 * kPasses - 1);
}

TEST_F(Loops, LoopOutWithoutLoopInLoopsFromByte100)
{
    carga& d = *rig.deck;
    EXPECT_EQ(d.syncloop[0], 100);
    d.Play();
    rig.render(40000);
    d.loopmas();
    EXPECT_EQ(d.syncloop[0], 100);
    EXPECT_EQ(d.Getposition(), 100);
    const int64_t a = 25, b = d.syncloop[1] / 4;
    EXPECT_EQ(renderClicks((b - a) * 3), expectedForward(a, b, 3));
}

TEST_F(Loops, ExitOfALoopWhoseEndIsNotAfterItsStart)
{
    carga& d = *rig.deck;
    d.Play();
    rig.render(40000);
    d.syncloop[0] = 200000;
    d.syncloop[1] = 100000;
    d.basseqfx->loop = true;
    d.loopexit();
    EXPECT_FALSE(d.basseqfx->freloop);
    const int64_t p = d.Getposition();
    d.loopexit();
    EXPECT_FALSE(d.basseqfx->loop);
    EXPECT_EQ(d.Getposition(), p);
}

TEST_F(Loops, ALoopStoredButNotActiveCatchesTheEndOfTheTrack)
{
    carga& d = *rig.deck;
    d.syncloop[0] = 400000;
    d.syncloop[1] = 800000;
    d.Setloops(1);
    d.SetPosition(d.basseqfx->length - 4 * 1000);
    d.Play();
    rig.render(2000);
    EXPECT_GE(d.Getposition(), 400000);
    EXPECT_LT(d.Getposition(), 400000 + 4 * 2000);
}

TEST(LoopsNoTempo, AutoLoopNeedsATempo)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("notempo.wav");
    ASSERT_TRUE(clickTrack(file, kRate, kRate * 2, kBeat));
    // never scanned, and scanned without a tempo found (the worker's 0.001 mark)
    for (double bpm : {0.0, 0.001}) {
        Rig rig(2);
        rig.deck->basseqfx->tag[0] = bpm;
        ASSERT_TRUE(rig.load(file));
        rig.deck->Play();
        rig.deck->loop4(4);
        EXPECT_FALSE(rig.deck->basseqfx->loop) << bpm;
        EXPECT_EQ(rig.deck->mfxsec, 0.0) << "echo delay from no tempo, bpm " << bpm;
    }
}

}  // namespace
