// The effects section, the samplers and the centre selectors on fake controls.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "controllers/dispatch/controllervalues.h"
#include "mainwindow/logic/centreselectors.h"
#include "mainwindow/logic/effectcontrols.h"
#include "mainwindow/logic/samplercontrols.h"
#include "tests/mainwindow/support/fakeviews.h"

namespace {

struct Call {
    std::string what;
    std::vector<float> args;
    bool on;
};

class RecordingTarget : public EffectTarget {
public:
    double tempo = 120.0;
    std::vector<Call> calls;
    double bpm() const override { return tempo; }
    void UpdateWah(float mix, float input, bool on) override { calls.push_back({"wah", {mix, input}, on}); }
    void UpdateFlange(float level, float speed, bool on) override { calls.push_back({"flange", {level, speed}, on}); }
    void UpdateEcho(float mix, float level, float delay, bool on) override
    {
        calls.push_back({"echo", {mix, level, delay}, on});
    }
    const Call* last(const std::string& what) const
    {
        for (auto it = calls.rbegin(); it != calls.rend(); ++it)
            if (it->what == what) return &*it;
        return nullptr;
    }
};

struct EffectsRig {
    DeckControls deck{1};
    FakeButton echo, flange, wah;
    std::array<FakeButton, 5> beat;
    FakePosition dry{0, 1000, 500}, wet{100, 950, 525};
    ControllerValues values;
    RecordingTarget target;
    EffectControls fx{deck, &target};
    EffectsRig()
    {
        deck.echo = &echo;
        deck.flange = &flange;
        deck.wah = &wah;
        deck.dry = &dry;
        deck.wet = &wet;
        deck.values = &values;
        for (int i = 0; i < 5; ++i) {
            beat[size_t(i)].tag_ = i + 1;
            deck.beat[size_t(i)] = &beat[size_t(i)];
        }
        beat[2].down_ = true;
        for (FakeButton* b : {&echo, &flange, &wah}) b->tag_ = 6;
    }
};

}  // namespace

TEST(EffectsSamplerControls, EchoDelayFromBpmAndFraction)
{
    struct Row {
        double bpm;
        int fraction;
        std::optional<float> seconds;
    } rows[] = {
        {120, 1, 2.0f}, {120, 2, 1.0f}, {120, 3, 0.5f}, {120, 4, 0.25f}, {120, 5, 0.125f},
        {128, 3, 60.0f / 128}, {0, 3, 0.0f}, {0.001, 2, 0.0f},  // no tempo: no delay
        {120, 0, std::nullopt}, {120, 6, std::nullopt},         // no such fraction
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.bpm << " bpm, fraction " << r.fraction);
        const std::optional<float> d = EffectControls::echoDelay(r.bpm, r.fraction);
        ASSERT_EQ(d.has_value(), r.seconds.has_value());
        if (d) {
            EXPECT_FLOAT_EQ(*d, *r.seconds);
        }
    }
}

TEST(EffectsSamplerControls, SettersGetTheirArgumentsInTheDeckPlayersOrder)
{
    EffectsRig r;
    r.echo.tag_ = 1;
    r.flange.tag_ = 0;
    r.wah.tag_ = 1;
    r.dry.at_ = 400;
    r.wet.at_ = 800;
    r.fx.dryChange();
    const Call* wah = r.target.last("wah");
    const Call* flange = r.target.last("flange");
    const Call* echo = r.target.last("echo");
    ASSERT_TRUE(wah && flange && echo);
    EXPECT_FLOAT_EQ(wah->args[0], 0.4f);   // dry / 1000
    EXPECT_FLOAT_EQ(wah->args[1], 800.0f); // wet
    EXPECT_TRUE(wah->on);
    EXPECT_FLOAT_EQ(flange->args[0], 0.4f);  // dry / 1000
    EXPECT_FLOAT_EQ(flange->args[1], 1.6f);  // wet / 500
    EXPECT_FALSE(flange->on);
    EXPECT_FLOAT_EQ(echo->args[0], 0.6f);  // dry * 1.5 / 1000
    EXPECT_FLOAT_EQ(echo->args[1], 0.8f);  // wet / 1000
    EXPECT_FLOAT_EQ(echo->args[2], 0.5f);  // one beat at 120
    EXPECT_TRUE(echo->on);
    // the controller copies follow the dials
    EXPECT_EQ(r.values.quordry1, 400);
    EXPECT_EQ(r.values.quorpara1, 800);
    // the echo off: no echo update from a dial change
    r.echo.tag_ = 0;
    r.target.calls.clear();
    r.fx.dryChange();
    EXPECT_EQ(r.target.last("echo"), nullptr);
}

