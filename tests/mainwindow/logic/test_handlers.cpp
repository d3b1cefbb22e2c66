// The deck handlers without a display, on decks of a real engine rendering offline: transport,
// mixer, hot cues and loops, the jog wheels, the status timer's mailbox and automix walk, the
// close question and the shut-down order.
#include <gtest/gtest.h>

#include <thread>

#include "engine/audiobase.h"
#include "mainwindow/logic/shutdown.h"
#include "tests/mainwindow/logic/handlerrig.h"

using handlerrig::Rig;

namespace {

enum class Start { stopped, playing, paused };
enum class Act { play, pause, cuePress, cueRelease, cueClick };

void bring(Rig& r, int n, Start s)
{
    carga& p = r.player(n);
    p.Stop();
    if (s == Start::stopped) return;
    p.Play();
    if (s == Start::paused) p.Pause();
}

void act(Rig& r, DeckControls& d, Act a)
{
    switch (a) {
    case Act::play: r.transport.btnplayMouseDown(d); break;
    case Act::pause: r.transport.btnpauseMouseDown(d); break;
    case Act::cuePress: r.transport.btncueMouseDown(d); break;
    case Act::cueRelease: r.transport.btncueMouseUp(d); break;
    case Act::cueClick: r.transport.btncueClick(d); break;
    }
}

}  // namespace

TEST(Transport, StateTableOfPlayPauseAndCue)
{
    Rig r;
    ASSERT_TRUE(r.loadTone(1));
    ASSERT_TRUE(r.loadTone(2));
    const struct {
        Start from;
        Act act;
        TBassStatus to;
    } table[] = {
        {Start::stopped, Act::play, sPlay},      {Start::stopped, Act::pause, sStop},
        {Start::stopped, Act::cuePress, sPlay},  {Start::stopped, Act::cueRelease, sStop},
        {Start::stopped, Act::cueClick, sStop},  {Start::playing, Act::play, sPlay},
        {Start::playing, Act::pause, sPause},    {Start::playing, Act::cuePress, sStop},
        {Start::playing, Act::cueRelease, sStop}, {Start::playing, Act::cueClick, sStop},
        {Start::paused, Act::play, sPlay},       {Start::paused, Act::pause, sPlay},
        {Start::paused, Act::cuePress, sStop},   {Start::paused, Act::cueRelease, sPause},
        {Start::paused, Act::cueClick, sStop},
    };
    for (int n = 1; n <= 2; ++n) {
        for (const auto& c : table) {
            SCOPED_TRACE(testing::Message() << "deck " << n << " from " << int(c.from) << " act " << int(c.act));
            bring(r, n, c.from);
            act(r, r.controls(n), c.act);
            EXPECT_EQ(r.stateOf(n), c.to);
        }
    }
    // the lights the handlers set themselves
    bring(r, 1, Start::stopped);
    r.transport.btnplayMouseDown(r.deckA);
    EXPECT_TRUE(r.viewsA.button("btnplay1", "").down_);
    EXPECT_FALSE(r.viewsA.button("btncue1", "").down_);
    r.transport.btncueMouseDown(r.deckA);
    EXPECT_TRUE(r.viewsA.button("btncue1", "").down_);
    r.transport.btncueMouseUp(r.deckA);
    EXPECT_FALSE(r.viewsA.button("btncue1", "").down_);
}

TEST(Transport, PlayOnAPlayingDeckJumpsBackToTheCuePoint)
{
    Rig r;
    ASSERT_TRUE(r.loadTone(1));
    carga& p = r.player(1);
    p.Play();
    p.SetPosition(800000);
    r.transport.btnplayMouseDown(r.deckA);
    EXPECT_EQ(r.stateOf(1), sPlay);
    EXPECT_EQ(p.Getposition(), p.fcue1.load());
}

TEST(Transport, CueClickSwitchesAutomixOff)
{
    Rig r;
    ASSERT_TRUE(r.loadTone(2));
    r.engine->autoenable = true;
    r.player(2).Play();
    r.transport.btncueClick(r.deckB);
    EXPECT_FALSE(r.engine->autoenable.load());
    EXPECT_EQ(r.automixOffs, 1);
    EXPECT_EQ(r.stateOf(2), sStop);
    // released outside the button there is no click: the deck stops, automix stays on
    r.engine->autoenable = true;
    r.transport.btncueMouseDown(r.deckB);
    r.transport.btncueMouseUp(r.deckB);
    EXPECT_EQ(r.stateOf(2), sStop);
    EXPECT_TRUE(r.engine->autoenable.load());
}

