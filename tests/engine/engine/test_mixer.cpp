// Mixer controls of the engine, offline: crossfader, headphone cue, recording level, beat
// match, and the device-list naming rule.
#include <gtest/gtest.h>

#include <QTimer>

#include "platform/bpm/bpmlibrary.h"
#include "engine/dsdevicename.h"
#include "engine/tdamepicos.h"
#include "tests/engine/engine/enginerig.h"

using namespace enginerig;

namespace {

float volumeOf(sound::Handle h)
{
    float v = -1;
    sound::getAttribute(h, sound::Attribute::Volume, v);
    return v;
}

struct FaderCase {
    int position;
    int shareA, shareB;
};

TEST(Crossfader, SharesOverTheWholeRange)
{
    Rig rig;
    rig.engine->soundcfg->devicework = 3;
    rig.engine->initds();
    rig.playtones();
    rig.deck(1).SetVolume(90);
    rig.deck(2).SetVolume(100);
    const std::vector<FaderCase> cases = {{1, 0, 99}, {40, 0, 38}, {63, 0, 1}, {64, 0, 0}, {65, 2, 0},
                                          {100, 57, 0}, {127, 100, 0}, {0, 0, 100}};
    for (const FaderCase& c : cases) {
        rig.engine->setcrossfader(c.position);
        EXPECT_EQ(rig.deck(1).basseqfx->crossfader, c.shareA) << c.position;
        EXPECT_EQ(rig.deck(2).basseqfx->crossfader, c.shareB) << c.position;
        EXPECT_FLOAT_EQ(volumeOf(rig.deck(1).Mixer), std::clamp(90 - c.shareA, 0, 100) / 100.0f) << c.position;
        EXPECT_FLOAT_EQ(volumeOf(rig.deck(2).Mixer), std::clamp(100 - c.shareB, 0, 100) / 100.0f) << c.position;
    }
    // every position by the rule t = position * 200 div 127
    for (int p = 1; p <= 127; ++p) {
        rig.engine->setcrossfader(p);
        const int t = p * 200 / 127;
        EXPECT_EQ(rig.deck(1).basseqfx->crossfader, t > 100 ? t - 100 : 0) << p;
        EXPECT_EQ(rig.deck(2).basseqfx->crossfader, t < 100 ? 100 - t : 0) << p;
    }
    // straight from 40 to 0: deck B silent, deck A at its own volume
    rig.engine->setcrossfader(40);
    rig.engine->setcrossfader(0);
    EXPECT_FLOAT_EQ(volumeOf(rig.deck(2).Mixer), 0.0f);
    EXPECT_FLOAT_EQ(volumeOf(rig.deck(1).Mixer), 0.9f);
    EXPECT_EQ(rig.engine->tcrossfader, 0);
}

TEST(Crossfader, TheSamePositionAgainChangesNothing)
{
    Rig rig;
    rig.engine->initds();
    rig.playtones();
    rig.engine->setcrossfader(10);
    rig.deck(2).basseqfx->crossfader = 7;
    rig.engine->setcrossfader(10);
    EXPECT_EQ(rig.deck(2).basseqfx->crossfader, 7);
}

struct CueCase {
    int mode;
    bool on;
    int deck;
    float expected;  // volume of that deck's headphone bus
};

TEST(HeadphoneCue, OnAndOffPerDeckAndMode)
{
    const std::vector<CueCase> cases = {
        {3, true, 1, 0.4f}, {3, false, 1, 0.0f}, {3, true, 2, 0.7f}, {3, false, 2, 0.0f},
        {6, true, 2, 0.7f}, {1, true, 1, 0.0f},  {1, true, 2, 0.0f}, {5, false, 2, 0.0f}};
    for (const CueCase& c : cases) {
        Rig rig;
        rig.engine->soundcfg->devicework = c.mode;
        rig.engine->initds();
        rig.playtones();
        rig.deck(1).basseqfx->volheadphones = 40;
        rig.deck(2).basseqfx->volheadphones = 70;
        rig.engine->setheadphones(!c.on, c.deck);
        rig.engine->setheadphones(c.on, c.deck);
        const sound::Handle bus = c.deck == 1 ? chanheadphones.load() : chanheadphones2.load();
        EXPECT_FLOAT_EQ(volumeOf(bus), c.expected) << "mode " << c.mode << " deck " << c.deck;
        EXPECT_EQ(rig.deck(c.deck).headphones.load(), c.on) << "mode " << c.mode;
    }
}

TEST(HeadphoneCue, OtherChannelsDoNothingAndTheRoutingSetsTheFlags)
{
    Rig rig;
    rig.engine->soundcfg->devicework = 3;
    rig.engine->initds();
    EXPECT_TRUE(rig.deck(1).headphones);
    EXPECT_TRUE(rig.deck(2).headphones);
    EXPECT_TRUE(useheadphones);
    rig.engine->setheadphones(false, 3);
    EXPECT_TRUE(rig.deck(1).headphones);
    EXPECT_TRUE(rig.deck(2).headphones);
    rig.engine->soundcfg->devicework = 1;
    rig.engine->desinitds();
    EXPECT_FALSE(rig.deck(1).headphones);
    EXPECT_FALSE(rig.deck(2).headphones);
    EXPECT_FALSE(useheadphones);
    rig.engine->render(441);  // the buses slide to silence over 1 ms of mixing
    EXPECT_FLOAT_EQ(volumeOf(chanheadphones), 0.0f);
}

// A rebuild of the outputs keeps a cued deck's headphone bus at its headphone volume.
TEST(HeadphoneCue, ARebuildKeepsTheCuedDecksHeadphoneVolume)
{
    Rig rig;
    rig.engine->soundcfg->devicework = 3;
    rig.engine->initds();
    rig.playtones();
    rig.deck(1).basseqfx->volheadphones = 40;
    rig.deck(2).basseqfx->volheadphones = 70;
    rig.engine->setheadphones(true, 1);
    for (int rebuild = 0; rebuild < 2; ++rebuild) {
        rig.engine->desinitds();  // the routing cues both decks of mode 3
        rig.engine->render(441);  // past the 1 ms slide
        EXPECT_FLOAT_EQ(volumeOf(chanheadphones), 0.4f) << rebuild;
        EXPECT_FLOAT_EQ(volumeOf(chanheadphones2), 0.7f) << rebuild;
    }
}

TEST(RecordingLevel, ClampedAndAppliedToTheFourBuses)
{
    Rig rig;
    rig.engine->initds();
    for (auto [in, out] : std::vector<std::pair<int, int>>{{150, 100}, {-5, 0}, {37, 37}, {100, 100}, {0, 0}}) {
        rig.engine->volgrabacion(in);
        EXPECT_EQ(rig.engine->volgraba, out) << in;
        for (sound::Handle bus : {changrabacion.load(), changrabacion2.load(), samgrabacion.load(), samgrabacion2.load()})
            EXPECT_FLOAT_EQ(volumeOf(bus), out / 100.0f) << in;
    }
}

// ------------------------------------------------------------------------------------------
// Beat match

struct MatchRig : Rig {
    MatchRig(double bpmA, double bpmB)
    {
        engine->soundcfg->devicework = 3;
        engine->initds();
        deck(1).basseqfx->tag[0] = bpmA;
        deck(2).basseqfx->tag[0] = bpmB;
        deck(1).tpitch = 10;
        deck(2).tpitch = 10;
        load(1, tone("a.wav", kToneA, 5));
        load(2, tone("b.wav", kToneB, 5));
        deck(1).SetSlider(63);
        deck(2).SetSlider(63);
    }
};

TEST(BeatMatch, DeckAFollowsDeckBAndASecondPressReleases)
{
    MatchRig rig(120, 126);
    carga &a = rig.deck(1), &b = rig.deck(2);
    b.SetSlider(40);
    ASSERT_GT(b.fabpm, 126.0);
    rig.engine->match1();
    EXPECT_TRUE(rig.engine->enlace1);
    EXPECT_FALSE(a.sliders);
    EXPECT_NEAR(a.fabpm, b.fabpm, 0.01);

    // deck B moves: deck A follows on the next tick
    b.SetSlider(70);
    rig.engine->OnChangeTimer();
    EXPECT_NEAR(a.fabpm, b.fabpm, 0.01);

    rig.engine->match1();
    EXPECT_FALSE(rig.engine->enlace1);
    EXPECT_TRUE(a.sliders);
    // the slider has the deck again
    a.SetSlider(63);
    EXPECT_EQ(a.dmcslider, a.sliderdmc);
    b.SetSlider(20);
    rig.engine->OnChangeTimer();
    EXPECT_GT(std::abs(a.fabpm - b.fabpm), 1.0);
}

TEST(BeatMatch, DeckBFollowsDeckA)
{
    MatchRig rig(128, 124);
    carga &a = rig.deck(1), &b = rig.deck(2);
    a.SetSlider(90);
    rig.engine->match2();
    EXPECT_TRUE(rig.engine->enlace2);
    EXPECT_NEAR(b.fabpm, a.fabpm, 0.01);
    a.SetSlider(50);
    rig.engine->OnChangeTimer();
    EXPECT_NEAR(b.fabpm, a.fabpm, 0.01);
    rig.engine->match2();
    EXPECT_FALSE(rig.engine->enlace2);
    EXPECT_TRUE(b.sliders);
}

TEST(BeatMatch, ADeckWithoutTempoIsNeverLinked)
{
    // 0.001 is the worker's mark for a scan that found no tempo
    for (auto [bpmA, bpmB] : std::vector<std::pair<double, double>>{
             {0, 120}, {120, 0}, {0, 0}, {0.001, 120}, {120, 0.001}, {0.001, 0.001}}) {
        MatchRig rig(bpmA, bpmB);
        const int before = rig.deck(1).dmcslider;
        rig.engine->match1();
        EXPECT_FALSE(rig.engine->enlace1) << bpmA << " " << bpmB;
        EXPECT_TRUE(rig.deck(1).sliders);
        EXPECT_EQ(rig.deck(1).dmcslider, before);
        rig.engine->OnChangeTimer();
        EXPECT_EQ(rig.deck(1).dmcslider, before);
    }
}

TEST(BeatMatch, TakingTheSliderBackEndsTheLink)
{
    MatchRig rig(120, 125);
    rig.engine->match1();
    ASSERT_TRUE(rig.engine->enlace1);
    rig.deck(1).sliders = true;
    rig.engine->OnChangeTimer();
    EXPECT_FALSE(rig.engine->enlace1);
}

// ------------------------------------------------------------------------------------------
// Device list names

TEST(DeviceNames, RepeatedNamesGetTheirCount)
{
    struct Step {
        const char* name;
        const char* listed;
    };
    const std::vector<Step> steps = {{"N", "N"},           {"N", "N (2)"},          {"N", "N (3)"},
                                     {"Card two", "Card two"}, {"Card", "Card (2)"}, {"Card two x", "Card two x"},
                                     {"N", "N (4)"}};
    std::vector<QString> list{QString()};
    for (const Step& s : steps) {
        const QString got = dsdevicename(list, QString::fromUtf8(s.name));
        EXPECT_EQ(got, QString::fromUtf8(s.listed)) << s.name;
        list.push_back(got);
    }
}

}  // namespace