TEST(EffectsSamplerControls, EffectSwitchCycles)
{
    EffectsRig r;
    // Tag 6 (before the first load) counts as off: a press leaves it off
    r.fx.effectMouseDown(&r.flange);
    EXPECT_EQ(r.flange.tag_, 0);
    EXPECT_FALSE(r.flange.down_);
    EXPECT_FALSE(r.target.last("flange")->on);
    // then on, off, on
    for (bool on : {true, false, true}) {
        r.fx.effectMouseDown(&r.flange);
        EXPECT_EQ(r.flange.tag_, on ? 1 : 0);
        EXPECT_EQ(r.flange.down_, on);
        EXPECT_EQ(r.target.last("flange")->on, on);
    }
    // the echo switch sends the echo itself, on and off
    r.echo.tag_ = 0;
    r.fx.effectMouseDown(&r.echo);
    EXPECT_TRUE(r.target.last("echo")->on);
    r.fx.effectMouseDown(&r.echo);
    EXPECT_FALSE(r.target.last("echo")->on);
}

TEST(EffectsSamplerControls, EffectSwitchWithNoFractionDownSelectsTheThird)
{
    EffectsRig r;
    for (FakeButton& b : r.beat) b.down_ = false;
    r.flange.tag_ = 0;
    r.fx.effectMouseDown(&r.flange);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(r.beat[size_t(i)].down_, i == 2) << i;
}

TEST(EffectsSamplerControls, BeatFractionSelectsAndResends)
{
    EffectsRig r;
    r.echo.tag_ = 1;
    // t1: four beats
    r.beat[0].down_ = true;
    r.fx.beatMouseDown(&r.beat[0]);
    EXPECT_EQ(*r.fx.fx, 1);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(r.beat[size_t(i)].down_, i == 0) << i;
    EXPECT_FLOAT_EQ(r.target.last("echo")->args[2], 2.0f);
    EXPECT_FLOAT_EQ(r.fx.mdel, 2.0f);
    // pressing the selected fraction again keeps it down and resends
    r.target.calls.clear();
    r.beat[3].down_ = false;
    *r.fx.fx = 4;  // as a controller sets it before it presses t4
    r.fx.beatMouseDown(&r.beat[3]);
    EXPECT_TRUE(r.beat[3].down_);
    EXPECT_FALSE(r.beat[0].down_);
    ASSERT_NE(r.target.last("echo"), nullptr);
    EXPECT_FLOAT_EQ(r.target.last("echo")->args[2], 0.25f);
    // a deck without tempo gets no delay
    r.target.tempo = 0;
    r.fx.beatMouseDown(&r.beat[1]);
    EXPECT_FLOAT_EQ(r.target.last("echo")->args[2], 0.0f);
}