TEST(Transport, BrakeStepsARateFourHundredthEveryTickForTenSecondsThenRestores)
{
    Rig r;
    ASSERT_TRUE(r.loadTone(1));
    r.engine->soundcfg->brake = 10;
    carga& p = r.player(1);
    p.Play();
    const float start = r.rate(1);
    ASSERT_GT(start, 0);
    r.transport.brakeMouseDown(r.deckA);
    EXPECT_TRUE(p.parada.load());
    EXPECT_FLOAT_EQ(p.brakefreq.load(), float(-p.dmcslider) / 400);
    for (int tick = 1; tick <= 3; ++tick) {
        p.fchangetimerTimer();
        EXPECT_NEAR(r.rate(1), start - tick * start / 400, 0.5) << tick;
    }
    // pressed again: the speed of the pitch slider
    r.transport.brakeMouseDown(r.deckA);
    EXPECT_FALSE(p.parada.load());
    EXPECT_NEAR(r.rate(1), start, 0.5);
}

TEST(Transport, BrakeTimeOfZeroOrBelowChangesNothing)
{
    Rig r;
    ASSERT_TRUE(r.loadTone(1));
    carga& p = r.player(1);
    p.Play();
    const float start = r.rate(1);
    for (int secs : {0, -5}) {
        r.engine->soundcfg->brake = secs;
        p.brakefreq = 0;
        r.transport.brakeMouseDown(r.deckA);
        EXPECT_FALSE(p.parada.load()) << secs;
        EXPECT_EQ(p.brakefreq.load(), 0.0f) << secs;
        p.fchangetimerTimer();
        EXPECT_FLOAT_EQ(r.rate(1), start) << secs;
    }
}

TEST(Transport, RangeMenuTo32PercentKeepsTheRate)
{
    Rig r;
    ASSERT_TRUE(r.loadTone(1));
    FakePosition& slider = r.viewsA.position("trackfrequency", "");
    slider.setPosition(90);
    const float before = r.rate(1);
    EXPECT_EQ(r.values.quorfreq1, 90);
    r.transport.pitchRange(r.deckA, 32);
    EXPECT_EQ(r.viewsA.label("lpitp1", "").text_, QStringLiteral("32%"));
    EXPECT_NE(slider.at_, 90);
    EXPECT_NEAR(r.rate(1) / before, 1.0, 0.006);
    EXPECT_EQ(r.values.quorfreq1, slider.at_);
}

TEST(Transport, BendOnAStoppedDeckMovesTheLoadSourceRow)
{
    Rig r;
    ASSERT_TRUE(r.loadTone(1));
    FakeSongGrid& g = r.playlists.grid_;
    g.setRowCount(4);  // rows 1..3
    g.setCurrentRow(1);
    r.source.msender = &g;
    const struct {
        bool up;
        int row;
    } steps[] = {{true, 2}, {true, 3}, {true, 3}, {false, 2}, {false, 1}, {false, 1}};
    for (const auto& s : steps) {
        if (s.up) r.transport.bendmasMouseDown(r.deckA);
        else r.transport.bendmenosMouseDown(r.deckA);
        EXPECT_EQ(g.currentRow(), s.row);
        EXPECT_TRUE(r.viewsA.button(s.up ? "bendmas1" : "bendmenos1", "").down_);
        if (s.up) r.transport.bendmasMouseUp(r.deckA);
        else r.transport.bendmenosMouseUp(r.deckA);
    }
    // a playing deck bends instead
    r.player(1).Play();
    r.transport.bendmasMouseDown(r.deckA);
    EXPECT_EQ(r.player(1).fpitchbended.load(), 1);
    EXPECT_EQ(g.currentRow(), 1);
    r.transport.bendmasMouseUp(r.deckA);
    EXPECT_EQ(r.player(1).fpitchbended.load(), 0);
}

TEST(Transport, JogModeButtonsFormAGroup)
{
    Rig r;
    int mixerViews = 0, fxViews = 0;
    r.transport.hooks.bmixMouseDown = [&] { ++mixerViews; };
    r.transport.hooks.bfxMouseDown = [&] { ++fxViews; };
    r.transport.effectsMouseDown(r.deckB);
    EXPECT_TRUE(r.state.fxing2);
    EXPECT_EQ(r.state.tmode2, 3);
    EXPECT_EQ(fxViews, 1);
    // search on deck A while deck B is in effects mode leaves the effects view
    r.transport.searchMouseDown(r.deckA);
    EXPECT_TRUE(r.state.searena1);
    EXPECT_EQ(r.state.tmode1, 2);
    EXPECT_EQ(mixerViews, 0);
    r.viewsA.button("search1", "").down_ = true;
    r.transport.scratchMouseDown(r.deckA);
    EXPECT_TRUE(r.state.scratching);
    EXPECT_FALSE(r.state.searena1);
    EXPECT_FALSE(r.viewsA.button("search1", "").down_);
    EXPECT_EQ(r.state.tmode1, 1);
    // the down button pressed again switches the mode off
    r.viewsB.button("", "effects2").down_ = true;
    r.transport.effectsMouseDown(r.deckB);
    EXPECT_FALSE(r.state.fxing2);
    EXPECT_EQ(r.state.tmode2, 0);
    EXPECT_EQ(mixerViews, 1);
}