namespace {

struct CountedSteps : VisualStep {
    void muevelo() override { ++steps; }
    void suspender() override { ++stops; }
    int steps = 0, stops = 0;
};

TEST(Engine, ShutDownWithDecksNeverLoaded)
{
    Rig rig;
    CountedSteps visual;
    rig.engine->visual = &visual;
    rig.engine->initds();
    rig.engine->desinit();
    EXPECT_EQ(visual.stops, 1);  // the displays stop stepping
    EXPECT_EQ(rig.engine->carga1, nullptr);
    EXPECT_EQ(rig.engine->carga4, nullptr);
    EXPECT_FALSE(rig.deck(1).loaded);
    EXPECT_FALSE(rig.engine->grabando);
}

TEST(Engine, ConstructionSetsVersionLevelAndTempoLibraries)
{
    Rig rig;
    EXPECT_EQ(rig.engine->softversion, "2.0.1");
    EXPECT_EQ(rig.engine->volgraba, 100);
    EXPECT_EQ(rig.engine->fchangetimer, nullptr);
    for (int deck : {1, 2}) {
        const BpmEntryPoints e = rig.engine->bpmdeck(deck);
        EXPECT_TRUE(e.Init && e.Decode && e.DameBpm) << deck;
    }
    // the two decks have libraries of their own, and workers of their own whose progress
    // event is the engine's repaint step
    EXPECT_NE(rig.engine->DLL.get(), rig.engine->DLL1.get());
    auto* w1 = dynamic_cast<TDamepicos*>(rig.engine->creo_onda);
    auto* w2 = dynamic_cast<TDamepicos*>(rig.engine->creo_onda2);
    ASSERT_TRUE(w1 && w2);
    EXPECT_NE(w1, w2);
    CountedSteps visual;
    rig.engine->visual = &visual;
    w1->OnConteo();
    w2->OnConteo();
    EXPECT_EQ(visual.steps, 2);
    rig.engine->initds();
    ASSERT_NE(rig.engine->fchangetimer, nullptr);
    EXPECT_EQ(rig.engine->fchangetimer->interval(), 5);
    QTimer* first = rig.engine->fchangetimer;
    rig.engine->soundcfg->devicework = 1;
    rig.engine->initds();
    EXPECT_EQ(rig.engine->fchangetimer, first);
    // the snapshot follows the outputs that exist
    EXPECT_EQ(rig.engine->oldsoundcfg->devicework, 1);
}

}  // namespace
