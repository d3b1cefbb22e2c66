// The six routing modes on JACK ("ASIO" driver mode): a JACK dummy server of our own with
// two capture clients of four input ports each, listed as two JACK devices. Deck A plays
// one tone, deck B another, the cue of deck A is on; which port of which device carries
// which tone is checked against the routing table.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <QCoreApplication>

#include "tests/engine/engine/enginerig.h"
#include "tests/support/jackprobe.h"
#include "tests/support/jackserver.h"

using namespace enginerig;

namespace {

constexpr size_t kCapture = 44100 * 4;

// Waits (counting samples) until both probes took `frames` frames.
bool capture(JackProbe& a, JackProbe& b, size_t frames)
{
    a.restart();
    b.restart();
    for (int i = 0; i < 3000 && (a.frames() < frames || b.frames() < frames); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return a.frames() >= frames && b.frames() >= frames;
}

// The tones of port p of a probe: bit 1 deck A, bit 2 deck B.
int probeTones(const JackProbe& probe, int port, size_t from, size_t count)
{
    const std::vector<float>& c = probe.channel(port);
    return tones(c, 1, 0, from, count, probe.rate());
}

struct Case {
    int mode;
    int chan0, chan1;
    std::array<int, 4> devA, devB;  // per port: 0 silent, 1 deck A, 2 deck B, 3 both
};

void PrintTo(const Case& c, std::ostream* os) { *os << "mode " << c.mode << " channels " << c.chan0 << c.chan1; }

class RoutingModesJack : public ::testing::TestWithParam<Case> {};

TEST_P(RoutingModesJack, TonesLandWhereTheModeRoutesThem)
{
    const Case c = GetParam();
    JackServer server;
    ASSERT_TRUE(server.startWhenFree());
    auto devAp = JackProbe::open("devA", 4, kCapture), devBp = JackProbe::open("devB", 4, kCapture);
    ASSERT_TRUE(devAp && devBp);
    JackProbe &devA = *devAp, &devB = *devBp;

    Rig rig(false);
    audiobase& e = *rig.engine;
    ASSERT_TRUE(listed(e, {"devA", "devB"}));
    EXPECT_EQ(e.listaasiooutcha[size_t(deviceIndex(e, "devA"))], 4);
    useJack(e, c.mode, "devA", "devB", c.chan0, c.chan1);
    rig.playtones();
    ASSERT_TRUE(e.initasio());
    e.setheadphones(true, 1);
    e.setheadphones(false, 2);
    e.desinitasio();  // the decks were playing before the outputs existed: they play on
    e.setheadphones(true, 1);
    e.setheadphones(false, 2);

    ASSERT_TRUE(capture(devA, devB, 16384));
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(probeTones(devA, p, 8192, 8192), c.devA[size_t(p)]) << "mode " << c.mode << " devA port " << p;
        EXPECT_EQ(probeTones(devB, p, 8192, 8192), c.devB[size_t(p)]) << "mode " << c.mode << " devB port " << p;
    }
    e.desinit();
}

INSTANTIATE_TEST_SUITE_P(
    Modes, RoutingModesJack,
    ::testing::Values(
        // deck A on the first channel, deck B on the second, whatever the choice
        Case{1, 2, 2, {1, 2, 0, 0}, {0, 0, 0, 0}},
        Case{2, 0, 1, {1, 1, 2, 2}, {0, 0, 0, 0}},
        Case{2, 1, 0, {2, 2, 1, 1}, {0, 0, 0, 0}},
        // master on one pair, deck A's cue on the other
        Case{3, 0, 1, {3, 3, 1, 1}, {0, 0, 0, 0}},
        Case{4, 0, 1, {3, 1, 0, 0}, {0, 0, 0, 0}},
        Case{4, 3, 2, {0, 0, 1, 3}, {0, 0, 0, 0}},
        Case{5, 0, 1, {1, 1, 0, 0}, {0, 0, 2, 2}},
        Case{6, 1, 0, {0, 0, 3, 3}, {1, 1, 0, 0}}),
    [](const ::testing::TestParamInfo<Case>& i) {
        return "Mode" + std::to_string(i.param.mode) + "_" + std::to_string(i.param.chan0) +
               std::to_string(i.param.chan1);
    });

// Around a device change: stopcargas silences the JACK outputs, the rebuild and playcargas
// bring them back with each deck in its state.
TEST(RoutingModesJack, StopRebuildAndPlayOnJack)
{
    JackServer server;
    ASSERT_TRUE(server.startWhenFree());
    auto devAp = JackProbe::open("devA", 4, kCapture), devBp = JackProbe::open("devB", 4, kCapture);
    ASSERT_TRUE(devAp && devBp);
    JackProbe &devA = *devAp, &devB = *devBp;
    Rig rig(false);
    audiobase& e = *rig.engine;
    ASSERT_TRUE(listed(e, {"devA"}));
    useJack(e, 3, "devA", "devA", 0, 1);
    ASSERT_TRUE(e.initasio());
    rig.playtones();
    rig.deck(2).Pause();
    e.setheadphones(true, 1);

    ASSERT_TRUE(e.stopcargas());
    EXPECT_EQ(e.mode1, 1);
    EXPECT_EQ(e.mode2, 2);
    ASSERT_TRUE(capture(devA, devB, 8192));
    EXPECT_EQ(probeTones(devA, 0, 0, 8192), 0);

    e.desinitasio();
    ASSERT_TRUE(e.playcargas());
    EXPECT_EQ(rig.deck(1).basseqfx->Fstatus, sPlay);
    EXPECT_EQ(rig.deck(2).basseqfx->Fstatus, sPause);
    ASSERT_TRUE(capture(devA, devB, 16384));
    EXPECT_EQ(probeTones(devA, 0, 8192, 8192), 1);  // the master: deck A alone, deck B paused
    EXPECT_EQ(probeTones(devA, 2, 8192, 8192), 1);  // deck A's cue
    e.desinit();
}

// The device check: how many pairs (or channels) a mode needs of the device it is given.
TEST(RoutingModesJack, DeviceChecksByChannelCount)
{
    JackServer server;
    ASSERT_TRUE(server.startWhenFree());
    JackProbe four("four", 4, kCapture), two("two", 2, kCapture), one("one", 1, kCapture);
    ASSERT_TRUE(four.ok() && two.ok() && one.ok());
    Rig rig(false);
    audiobase& e = *rig.engine;
    ASSERT_TRUE(listed(e, {"one"}));
    EXPECT_EQ(e.listaasiooutcha[size_t(deviceIndex(e, "two"))], 2);
    EXPECT_EQ(e.listaasiooutcha[size_t(deviceIndex(e, "one"))], 1);

    struct Check {
        const char* device;
        int mode, chan0, chan1;
        bool passes;
    };
    const Check checks[] = {
        {"four", 2, 0, 2, true},   // deck B on channels 5 + 6 of two pairs: passes, B is silent
        {"two", 2, 0, 2, false},   // ... of a single pair: fails
        {"two", 3, 0, 1, false},   // master and cue need two pairs
        {"four", 3, 0, 1, true},
        {"one", 4, 0, 0, true},    // one channel is enough for the single-channel modes
        {"one", 1, 0, 0, true},
        {"two", 5, 2, 0, false},   // both devices of mode 5 checked for the first row's pair
        {"four", 6, 1, 0, true},
    };
    for (const Check& c : checks) {
        useJack(e, c.mode, c.device, c.device, c.chan0, c.chan1);
        rig.box.calls.clear();
        EXPECT_EQ(e.initasio(), c.passes) << c.device << " mode " << c.mode;
        EXPECT_EQ(rig.box.calls.size(), c.passes ? 0u : 1u) << c.device << " mode " << c.mode;
    }
    e.desinit();
}

// A server at 48,000 Hz: the outputs run at its rate and the tones keep their pitch.
TEST(RoutingModesJack, AServerAtAnotherRate)
{
    JackServer server(48000);
    ASSERT_TRUE(server.startWhenFree());
    auto devAp = JackProbe::open("devA", 4, kCapture), devBp = JackProbe::open("devB", 4, kCapture);
    ASSERT_TRUE(devAp && devBp);
    Rig rig(false);
    audiobase& e = *rig.engine;
    ASSERT_TRUE(listed(e, {"devA"}));
    useJack(e, 3, "devA", "devA", 0, 1);
    ASSERT_TRUE(e.initasio());
    sound::StreamInfo info;
    ASSERT_TRUE(sound::getInfo(e.Master, info));
    EXPECT_EQ(info.rate, 48000);
    rig.playtones();
    e.setheadphones(true, 1);
    e.setheadphones(false, 2);
    ASSERT_EQ(devAp->rate(), 48000);
    ASSERT_TRUE(capture(*devAp, *devBp, 16384));
    EXPECT_EQ(probeTones(*devAp, 0, 8192, 8192), 3);
    EXPECT_EQ(probeTones(*devAp, 2, 8192, 8192), 1);
    e.desinit();
}

TEST(RoutingModesJack, WithoutServerTheListIsEmptyAndOutputFails)
{
    setenv("JACK_DEFAULT_SERVER", ("ostrel_none_" + std::to_string(getpid())).c_str(), 1);
    Rig rig(false);
    audiobase& e = *rig.engine;
    e.dameasio();
    EXPECT_TRUE(e.listaasio.empty());
    EXPECT_EQ(e.asiodevices, -1);
    e.soundcfg->devicemode = 0;
    for (int mode = 1; mode <= 6; ++mode) {
        rig.box.calls.clear();
        e.soundcfg->devicework = mode;
        EXPECT_FALSE(e.initasio()) << "mode " << mode;
        ASSERT_EQ(rig.box.calls.size(), 1u);
        EXPECT_EQ(rig.box.calls[0].caption, "Warning ");
        EXPECT_EQ(rig.box.calls[0].text, "Can't start JACK Output !  ");
    }
    EXPECT_EQ(e.fchangetimer, nullptr);
}

}  // namespace