TEST(Mixer, VolumeMapping)
{
    Rig r;
    ASSERT_TRUE(r.loadTone(1));
    FakePosition& v = r.viewsA.position("trackvolume", "");
    for (auto [at, vol] : {std::pair{78, 99}, {79, 100}, {127, 100}, {0, 0}}) {
        v.setPosition(at);
        EXPECT_EQ(r.record(1).vol.load(), vol) << at;
        EXPECT_EQ(r.values.quorvol1, at);
    }
}

TEST(Mixer, EqWithKills)
{
    Rig r;
    ASSERT_TRUE(r.loadTone(1));
    FakeDeckViews& v = r.viewsA;
    PRecord& rec = r.record(1);
    v.position("bas1", "").setPosition(30);
    EXPECT_EQ(rec.bas.load(), 10);
    EXPECT_EQ(r.values.quorbass1, 30);
    v.position("bas1", "").setPosition(25);
    EXPECT_EQ(rec.bas.load(), 10);
    r.mixer.killMouseDown(r.deckA, MixerControls::Band::bass);
    EXPECT_EQ(v.button("kb1", "").tag_, 1);
    EXPECT_EQ(rec.bas.load(), -25);
    v.position("bas1", "").setPosition(5);
    EXPECT_EQ(rec.bas.load(), -25);
    r.mixer.killMouseDown(r.deckA, MixerControls::Band::bass);
    EXPECT_EQ(rec.bas.load(), -10);
    r.mixer.killMouseDown(r.deckA, MixerControls::Band::treble);
    EXPECT_EQ(rec.tre.load(), -20);
    // the + button at the end of the range changes nothing
    v.position("gain1", "").setPosition(20);
    r.mixer.stepDial(r.deckA, r.deckA.gain, 1);
    EXPECT_EQ(v.position("gain1", "").at_, 20);
    EXPECT_EQ(rec.gain.load(), 20);
    r.mixer.stepDial(r.deckA, r.deckA.gain, -1);
    EXPECT_EQ(rec.gain.load(), 19);
    // while a load holds the knobs off, the dial and its copy move but not the sound
    r.deckA.diseq = true;
    v.position("mid1", "").setPosition(20);
    EXPECT_EQ(r.values.quormid1, 20);
    EXPECT_EQ(rec.mid.load(), 0);
    r.deckA.diseq = false;
    v.position("tre1", "").setPosition(16);
    EXPECT_EQ(rec.mid.load(), 5);
}

TEST(Mixer, HeadphoneCueIsExclusive)
{
    Rig r;
    r.mixer.headMouseDown(r.deckA, r.deckB);
    EXPECT_TRUE(r.player(1).headphones.load());
    EXPECT_FALSE(r.player(2).headphones.load());
    r.state.scrollpos2 = 3;
    r.mixer.headMouseDown(r.deckB, r.deckA);
    EXPECT_FALSE(r.player(1).headphones.load());
    EXPECT_TRUE(r.player(2).headphones.load());
    EXPECT_FALSE(r.viewsA.button("heada", "").down_);
    EXPECT_TRUE(r.viewsB.button("", "headb").down_);
    EXPECT_EQ(r.state.hidcarga, 1);
    EXPECT_EQ(r.state.mhidcarga, 1);
    EXPECT_EQ(r.state.scrollpos2, 0);
}

TEST(Mixer, FirstCrossfaderMoveToZeroSilencesDeckB)
{
    Rig r;
    r.mixer.applyCrossfader();  // the end of start-up
    r.crossfader.setPosition(0);
    EXPECT_EQ(r.values.quorcross, 0);
    EXPECT_EQ(r.record(2).crossfader.load(), 100);
    EXPECT_EQ(r.record(1).crossfader.load(), 0);
    r.crossfader.setPosition(127);
    EXPECT_EQ(r.record(2).crossfader.load(), 0);
    EXPECT_EQ(r.record(1).crossfader.load(), 100);
}

