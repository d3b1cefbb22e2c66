// Volume with the crossfader share, headphone level, EQ with kills, gain, echo, flanger and
// auto-wah: the deck sets what it should on its streams and effects.
#include <gtest/gtest.h>

#include "tests/engine/deck/deckrig.h"

using namespace deckrig;

namespace {

float band(sound::Handle eq, int b)
{
    sound::PeakEqParams p;
    p.band = b;
    EXPECT_TRUE(sound::getFxParams(eq, p));
    return p.gainDb;
}

class Mixing : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (auto* bus : {&chanheadphones, &chanheadphones2, &changrabacion, &changrabacion2, &samgrabacion,
                          &samgrabacion2})
            *bus = sound::createPushStream(44100, 2, sound::Decode, 4096);
        file = dir.filePath(QStringLiteral("%1-mix.wav").arg(QCoreApplication::applicationPid()));
        ASSERT_TRUE(tone(file, 44100, 1, 440));
    }
    void TearDown() override
    {
        for (auto* bus : {&chanheadphones, &chanheadphones2, &changrabacion, &changrabacion2, &samgrabacion,
                          &samgrabacion2}) {
            sound::freeStream(*bus);
            *bus = 0;
        }
    }
    QTemporaryDir dir;
    QString file;
};

TEST_F(Mixing, VolumeTakesTheCrossfaderShare)
{
    struct Case { int nc, vol, cross; int stored; float level, rec; };
    const Case cases[] = {{1, 80, 30, 80, 0.5f, 0.5f},   {1, 20, 50, 20, 0, 0},       {1, 150, 0, 100, 1, 1},
                          {2, -5, 0, 0, 0, 0},           {2, 100, 100, 100, 0, 0},    {2, 60, 10, 60, 0.5f, 0.5f},
                          {3, 80, 30, 80, 0.5f, 0.8f},   {4, 40, 50, 40, 0, 0.4f}};
    for (const Case& c : cases) {
        Rig rig(c.nc);
        ASSERT_TRUE(rig.load(file));
        carga& d = *rig.deck;
        d.basseqfx->crossfader = c.cross;
        d.SetVolume(c.vol);
        EXPECT_EQ(d.basseqfx->vol, c.stored);
        EXPECT_FLOAT_EQ(attr(d.Mixer, sound::Attribute::Volume), c.level) << c.nc << " " << c.vol;
        const sound::Handle rec[] = {0, changrabacion, changrabacion2, samgrabacion, samgrabacion2};
        EXPECT_FLOAT_EQ(attr(rec[c.nc], sound::Attribute::Volume), c.rec) << c.nc << " " << c.vol;
    }
}

TEST_F(Mixing, HeadphoneLevelGoesToTheDecksBusWhenCued)
{
    for (int nc : {1, 2, 3}) {
        Rig rig(nc);
        carga& d = *rig.deck;
        const sound::Handle bus = nc == 1 ? chanheadphones.load() : chanheadphones2.load();
        sound::setAttribute(bus, sound::Attribute::Volume, 0.25f);
        d.SetVolHead(70);  // not cued: only stored
        EXPECT_EQ(d.basseqfx->volheadphones, 70);
        EXPECT_FLOAT_EQ(attr(bus, sound::Attribute::Volume), 0.25f);
        d.headphones = true;
        d.SetVolHead(130);
        EXPECT_EQ(d.basseqfx->volheadphones, 100);
        EXPECT_FLOAT_EQ(attr(bus, sound::Attribute::Volume), 1.0f) << nc;
    }
}

