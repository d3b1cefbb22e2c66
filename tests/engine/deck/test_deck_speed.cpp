// Speed: the pitch slider within the deck's range, pitch range changes, pick-up, keylock,
// scratch, reverse, brake and bend.
#include <gtest/gtest.h>

#include "tests/engine/deck/deckrig.h"
#include "tests/support/tonemeter.h"
#include "engine/decktime.h"

using namespace deckrig;

namespace {

QString fixture(QTemporaryDir& dir, const char* name, int rate, double hz = 440, double secs = 10)
{
    const QString f = dir.filePath(QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(name));
    EXPECT_TRUE(tone(f, rate, secs, hz));
    return f;
}

// The slider arithmetic written out: slowest + (fastest - slowest) * (127 - position) / 127,
// each term rounded half to even.
int64_t sliderRate(int rate, int range, int pos)
{
    const int64_t fastest = roundEven((1 + range / 100.0) * rate);
    const int64_t slowest = roundEven((1 - range / 100.0) * rate);
    return slowest + roundEven(double(fastest - slowest) * (127 - pos) / 127);
}

TEST(Speed, SliderPositionsAndRangesGiveTheRate)
{
    QTemporaryDir dir;
    struct Range { int rate, range; };
    for (const Range rg : {Range{44100, 4}, Range{44100, 8}, Range{44100, 10}, Range{44100, 12}, Range{44100, 16},
                           Range{44100, 32}, Range{48000, 10}, Range{11025, 10}}) {
        const QString f = fixture(dir, "rate.wav", rg.rate, 440, 1);
        Rig rig(1);
        rig.deck->tpitch = rg.range;
        ASSERT_TRUE(rig.load(f));
        carga& d = *rig.deck;
        EXPECT_EQ(d.dmcslidermax, -roundEven((1 + rg.range / 100.0) * rg.rate));
        EXPECT_EQ(d.dmcslidermin, -roundEven((1 - rg.range / 100.0) * rg.rate));
        EXPECT_EQ(rig.slider.minimum, d.dmcslidermax);
        EXPECT_EQ(rig.slider.maximum, d.dmcslidermin);
        for (int pos : {0, 1, 31, 62, 63, 64, 100, 126, 127}) {
            d.SetSlider(pos);
            const int64_t rate = sliderRate(rg.rate, rg.range, pos);
            EXPECT_EQ(d.dmcslider, -rate) << rg.rate << " " << rg.range << "% pos " << pos;
            EXPECT_FLOAT_EQ(attr(d.Channel, sound::Attribute::Freq), float(rate));
            const double pitch = double(rate) * 100 / rg.rate - 100;
            EXPECT_EQ(d.basseqfx->pitchn, roundEven(pitch * 10));
            EXPECT_EQ(d.basseqfx->pitch.get(), formatFixed(pitch, 2, 2));
            EXPECT_EQ(d.slider, pos);
        }
    }
    // 11025 Hz at 10 %: the slowest rate 9922.5 rounds to the even 9922
    Rig rig(1);
    rig.deck->tpitch = 10;
    ASSERT_TRUE(rig.load(fixture(dir, "odd.wav", 11025, 440, 1)));
    EXPECT_EQ(rig.deck->dmcslidermin, -9922);
    rig.deck->SetSlider(127);
    EXPECT_EQ(rig.deck->dmcslider, -9922);
}

TEST(Speed, TextsAndTempoFollowTheRate)
{
    QTemporaryDir dir;
    Rig rig(1);
    rig.deck->basseqfx->tag[0] = 120.0;
    ASSERT_TRUE(rig.load(fixture(dir, "bpm.wav", 44100, 440, 1)));
    carga& d = *rig.deck;
    d.SetDmcSlider(-47628);  // +8 %
    EXPECT_DOUBLE_EQ(d.fabpm, 47628.0 * 120 / 44100);
    EXPECT_EQ(d.basseqfx->bpm.get(), QStringLiteral("129.600"));
    EXPECT_EQ(d.basseqfx->bpmn, 1296);
    EXPECT_DOUBLE_EQ(d.mfxsec, 0.5);
    EXPECT_EQ(d.mfxmsec, 500);
    // clamped to the range
    d.SetDmcSlider(-100000);
    EXPECT_EQ(d.dmcslider, d.dmcslidermax);
    d.SetDmcSlider(-1000);
    EXPECT_EQ(d.dmcslider, d.dmcslidermin);
    d.SetDmcSlider(-44100);
    EXPECT_EQ(d.basseqfx->bpm.get(), QStringLiteral("120.000"));
}

TEST(Speed, PitchRangeReturnsTheSliderPositionOfTheCurrentSpeed)
{
    QTemporaryDir dir;
    Rig rig(1);
    ASSERT_TRUE(rig.load(fixture(dir, "range.wav", 44100, 440, 1)));
    carga& d = *rig.deck;
    d.SetSlider(40);
    EXPECT_EQ(d.SetPitchv(10), 40);  // same range: the slider as it is
    for (int range : {16, 32, 4, 8}) {
        const int64_t rate = -d.dmcslider;
        const int pos = d.SetPitchv(range);
        const double fastest = roundEven((1 + range / 100.0) * 44100), slowest = roundEven((1 - range / 100.0) * 44100);
        const double r = std::clamp(double(rate), slowest, fastest);
        EXPECT_EQ(pos, 127 - roundEven((r - slowest) * 127 / (fastest - slowest))) << range;
        EXPECT_EQ(rig.slider.minimum, -int64_t(fastest));
        d.SetSlider(pos);
        if (range > 8) {
            EXPECT_NEAR(double(-d.dmcslider), double(rate), (fastest - slowest) / 127);
        }
    }
    // an empty deck takes 44100 Hz and puts its slider in the middle; 63.5 rounds to the
    // even 64 from the slow end, position 63
    Rig empty(2);
    const int pos = empty.deck->SetPitchv(16);
    EXPECT_EQ(pos, 63);
    EXPECT_EQ(empty.slider.pos, (empty.slider.minimum + empty.slider.maximum) / 2);
}

TEST(Speed, PickUpIgnoresTheSliderUntilItReachesTheRememberedPosition)
{
    QTemporaryDir dir;
    Rig rig(1);
    ASSERT_TRUE(rig.load(fixture(dir, "pickup.wav", 44100, 440, 1)));
    carga& d = *rig.deck;
    d.SetSlider(30);
    const int held = d.dmcslider;
    d.SetSliders(false);
    EXPECT_FALSE(d.sliders);
    EXPECT_EQ(d.sliderpos, 127 - 30);
    d.SetSlider(90);
    EXPECT_EQ(d.dmcslider, held);
    d.SetSlider(31);
    EXPECT_EQ(d.dmcslider, held);
    d.SetSlider(30);  // reaches the pick-up: control returns, the rate moves from the next step on
    EXPECT_TRUE(d.sliders);
    EXPECT_EQ(d.dmcslider, held);
    d.SetSlider(20);
    EXPECT_EQ(d.dmcslider, -sliderRate(44100, 10, 20));
}

TEST(Speed, KeylockKeepsThePitch)
{
    QTemporaryDir dir;
    const QString f = fixture(dir, "a440.wav", 44100, 440, 6);
    for (bool lock : {true, false}) {
        Rig rig(1);
        rig.deck->tpitch = 8;
        ASSERT_TRUE(rig.load(f));
        carga& d = *rig.deck;
        d.SetSlider(0);  // +8 %
        ASSERT_EQ(d.dmcslider, -47628);
        d.Play();
        rig.render(44100);
        const int64_t before = d.Getposition();
        d.setkeylock(lock);
        EXPECT_EQ(d.keylock, lock);
        EXPECT_EQ(d.Getposition(), before);  // switching keeps the position
        rig.render(8820);
        const double hz = testsupport::toneFrequency(rig.render(44100 * 2), 2, 44100);
        if (lock) {
            EXPECT_NEAR(hz, 440, 2);
        } else {
            EXPECT_NEAR(hz, 475.2, 2);
        }
        // and back
        const int64_t p = d.Getposition();
        d.setkeylock(!lock);
        EXPECT_NEAR(double(d.Getposition()), double(p), 4.0);
        rig.render(8820);
        const double hz2 = testsupport::toneFrequency(rig.render(44100), 2, 44100);
        if (lock) {
            EXPECT_NEAR(hz2, 475.2, 2);
        } else {
            EXPECT_NEAR(hz2, 440, 2);
        }
    }
}

TEST(Speed, ScratchAtSignedSpeedsAndBack)
{
    QTemporaryDir dir;
    Rig rig(1);
    ASSERT_TRUE(rig.load(fixture(dir, "scratch.wav", 44100, 440, 10)));
    rig.unity();
    carga& d = *rig.deck;
    d.Play();
    rig.render(44100);
    d.fchangetimerTimer();
    struct Case { double v; float rate; bool back; };
    for (const Case c : {Case{88200, 88200, false}, Case{-44100, 44100, true}, Case{500000, 100000, false},
                         Case{-0.5, 1, true}, Case{22050, 22050, false}}) {
        d.SetScratch(c.v);
        EXPECT_TRUE(d.scratching);
        EXPECT_EQ(d.reversing, c.back) << c.v;
        const int64_t p0 = d.Getposition();
        rig.render(2205);
        EXPECT_FLOAT_EQ(attr(d.Channel, sound::Attribute::Freq), c.rate) << c.v;
        if (c.rate > 1000) {
            EXPECT_EQ(d.Getposition() < p0, c.back) << c.v;
        }
    }
    d.SetScratch(-30000);
    d.SetScratchOff();
    EXPECT_FALSE(d.scratching);
    EXPECT_FALSE(d.reversing);
    EXPECT_EQ(d.basseqfx->Fstatus, sPlay);
    EXPECT_FLOAT_EQ(attr(d.Channel, sound::Attribute::Freq), 44100);
}

TEST(Speed, ScratchNearTheStartPlaysForward)
{
    QTemporaryDir dir;
    Rig rig(1);
    ASSERT_TRUE(rig.load(fixture(dir, "start.wav", 44100, 440, 2)));
    carga& d = *rig.deck;
    d.Play();
    rig.render(100);  // 400 bytes in
    d.SetScratch(-20000);
    EXPECT_FALSE(d.reversing);
    rig.render(2205);
    EXPECT_GT(d.Getposition(), 400);
}

TEST(Speed, ScratchFromAStoppedDeckSearchesAndSetsTheCue)
{
    QTemporaryDir dir;
    Rig rig(1);
    ASSERT_TRUE(rig.load(fixture(dir, "search.wav", 44100, 440, 10)));
    rig.unity();
    carga& d = *rig.deck;
    d.cargacue = 4;
    d.fchangetimerTimer();  // mirrors sStop
    d.SetScratch(1.0);      // too slow to start anything
    EXPECT_FALSE(d.ssearch);
    d.SetScratch(44100);
    EXPECT_TRUE(d.ssearch);
    EXPECT_EQ(d.basseqfx->oldstatus, sStop);
    EXPECT_EQ(d.basseqfx->Fstatus, sStop);  // unchanged, yet the output runs
    const auto heard = rig.render(22050);
    EXPECT_NE(*std::max_element(heard.begin(), heard.end()), 0);
    d.SetScratchOff();
    EXPECT_FALSE(d.ssearch);
    EXPECT_EQ(d.cargacue, 0);
    EXPECT_EQ(d.fcue1, d.Getposition());
    EXPECT_GT(d.fcue1, 0);
    EXPECT_EQ(d.basseqfx->Fstatus, sStop);
    const auto after = rig.render(4410);  // paused again: silent
    EXPECT_EQ(*std::max_element(after.begin(), after.end()), 0);
}

TEST(Speed, ScratchSuspendsAndRestoresKeylock)
{
    QTemporaryDir dir;
    Rig rig(1);
    ASSERT_TRUE(rig.load(fixture(dir, "kscratch.wav", 44100, 440, 4)));
    carga& d = *rig.deck;
    d.Play();
    d.setkeylock(true);
    rig.render(4410);
    d.fchangetimerTimer();
    d.SetScratch(30000);
    EXPECT_FALSE(d.keylock);
    EXPECT_TRUE(d.oldkeylock);
    EXPECT_EQ(d.ChannelTempo, 0u);
    d.SetScratchOff();
    EXPECT_TRUE(d.keylock);
    EXPECT_FALSE(d.oldkeylock);
    EXPECT_NE(d.ChannelTempo, 0u);
}

TEST(Speed, ReverseDirection)
{
    QTemporaryDir dir;
    Rig rig(1);
    ASSERT_TRUE(rig.load(fixture(dir, "rev.wav", 44100, 440, 4)));
    rig.unity();
    carga& d = *rig.deck;
    d.Reverse2(1);  // at position 0: nothing
    EXPECT_FALSE(d.reversing);
    d.Play();
    rig.render(44100);
    d.Reverse2(1);
    EXPECT_TRUE(d.reversing);
    rig.render(4410);
    EXPECT_EQ(d.Getposition(), (44100 - 4410) * 4);
    d.Reverse2(0);
    rig.render(4410);
    EXPECT_EQ(d.Getposition(), 44100 * 4);
}

TEST(Speed, BrakeBringsTheDeckToRestOverTheBrakeTime)
{
    QTemporaryDir dir;
    const QString f = fixture(dir, "brake.wav", 44100, 440, 20);
    struct Case { int seconds; bool lock; int minTicks, maxTicks; };
    for (const Case c : {Case{5, false, 190, 200}, Case{10, false, 390, 400}, Case{15, true, 590, 600},
                         Case{0, false, 1, 1}, Case{0, true, 1, 1}}) {
        Rig rig(1);
        rig.cfg.brake = c.seconds;
        ASSERT_TRUE(rig.load(f));
        rig.unity();
        carga& d = *rig.deck;
        d.Play();
        d.setkeylock(c.lock);
        rig.render(441);
        d.fchangetimerTimer();
        d.setparada(true);
        EXPECT_TRUE(std::isfinite(d.brakefreq));
        int ticks = 0;
        float last = 44100;
        while (d.parada && ticks < 1000) {
            d.fchangetimerTimer();
            ++ticks;
            const float now = c.lock ? d.brakeperc.load() : attr(d.Channel, sound::Attribute::Freq);
            if (d.parada) {
                EXPECT_LT(now, last);
                last = now;
            }
        }
        EXPECT_GE(ticks, c.minTicks) << c.seconds << " s keylock " << c.lock;
        EXPECT_LE(ticks, c.maxTicks) << c.seconds << " s keylock " << c.lock;
        EXPECT_EQ(d.basseqfx->Fstatus, sPause);
        // the rate is back to the slider's for the next start
        if (c.lock) {
            EXPECT_FLOAT_EQ(attr(d.ChannelTempo, sound::Attribute::Freq), 44100);
        } else {
            EXPECT_FLOAT_EQ(attr(d.Channel, sound::Attribute::Freq), 44100);
        }
    }
}

TEST(Speed, BendStepsByValorbendUpToTheCap)
{
    QTemporaryDir dir;
    Rig rig(1);
    ASSERT_TRUE(rig.load(fixture(dir, "bend.wav", 44100, 440, 2)));
    rig.unity();
    carga& d = *rig.deck;
    d.valorbend = 70;
    for (Tbusca dir2 : {sMas, sMenos}) {
        const int sign = dir2 == sMas ? 1 : -1;
        d.pitchbending_on(dir2);
        EXPECT_EQ(d.fpitchbended, 1);
        for (int t = 1; t <= 60; ++t) {
            d.fchangetimerTimer();
            const int bend = std::min(1 + 70 * t, 3612);
            EXPECT_EQ(d.fpitchbended, bend);
            EXPECT_FLOAT_EQ(attr(d.Channel, sound::Attribute::Freq), float(44100 + sign * bend)) << t;
        }
        EXPECT_EQ(d.fpitchbended, 3612);
        EXPECT_TRUE(d.bending);
        d.pitchbending_off();
        d.fchangetimerTimer();
        EXPECT_FALSE(d.bending);
        EXPECT_FLOAT_EQ(attr(d.Channel, sound::Attribute::Freq), 44100);
        EXPECT_EQ(d.basseqfx->pitchn, 0);
    }
    // with keylock the bend is a tempo change
    d.setkeylock(true);
    d.pitchbending_on(sMas);
    d.fchangetimerTimer();
    EXPECT_NEAR(attr(d.ChannelTempo, sound::Attribute::Tempo), 71.0 / 44100 * 100, 1e-4);
}

}  // namespace