TEST(HotCue, PressTable)
{
    Rig r;
    ASSERT_TRUE(r.loadTone(1));
    ASSERT_TRUE(r.loadTone(2));
    for (int n = 1; n <= 2; ++n) {
        SCOPED_TRACE(n);
        DeckControls& d = r.controls(n);
        carga& p = r.player(n);
        PRecord& rec = r.record(n);
        const QString v = n == 1 ? QString() : QStringLiteral("v");
        // memory mode on a playing deck: a hot cue at the position
        p.Play();
        rec.tiempopcm = 1234000;
        r.cues.memoryMouseDown(d);
        EXPECT_TRUE(d.memorizar);
        r.cues.cueMouseDown(d, 2);
        EXPECT_FALSE(d.memorizar);
        EXPECT_EQ(rec.tag[2].load(), 1234000);
        EXPECT_EQ(rec.tag[8].load(), 0);
        EXPECT_EQ(d.cue[1]->graphicName(), QStringLiteral("ca%1%2.bmp").arg(v).arg(2));
        EXPECT_EQ(p.cargacue.load(), 2);
        EXPECT_EQ(r.saved.back(), n);
        EXPECT_EQ(r.stateOf(n), sPlay);
        // memory mode while looping: a hot loop
        p.syncloop[0] = 500000;
        p.syncloop[1] = 600000;
        p.loopexit();
        ASSERT_TRUE(rec.loop.load());
        r.cues.memoryMouseDown(d);
        r.cues.cueMouseDown(d, 3);
        EXPECT_EQ(rec.tag[3].load(), 500000);
        EXPECT_EQ(rec.tag[9].load(), 600000);
        EXPECT_EQ(d.cue[2]->graphicName(), QStringLiteral("cr%1%2.bmp").arg(v).arg(3));
        p.loopexit();
        // delete mode empties the slot, which still becomes the current one
        r.cues.deleteMouseDown(d);
        r.cues.memoryMouseDown(d);
        EXPECT_FALSE(d.borrar);
        r.cues.deleteMouseDown(d);
        EXPECT_TRUE(d.borrar);
        EXPECT_FALSE(d.memorizar);
        r.cues.cueMouseDown(d, 2);
        EXPECT_EQ(rec.tag[2].load(), 0);
        EXPECT_EQ(d.cue[1]->graphicName(), QStringLiteral("cb%1%2.bmp").arg(v).arg(2));
        EXPECT_EQ(p.cargacue.load(), 2);
        // play mode: normal mode jumps and stops, hot mode jumps and plays on
        rec.tag[1] = 300000;
        rec.tag[7] = 0;
        d.nhcue->setDown(false);
        p.Play();
        r.cues.cueMouseDown(d, 1);
        EXPECT_EQ(r.stateOf(n), sStop);
        EXPECT_EQ(p.fcue1.load(), 300000);
        EXPECT_EQ(p.Getposition(), 300000);
        d.nhcue->setDown(true);
        p.Play();
        p.SetPosition(900000);
        r.cues.cueMouseDown(d, 1);
        EXPECT_EQ(r.stateOf(n), sPlay);
        EXPECT_EQ(p.Getposition(), 300000);
        // hot mode on a stopped deck plays from the cue
        p.Stop();
        r.cues.cueMouseDown(d, 1);
        EXPECT_EQ(r.stateOf(n), sPlay);
        // a paused deck stops, whatever the mode
        p.Pause();
        ASSERT_EQ(r.stateOf(n), sPause);
        r.cues.cueMouseDown(d, 1);
        EXPECT_EQ(r.stateOf(n), sStop);
        // a hot loop of 15,000 bytes on a stopped deck: deck A starts none, deck B does
        p.Stop();
        p.loopexit();
        rec.loop = false;
        rec.tag[4] = 400000;
        rec.tag[10] = 415000;
        d.nhcue->setDown(false);
        r.cues.cueMouseDown(d, 4);
        EXPECT_EQ(rec.loop.load(), n == 2) << "shortest " << HotCues::shortestHotLoop(n);
        EXPECT_EQ(d.loopa->tag(), n == 2 ? 1 : 0);
        p.loopexit();
        rec.loop = false;
        // a longer one starts on both
        rec.tag[10] = 430000;
        r.cues.cueMouseDown(d, 4);
        EXPECT_TRUE(rec.loop.load());
        EXPECT_EQ(d.cue[3]->graphicName(), QStringLiteral("cr%1%2.bmp").arg(v).arg(4));
        p.loopexit();
        p.Stop();
    }
}