TEST_F(Mixing, EqBandsGainAndKills)
{
    Rig rig(1);
    ASSERT_TRUE(rig.load(file));
    carga& d = *rig.deck;
    const sound::Handle eq = d.fxEQ;
    ASSERT_NE(eq, 0u);
    const float centres[] = {125, 1000, 8000};
    for (int b = 0; b < 3; ++b) {
        sound::PeakEqParams p;
        p.band = b;
        ASSERT_TRUE(sound::getFxParams(eq, p));
        EXPECT_FLOAT_EQ(p.centerHz, centres[b]);
        EXPECT_FLOAT_EQ(p.bandwidth, 2.5f);
        EXPECT_FLOAT_EQ(p.gainDb, 0);
    }
    struct Case { void (carga::*set)(int); Shared<bool> carga::*kill; Shared<int> PRecord::*field; int b, killDb; };
    const Case cases[] = {{&carga::Setfbas, &carga::kb, &PRecord::bas, 0, -25},
                          {&carga::Setfmid, &carga::km, &PRecord::mid, 1, -25},
                          {&carga::Setftre, &carga::kt, &PRecord::tre, 2, -20}};
    for (const Case& c : cases) {
        (d.*c.set)(20);
        EXPECT_EQ(d.basseqfx->*c.field, 10);
        EXPECT_FLOAT_EQ(band(eq, c.b), 10);
        (d.*c.set)(-40);
        EXPECT_EQ(d.basseqfx->*c.field, -15);
        EXPECT_FLOAT_EQ(band(eq, c.b), -15);
        // an unchanged value is not applied again
        sound::PeakEqParams p;
        p.band = c.b;
        sound::getFxParams(eq, p);
        p.gainDb = 3;
        sound::setFxParams(eq, p);
        (d.*c.set)(-15);
        EXPECT_FLOAT_EQ(band(eq, c.b), 3);
        // kill on: any argument gives the kill level at once; off restores the argument
        d.*c.kill = true;
        (d.*c.set)(5);
        EXPECT_EQ(d.basseqfx->*c.field, c.killDb);
        EXPECT_FLOAT_EQ(band(eq, c.b), float(c.killDb));
        (d.*c.set)(20);
        EXPECT_EQ(d.basseqfx->*c.field, c.killDb);
        d.*c.kill = false;
        (d.*c.set)(4);
        EXPECT_EQ(d.basseqfx->*c.field, 4);
        EXPECT_FLOAT_EQ(band(eq, c.b), 4);
    }
}

TEST_F(Mixing, GainSteps)
{
    Rig rig(2);
    rig.deck->basseqfx->gain = 7;
    ASSERT_TRUE(rig.load(file));
    carga& d = *rig.deck;
    sound::VolumeParams v;
    ASSERT_TRUE(sound::getFxParams(d.fxvol1, v));
    EXPECT_FLOAT_EQ(v.volume, 0.7f);
    struct Case { int in, stored; float volume; };
    for (const Case c : {Case{10, 10, 1.0f}, Case{25, 20, 2.0f}, Case{-3, 0, 0.0f}, Case{13, 13, 1.3f}}) {
        d.SetfGain(c.in);
        EXPECT_EQ(d.basseqfx->gain, c.stored);
        EXPECT_DOUBLE_EQ(d.basseqfx->percgain, c.stored / 10.0);
        ASSERT_TRUE(sound::getFxParams(d.fxvol1, v));
        EXPECT_FLOAT_EQ(v.volume, c.volume);
    }
}