namespace {

class FakeSampler : public SamplerPlayer {
public:
    bool playing() const override { return playing_; }
    void stop() override
    {
        playing_ = false;
        log << "stop";
    }
    QString fileName() const override { return file_; }
    void load(const QString& f) override
    {
        file_ = f;
        log << "load " + f;
    }
    void setVolume(int v) override { volume = v; }
    void play() override
    {
        playing_ = true;
        log << "play";
    }
    bool playing_ = false;
    QString file_;
    int volume = -1;
    QStringList log;
};

struct SamplerRig {
    SamplerControls s;
    FakeSampler left, right;
    std::array<FakeButton, 6> vl, vr;
    FakeButton vl7, vr7;
    FakePosition volume{0, 100, 50}, volume2{0, 100, 50};
    int quorsam1 = 0, quorsam2 = 0;
    SamplerRig()
    {
        s.shortName = [](const QString& f) { return f.startsWith(QLatin1String("/missing")) ? QString() : f; };
        for (int i = 0; i < 6; ++i) {
            s.sp[size_t(i)] = QStringLiteral("/samples/%1.mp3").arg(i + 1);
            vl[size_t(i)].tag_ = vr[size_t(i)].tag_ = i + 1;
            s.side[0].pads[size_t(i)] = &vl[size_t(i)];
            s.side[1].pads[size_t(i)] = &vr[size_t(i)];
        }
        s.side[0].player = &left;
        s.side[1].player = &right;
        s.side[0].stop = &vl7;
        s.side[1].stop = &vr7;
        s.side[0].volume = &volume;
        s.side[1].volume = &volume2;
        s.side[0].volumeCopy = &quorsam1;
        s.side[1].volumeCopy = &quorsam2;
    }
    void press(int sampler, int n)
    {
        FakeButton& pad = (sampler == 0 ? vl : vr)[size_t(n - 1)];
        pad.down_ = true;  // a latched pad goes down under the mouse
        s.padMouseDown(sampler, &pad);
    }
};

}  // namespace

TEST(EffectsSamplerControls, SamplerPadStateMachine)
{
    SamplerRig r;
    // first press of vl2: loads sample 2 at the dial's volume and plays it from its start
    r.volume.at_ = 70;
    r.press(0, 2);
    EXPECT_EQ(r.left.log, QStringList({"stop", "load /samples/2.mp3", "stop", "play"}));
    EXPECT_EQ(r.left.volume, 70);
    EXPECT_TRUE(r.left.playing_);
    EXPECT_TRUE(r.s.side[0].playing);
    EXPECT_EQ(r.s.side[0].selected, 2);
    for (const FakeButton& p : r.vl) EXPECT_FALSE(p.down_);
    // second press of vl2 while it plays: stops it
    r.left.log.clear();
    r.press(0, 2);
    EXPECT_EQ(r.left.log, QStringList({"stop", "stop"}));
    EXPECT_FALSE(r.left.playing_);
    // vl2 again when stopped: plays the loaded sample again, from its start
    r.left.log.clear();
    r.press(0, 2);
    EXPECT_EQ(r.left.log, QStringList({"stop", "stop", "play"}));
    // vl3 while sample 2 plays: switches to sample 3
    r.left.log.clear();
    r.press(0, 3);
    EXPECT_EQ(r.left.log, QStringList({"stop", "load /samples/3.mp3", "stop", "play"}));
    EXPECT_EQ(r.s.side[0].selected, 3);
    EXPECT_EQ(r.s.samplename, QStringLiteral("/samples/3.mp3"));
    // the other sampler is its own
    EXPECT_TRUE(r.right.log.isEmpty());
    r.press(1, 6);
    EXPECT_EQ(r.right.file_, QStringLiteral("/samples/6.mp3"));
    EXPECT_EQ(r.s.side[1].selected, 6);
    // the stop pad: pads up, player stopped
    r.vl[0].down_ = true;
    r.s.stopMouseDown(0);
    EXPECT_FALSE(r.left.playing_);
    EXPECT_FALSE(r.vl[0].down_);
    EXPECT_TRUE(r.right.playing_);
}

TEST(EffectsSamplerControls, SamplerMissingFileAndOutOfRangeNumbers)
{
    SamplerRig r;
    r.s.sp[3] = QStringLiteral("/missing/4.mp3");
    r.press(0, 1);
    r.left.log.clear();
    r.press(0, 4);
    EXPECT_EQ(r.s.samplename, QString());  // an empty name: the player's own load failure
    EXPECT_EQ(r.left.log.value(1), QStringLiteral("load "));
    // a number outside 1..9 keeps the name
    r.s.samplename = QStringLiteral("/kept.mp3");
    r.s.playsample(0, 12);
    EXPECT_EQ(r.s.samplename, QStringLiteral("/kept.mp3"));
    // volume dials: the player and the controller copy
    r.volume2.at_ = 33;
    r.s.volumeChange(1);
    EXPECT_EQ(r.right.volume, 33);
    EXPECT_EQ(r.quorsam2, 33);
}