TEST(HotCue, LoopLengthsAndReloopLights)
{
    Rig r;
    ASSERT_TRUE(r.loadTone(1));
    DeckControls& d = r.deckA;
    carga& p = r.player(1);
    ASSERT_GE(r.record(1).tag[0].load(), 40);
    p.Play();
    r.cues.loopLengthMouseDown(d, 5);  // 4 beats
    EXPECT_EQ(d.loop, 5);
    EXPECT_EQ(r.state.lo1, 5);
    EXPECT_TRUE(r.record(1).loop.load());
    const int64_t length = p.syncloop[1] - p.syncloop[0];
    EXPECT_NEAR(double(length), 4 * r.record(1).fmlopsec / p.fbpm, 8);
    for (int i = 1; i <= 8; ++i)
        EXPECT_EQ(r.viewsA.button(QStringLiteral("r%1").arg(i).toLatin1().constData(), "").down_, i == 5) << i;
    EXPECT_EQ(d.loopa->tag(), 1);
    EXPECT_EQ(d.loopb->tag(), 1);
    EXPECT_EQ(d.loopreloop->tag(), 0);
    // the lit length again: the same length, from the loop's start
    r.cues.loopLengthMouseDown(d, 5);
    EXPECT_EQ(p.syncloop[1] - p.syncloop[0], length);
    // reloop leaves the loop, the next reloop starts it again
    r.cues.loopreloopMouseDown(d);
    EXPECT_FALSE(r.record(1).loop.load());
    EXPECT_EQ(d.loopa->tag(), 0);
    EXPECT_EQ(d.loop, 0);
    r.cues.lucesloop();
    EXPECT_FALSE(r.viewsA.button("loop1a", "").down_);
    r.cues.loopreloopMouseDown(d);
    EXPECT_TRUE(r.record(1).loop.load());
    EXPECT_EQ(d.loopb->tag(), 1);
    r.cues.lucesloop();
    EXPECT_TRUE(r.viewsA.button("loop1b", "").down_);
    r.cues.loopreloopMouseDown(d);
    EXPECT_EQ(d.loopa->tag(), 0);
    // loop in, then loop out: a loop from the first press to the second, both lit
    p.SetPosition(200000);
    r.cues.loopaMouseDown(d);
    EXPECT_EQ(d.loopa->tag(), 1);
    EXPECT_EQ(d.loopb->tag(), 0);
    p.SetPosition(400000);
    r.record(1).tiempopcm = 400000;
    r.cues.loopbMouseDown(d);
    EXPECT_EQ(d.loopa->tag(), 1);
    EXPECT_EQ(d.loopb->tag(), 1);
    EXPECT_TRUE(r.record(1).loop.load());
    // a tempo below 40: the press is ignored, buttons included
    p.loopexit();
    r.record(1).tag[0] = 39;
    d.loop = 0;
    r.cues.loopLengthMouseDown(d, 3);
    EXPECT_EQ(d.loop, 0);
    EXPECT_FALSE(r.viewsA.button("r3", "").down_);
}

TEST(Jog, PureFunctions)
{
    const double w = 187, h = 187, c = 93.5;
    // angle per quadrant: below 0, left 90, right -90, at the top the seam
    EXPECT_NEAR(JogWheel::wheelAngle(c, h, w, h), 0, 1e-9);
    EXPECT_NEAR(JogWheel::wheelAngle(0, c, w, h), 90, 1e-9);
    EXPECT_NEAR(JogWheel::wheelAngle(w, c, w, h), -90, 1e-9);
    EXPECT_NEAR(JogWheel::wheelAngle(0, h, w, h), 45, 1e-9);
    EXPECT_NEAR(std::abs(JogWheel::wheelAngle(c, 0, w, h)), 180, 1e-9);
    EXPECT_GT(JogWheel::wheelAngle(c - 1, 0, w, h), 179);
    EXPECT_LT(JogWheel::wheelAngle(c + 1, 0, w, h), -179);
    // search beats and their direction, across the seam too
    const struct {
        double from, to;
        int beats;
    } search[] = {{10, 11, 0}, {10, 13, 1}, {10, 7, -1}, {0, 5, 2}, {0, -5, -2}, {179, -179, 1}, {-179, 179, -1},
                  {170, -170, 10}, {-100, 79, 89}};
    for (const auto& s : search)
        EXPECT_EQ(JogWheel::searchBeats(s.to, s.from), s.beats) << s.from << " -> " << s.to;
    // effects dial
    EXPECT_EQ(JogWheel::effectsDial(0), 950);
    EXPECT_EQ(JogWheel::effectsDial(360), 100);
    EXPECT_EQ(JogWheel::effectsDial(180), 525);
    // rotation wrap
    EXPECT_EQ(JogWheel::wrapRotation(360.5f), 1.0f);
    EXPECT_EQ(JogWheel::wrapRotation(0.5f), 360.0f);
    EXPECT_EQ(JogWheel::wrapRotation(180.0f), 180.0f);
    EXPECT_EQ(JogWheel::dbCurveValue(4, 0, 8), 2);
    EXPECT_EQ(JogWheel::dbCurveValue(1, 3, 8), 8);
}