TEST_F(Mixing, EchoFlangerAndWahParameters)
{
    Rig rig(1);
    ASSERT_TRUE(rig.load(file));
    carga& d = *rig.deck;
    const sound::Handle ch = d.Channel;

    d.UpdateEcho(0.45f, 123, 0.5f, true);
    const sound::Handle echo = d.fxecho2;
    ASSERT_NE(echo, 0u);
    EXPECT_EQ(sound::streamOfProcessor(echo), ch);
    d.UpdateEcho(0.3f, 0, 0.25f, true);  // on again: one echo, new settings
    EXPECT_EQ(d.fxecho2, echo);
    sound::EchoParams e;
    ASSERT_TRUE(sound::getFxParams(echo, e));
    EXPECT_FLOAT_EQ(e.dryMix, 1.2f);
    EXPECT_FLOAT_EQ(e.wetMix, 0.3f);
    EXPECT_FLOAT_EQ(e.delay, 0.25f);
    EXPECT_EQ(e.channel, -1);
    d.UpdateEcho(0.3f, 0, 0.25f, false);
    EXPECT_EQ(d.fxecho2, 0u);
    EXPECT_EQ(sound::streamOfProcessor(echo), 0u);

    d.UpdateFlange(0.9f, 0.2f, true);
    const sound::Handle fl = d.FXFLANGER;
    ASSERT_NE(fl, 0u);
    d.UpdateFlange(0.1f, 0.6f, true);
    EXPECT_EQ(d.FXFLANGER, fl);
    sound::FlangerParams f;
    ASSERT_TRUE(sound::getFxParams(fl, f));
    EXPECT_FLOAT_EQ(f.wetDry, 0.35f);
    EXPECT_FLOAT_EQ(f.speed, 0.6f);
    d.UpdateFlange(0, 0, false);
    EXPECT_EQ(sound::streamOfProcessor(fl), 0u);

    d.UpdateWah(0.4f, 500, true);
    const sound::Handle wah = d.FXWAH;
    ASSERT_NE(wah, 0u);
    sound::AutoWahParams w;
    ASSERT_TRUE(sound::getFxParams(wah, w));
    EXPECT_FLOAT_EQ(w.dryMix, 1.1f);
    EXPECT_FLOAT_EQ(w.wetMix, 0.4f);
    EXPECT_FLOAT_EQ(w.feedback, (500 * 0.42f + 300) / 1000 / 2);
    EXPECT_FLOAT_EQ(w.rate, 5.0f);
    EXPECT_FLOAT_EQ(w.range, 5.3f);
    EXPECT_FLOAT_EQ(w.freqHz, 100);
    d.UpdateWah(0.4f, 500, false);
    EXPECT_EQ(d.FXWAH, 0u);
    EXPECT_EQ(sound::streamOfProcessor(wah), 0u);
}

TEST_F(Mixing, EffectsRunInTheirOrder)
{
    // the echo's tail is heard after the dry sound stops: the effect is really in the chain
    QTemporaryDir d2;
    const QString burst = d2.filePath("burst.wav");
    ASSERT_TRUE(writeWav(burst, 44100, 44100 * 2, [](int64_t i, int16_t& l, int16_t& r) {
        l = r = i < 2205 ? int16_t(10000 * std::sin(i * 0.06)) : 0;
    }));
    Rig rig(1);
    ASSERT_TRUE(rig.load(burst));
    rig.unity();
    rig.deck->UpdateEcho(0.5f, 0, 0.25f, true);
    rig.deck->Play();
    const auto out = rig.render(44100);
    int tail = 0;
    for (size_t i = 2 * 11025; i < 2 * 13230; i += 2) tail = std::max(tail, std::abs(int(out[i])));
    EXPECT_GT(tail, 500);
}

}  // namespace

namespace {

TEST_F(Mixing, TapsFeedTheBusesWhileRecordingAndCued)
{
    estagrabando = true;
    useheadphones = true;
    for (int nc : {1, 2, 3, 4}) {
        Rig rig(nc);
        rig.deck->headphones = true;
        ASSERT_TRUE(rig.load(file));
        rig.unity();
        rig.deck->Play();
        rig.render(2048);
        const sound::Handle rec[] = {0, changrabacion, changrabacion2, samgrabacion, samgrabacion2};
        EXPECT_GT(sound::pushQueued(rec[nc]), 0) << nc;
        if (nc <= 2) {
            EXPECT_GT(sound::pushQueued(nc == 1 ? chanheadphones.load() : chanheadphones2.load()), 0) << nc;
        }
        sound::setPosition(rec[nc], 0);
    }
    estagrabando = false;
    useheadphones = false;
    // without recording and headphone routing no tap is made
    Rig rig(1);
    ASSERT_TRUE(rig.load(file));
    rig.deck->Play();
    rig.render(2048);
    EXPECT_EQ(rig.deck->recdsp, 0u);
    EXPECT_EQ(rig.deck->rotdsp, 0u);
    EXPECT_EQ(sound::pushQueued(changrabacion), 0);
}

}  // namespace