namespace {
struct SelectorRig {
    CentreSelectors c;
    FakeButton bmix, bfx, bax, bsampler;
    FakeControl effects, pautomix, sampler, bifx, biautomix, bisampler, pancentral;
    int clockRaised = 0, playlistsAlone = 0;
    std::vector<ControlView*> raised, lowered;
    SelectorRig()
    {
        c.bmix = &bmix;
        c.bfx = &bfx;
        c.bax = &bax;
        c.bsampler = &bsampler;
        c.effects = &effects;
        c.pautomix = &pautomix;
        c.sampler = &sampler;
        c.bifx = &bifx;
        c.biautomix = &biautomix;
        c.bisampler = &bisampler;
        c.pancentral = &pancentral;
        bifx.bounds_ = QRect(10, 900, 1, 1);
        biautomix.bounds_ = QRect(20, 900, 1, 1);
        bisampler.bounds_ = QRect(30, 900, 1, 1);
        pancentral.bounds_ = QRect(400, 200, 1, 1);
        for (FakeControl* p : {&effects, &pautomix, &sampler}) p->bounds_ = QRect(0, 0, 200, 150);
        c.raise = [this](ControlView* v) { raised.push_back(v); };
        c.lower = [this](ControlView* v) { lowered.push_back(v); };
        c.raiseClock = [this] { ++clockRaised; };
        c.playlistsAlone = [this] { ++playlistsAlone; };
        c.bmixMouseDown();
    }
    std::array<int, 4> tags() const { return {bmix.tag_, bfx.tag_, bax.tag_, bsampler.tag_}; }
};
}  // namespace

TEST(EffectsSamplerControls, CentreSelectorsShowOneSection)
{
    SelectorRig r;
    EXPECT_EQ(r.tags(), (std::array<int, 4>{1, 0, 0, 0}));
    EXPECT_EQ(r.effects.bounds_.topLeft(), QPoint(10, 900));
    EXPECT_EQ(r.pautomix.bounds_.topLeft(), QPoint(20, 900));
    EXPECT_EQ(r.sampler.bounds_.topLeft(), QPoint(30, 900));
    // effects to the centre, in front; a second press returns to the mixer
    r.c.bfxMouseDown();
    EXPECT_EQ(r.tags(), (std::array<int, 4>{0, 1, 0, 0}));
    EXPECT_EQ(r.effects.bounds_, QRect(400, 200, 200, 150));
    EXPECT_EQ(r.raised.back(), &r.effects);
    EXPECT_TRUE(r.bfx.down_);
    EXPECT_EQ(r.clockRaised, 1);
    r.lowered.clear();
    r.c.bfxMouseDown();
    EXPECT_EQ(r.tags(), (std::array<int, 4>{1, 0, 0, 0}));
    EXPECT_EQ(r.effects.bounds_.topLeft(), QPoint(10, 900));
    // a parked panel goes back under what covers its marker
    EXPECT_NE(std::find(r.lowered.begin(), r.lowered.end(), &r.effects), r.lowered.end());
    // the samplers; a second press returns to the mixer too
    r.c.bsamplerMouseDown();
    EXPECT_EQ(r.tags(), (std::array<int, 4>{0, 0, 0, 1}));
    EXPECT_EQ(r.sampler.bounds_.topLeft(), QPoint(400, 200));
    EXPECT_FALSE(r.bsampler.down_);  // the status timer shows it
    r.c.bsamplerMouseDown();
    EXPECT_EQ(r.tags(), (std::array<int, 4>{1, 0, 0, 0}));
    // automix: twice keeps it shown, with the Playlists panel alone
    r.c.baxMouseDown();
    r.c.baxMouseDown();
    EXPECT_EQ(r.tags(), (std::array<int, 4>{0, 0, 1, 0}));
    EXPECT_EQ(r.pautomix.bounds_.topLeft(), QPoint(400, 200));
    EXPECT_EQ(r.playlistsAlone, 2);
}