TEST(Jog, SearchAcrossTheTopOfTheWheelGoesForward)
{
    Rig r;
    ASSERT_TRUE(r.loadTone(1));
    r.state.searena1 = true;
    carga& p = r.player(1);
    r.record(1).tiempopcm = 500000;
    // just left of the top, then just right of it: clockwise across the seam
    r.jog.wheelMouseDown(r.deckA, true, 92, 0);
    r.jog.pass(r.deckA);  // no movement on the first pass
    EXPECT_FALSE(p.searching.load());
    r.jog.wheelMouseMove(r.deckA, 95, 0);
    r.jog.pass(r.deckA);
    EXPECT_TRUE(p.searching.load());
    EXPECT_GT(p.fsearini.load(), 500000);
}

TEST(Jog, BrowsesTheGridOnAStoppedDeck)
{
    Rig r;
    ASSERT_TRUE(r.loadTone(1));
    FakeSongGrid& g = r.playlists.grid_;
    g.setRowCount(4);
    g.setCurrentRow(2);
    r.source.msender = &g;
    // a controller drive turning the wheel on: one row per pass while the speed holds
    r.state.controlera = true;
    int count = 100;
    r.jog.hooks.wheelCount = [&](int) { return count; };
    r.jog.pass(r.deckA);
    for (int i = 0; i < 3; ++i) {
        count += 5;
        r.jog.pass(r.deckA);
    }
    EXPECT_EQ(g.currentRow(), 3);
    for (int i = 0; i < 12; ++i) {
        count -= 5;
        r.jog.pass(r.deckA);
    }
    EXPECT_EQ(g.currentRow(), 1);
    // nobenda: nothing
    r.jog.hooks.nobend = [](int) { return true; };
    count += 30;
    r.jog.pass(r.deckA);
    r.jog.pass(r.deckA);
    EXPECT_EQ(g.currentRow(), 1);
}

TEST(Jog, ControllerDriveEndsAfterTwoUnchangedTicks)
{
    Rig r;
    r.state.controlera = true;
    r.deckA.jog.tscratchena = true;
    r.jog.actjo(r.deckA, 100);
    r.jog.actjo(r.deckA, 100);
    EXPECT_TRUE(r.state.controlera);
    r.jog.actjo(r.deckA, 100);
    EXPECT_FALSE(r.state.controlera);
    EXPECT_FALSE(r.deckA.jog.tscratchena);
    // held by its touch it keeps the drive
    r.state.controlerb = r.state.botonscrb = true;
    for (int i = 0; i < 4; ++i) r.jog.actjo(r.deckB, 7);
    EXPECT_TRUE(r.state.controlerb);
}

TEST(Jog, EffectsModeTurnsTheEffectDial)
{
    Rig r;
    r.state.fxing2 = true;
    r.jog.wheelMouseDown(r.deckB, true, 93, 187);  // straight below: angle 180 - 0
    r.jog.pass(r.deckB);
    EXPECT_EQ(r.viewsB.position("", "wet2").at_, JogWheel::effectsDial(r.deckB.jog.angle));
}

// ---- the automix walk

namespace {
struct Walk {
    Walk()
    {
        a.track = &t1;
        b.track = &t2;
        walk.playlist = &grid;
        walk.laut_t1 = &laut1;
        walk.laut_t2 = &laut2;
        walk.hooks.btnloadMouseDown = [this](int deck) { loads.push_back({deck, grid.currentRow()}); };
        walk.hooks.automixOff = [this] { ++offs; };
        source.msender = &other;
    }
    void rows(int n)
    {
        grid.setRowCount(n + 1);
        for (int r = 1; r <= n; ++r) grid.setCell(gridcol::order, r, QStringLiteral("%1").arg(r, 4, 10, QLatin1Char('0')));
    }
    DeckControls a{1}, b{2};
    FakeLabel t1{QStringLiteral("----")}, t2{QStringLiteral("----")}, laut1, laut2;
    FakeSongGrid grid{QStringLiteral("sg"), 1}, other{QStringLiteral("sggroups")};
    LoadSource source;
    AutomixWalk walk{a, b, source};
    std::vector<std::pair<int, int>> loads;  // deck, row
    int offs = 0;
};
}  // namespace

TEST(Automix, WalkTable)
{
    const struct {
        const char* name;
        int rows;
        QString label1, label2;
        int cpn;
        bool missing;
        int deck;
        int row;       // the row loaded; 0: none
        int cpnAfter;
        int pasafin;
    } table[] = {
        {"end form: after the larger label", 8, "003", "004", 0, false, 1, 5, 6, 0},
        {"missing form keeps a number already ahead", 8, "003", "004", 5, true, 1, 5, 6, 0},
        {"missing form: past its own label", 8, "006", "002", 3, true, 1, 7, 8, 0},
        {"end form past the end: row 1", 4, "003", "004", 0, false, 1, 1, 2, 0},
        {"end form past the end, other deck on entry 1: row 2", 4, "004", "001", 0, false, 1, 2, 3, 0},
        {"missing form past the end wraps and remembers", 4, "004", "003", 0, true, 2, 1, 2, 2},
        {"labels that are no number read 0", 4, "----", "New", 0, false, 1, 1, 2, 0},
        {"deck B", 8, "005", "002", 0, false, 2, 6, 7, 0},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.name);
        Walk w;
        w.rows(c.rows);
        w.t1.text_ = c.label1;
        w.t2.text_ = c.label2;
        w.walk.CURRENTPLAYNUMBER = c.cpn;
        EXPECT_TRUE(w.walk.step(c.deck, c.missing));
        ASSERT_EQ(w.loads.size(), 1u);
        EXPECT_EQ(w.loads[0].first, c.deck);
        EXPECT_EQ(w.loads[0].second, c.row);
        EXPECT_EQ(w.walk.CURRENTPLAYNUMBER, c.cpnAfter);
        EXPECT_EQ(w.walk.pasafinautomix, c.pasafin);
        EXPECT_EQ(w.source.msender, &w.grid);
        EXPECT_EQ(w.offs, 0);
        EXPECT_EQ((c.deck == 1 ? w.laut1 : w.laut2).text_, QStringLiteral("001"));
    }
}

TEST(Automix, WrapRemembersTheDeckForTheNextStep)
{
    Walk w;
    w.rows(4);
    w.t1.text_ = QStringLiteral("004");
    w.t2.text_ = QStringLiteral("003");
    w.walk.step(1, true);
    EXPECT_EQ(w.walk.pasafinautomix, 1);
    // the next step continues from deck A's label
    w.t1.text_ = QStringLiteral("001");
    w.walk.step(2, false);
    EXPECT_EQ(w.walk.pasafinautomix, 0);
    EXPECT_EQ(w.loads.back().second, 2);
}

TEST(Automix, EmptyOrShortPlaylistStopsAutomix)
{
    {
        Walk w;  // no song rows
        EXPECT_FALSE(w.walk.step(1, false));
        EXPECT_TRUE(w.loads.empty());
        EXPECT_EQ(w.offs, 1);
        EXPECT_EQ(w.source.msender, &w.other);
    }
    {
        Walk w;  // one entry, the other deck plays it: no row 2 to go to
        w.rows(1);
        w.t1.text_ = QStringLiteral("001");
        w.t2.text_ = QStringLiteral("001");
        EXPECT_FALSE(w.walk.step(1, false));
        EXPECT_TRUE(w.loads.empty());
        EXPECT_EQ(w.offs, 1);
        EXPECT_EQ(w.source.msender, &w.other);
    }
    {
        Walk w;  // a row without a number
        w.rows(2);
        w.grid.setCell(gridcol::order, 1, QStringLiteral("x"));
        EXPECT_FALSE(w.walk.step(2, true));
        EXPECT_EQ(w.offs, 1);
    }
}

TEST(Automix, KeyAndLoadWordsBetweenTwoTicksBothTakeEffect)
{
    Rig r;
    Walk w;
    w.rows(3);
    QStringList follows;
    std::vector<int> loads;
    HintMailbox box;
    HotCues cues{w.a, w.b};
    StatusTimer status{w.a, w.b, box, w.walk, cues};
    status.hooks.followHint = [&](const QString& word) { follows << word; };
    box.post(QStringLiteral("KEY"));
    box.post(QStringLiteral("CARGACANCION1"));
    box.post(QStringLiteral("CARGACANCION1"));  // the same word twice in one tick: once
    status.mailbox();
    EXPECT_EQ(follows, QStringList{QStringLiteral("KEY")});
    EXPECT_EQ(w.loads.size(), 1u);
    // "NOKEY" holds on every tick until "KEY"
    box.post(QStringLiteral("NOKEY"));
    status.mailbox();
    status.mailbox();
    box.post(QStringLiteral("SALVABPM"));
    status.mailbox();
    EXPECT_EQ(follows, (QStringList{"KEY", "NOKEY", "NOKEY", "NOKEY"}));
    EXPECT_TRUE(box.empty());
}

TEST(Automix, ClockShowsTwoDigitHours)
{
    EXPECT_EQ(StatusTimer::clockText(QTime(9, 5, 3), QLocale::c()), QStringLiteral("09:05:03"));
    EXPECT_EQ(StatusTimer::clockText(QTime(21, 5, 3), QLocale(QLocale::English, QLocale::UnitedStates)),
              QStringLiteral("21:05:03"));
    EXPECT_EQ(StatusTimer::clockText(QTime(9, 5, 3), QLocale(QLocale::Finnish, QLocale::Finland)),
              QStringLiteral("09.05.03"));
}

TEST(Transport, StatusTickLightsFollowTheDecks)
{
    Rig r;
    ASSERT_TRUE(r.loadTone(1));
    carga& p = r.player(1);
    p.Play();
    p.cargacue = 3;
    p.parada = true;
    r.deckA.memorizar = true;
    r.status.hooks.now = [] { return QTime(9, 5, 3); };
    r.status.tick();
    EXPECT_TRUE(r.viewsA.button("btnplay1", "").down_);
    EXPECT_FALSE(r.viewsA.button("btncue1", "").down_);
    EXPECT_TRUE(r.viewsA.button("cue13", "").down_);
    EXPECT_FALSE(r.viewsA.button("cue12", "").down_);
    EXPECT_TRUE(r.viewsA.button("brake", "").down_);
    EXPECT_TRUE(r.viewsA.button("memory1", "").down_);
    p.parada = false;
    p.Pause();
    r.status.tick();
    EXPECT_TRUE(r.viewsA.button("btnpause1", "").down_);
    EXPECT_FALSE(r.viewsA.button("btnplay1", "").down_);
    p.Stop();
    r.status.tick();
    EXPECT_TRUE(r.viewsA.button("btncue1", "").down_);
    EXPECT_EQ(r.viewsA.label("lbpm1", "").text_.isEmpty(), false);
}

// ---- closing

TEST(CloseQuery, QuestionTable)
{
    const QString none = QStringLiteral("No Song"), song = QStringLiteral("Artist");
    const struct {
        QString a1, a2;
        bool p1, p2;
        ShutDown::Question q;
        QString text;
    } table[] = {
        {none, none, false, false, ShutDown::Question::none, {}},
        {song, none, false, false, ShutDown::Question::loaded, "Are you sure to close Korvanta?"},
        {none, song, false, false, ShutDown::Question::loaded, "Are you sure to close Korvanta?"},
        {song, song, false, true, ShutDown::Question::playing, "The music is playing. Are you sure to exit ? "},
        {song, none, true, false, ShutDown::Question::playing, "The music is playing. Are you sure to exit ? "},
    };
    for (const auto& c : table) {
        const auto q = ShutDown::closeQuestion(c.a1, c.a2, c.p1, c.p2);
        EXPECT_EQ(q, c.q);
        EXPECT_EQ(ShutDown::questionText(q), c.text);
    }
    EXPECT_EQ(ShutDown::questionCaption(), QStringLiteral("Warning "));
}

TEST(CloseQuery, ShutDownOrderOnce)
{
    ShutDown s;
    QStringList calls;
    const auto rec = [&](const char* name) { return [&calls, name] { calls << QLatin1String(name); }; };
    ShutDown::Steps& st = s.steps;
    st.restoreSleep = rec("power");
    st.stopMainLoop = rec("mainloop");
    st.stopTimers = rec("timers");
    st.hidInputsOff = rec("hid inputs");
    st.finishLoads = rec("loads");
    st.stopMeters = rec("meters");
    st.midiLightsOff = rec("lights");
    st.stopEngineTick = rec("engine tick");
    st.graboconfig = rec("config row");
    st.freeHid = rec("hid free");
    st.fatalFromHere = rec("fatal");
    st.activatescreensaver = rec("screensaver");
    st.desinit = rec("desinit");
    EXPECT_FALSE(s.begun());
    EXPECT_TRUE(s.FormClose());
    EXPECT_TRUE(s.begun());
    EXPECT_FALSE(s.FormClose());
    EXPECT_EQ(calls, (QStringList{"power", "mainloop", "timers", "hid inputs", "loads", "meters", "lights",
                                  "engine tick", "config row", "hid free", "fatal", "screensaver", "desinit"}));
}

TEST(CloseQuery, CloseWhileALoadRuns)
{
    Rig r;
    const QString path = r.tone(QStringLiteral("slow.wav"), 3);
    Rig::put(r.playlists.grid_, 1, path);
    r.source.msender = &r.playlists.grid_;
    std::atomic<bool> inLoad{false}, slept{false};
    r.deck(1).onLoad = [&] {
        inLoad = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        slept = true;
    };
    r.loader->btnloadMouseDown(1);
    ASSERT_TRUE(loadrig::waitFor([&] { return inLoad.load(); }));
    ShutDown s;
    QStringList calls;
    s.steps.finishLoads = [&] {
        r.loader->shutdown();
        calls << QStringLiteral("loads");
    };
    s.steps.desinit = [&] {
        // the load has ended before the engine goes
        calls << (slept ? QStringLiteral("desinit after load") : QStringLiteral("desinit during load"));
        r.engine->desinit();
    };
    EXPECT_TRUE(s.FormClose());
    const size_t finished = r.finishedCount();
    QCoreApplication::processEvents();
    EXPECT_EQ(r.finishedCount(), finished);  // what the load would still hand over is dropped
    EXPECT_EQ(calls, (QStringList{"loads", "desinit after load"}));
}
