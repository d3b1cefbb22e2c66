// The six routing modes on ALSA ("DirectSound" driver mode), through file PCMs that capture
// every sample: four-channel PCMs (pairs 1 and 2), and two-channel ones where a pair the
// device lacks must stay silent. Deck A plays one tone, deck B another, the cue of deck A is
// on; which channel of which device carries which tone is checked against the routing table.
// Device lists and the tear-down and rebuild around a device change are checked on the same
// PCMs.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/support/alsafilepcms.h"
#include "tests/engine/engine/decksheard.h"
#include "tests/engine/engine/enginerig.h"

using namespace enginerig;

namespace {

constexpr size_t kSkip = 8192, kWindow = 8192;

int listIndex(const audiobase& e, const QString& name)
{
    for (size_t i = 1; i < e.listads.size(); ++i)
        if (e.listads[i] == name) return int(i);
    return -1;
}

// The first frame of a capture of `channels` where anything sounds; -1 when all is silent.
long firstSound(const std::vector<float>& s, int channels)
{
    for (size_t i = 0; i < s.size(); ++i)
        if (std::abs(s[i]) > 0.01f) return long(i / size_t(channels));
    return -1;
}

using Heard = std::array<int, 4>;  // per channel: 0 silent, 1 deck A, 2 deck B, 3 both

// Tones per channel heard anywhere in a capture. Two unpaced devices run at their own speeds,
// so a bus crossing from one to the other arrives in bursts: look at every window, not at one.
Heard captured(const AlsaFilePcms& pcms, const QString& name, qint64 fromBytes = 0)
{
    const int chans = pcms.channels();
    const size_t frameBytes = sizeof(float) * size_t(chans);
    std::vector<float> s = pcms.samples(name, fromBytes + (32 << 20) * chans);
    s.erase(s.begin(), s.begin() + std::min<std::ptrdiff_t>(std::ptrdiff_t(size_t(fromBytes) / frameBytes) * chans,
                                                            std::ptrdiff_t(s.size())));
    const size_t frames = s.size() / size_t(chans);
    const long first = firstSound(s, chans);
    if (first < 0) return {0, 0, 0, 0};
    if (size_t(first) + kSkip + kWindow > frames) return {-1, -1, -1, -1};
    Heard t{0, 0, 0, 0};
    for (size_t at = size_t(first); at + kWindow <= frames; at += kWindow)
        for (int ch = 0; ch < chans; ++ch) t[size_t(ch)] |= tones(s, chans, ch, at, kWindow);
    return t;
}

// Unpaced outputs: wait until each named capture holds enough frames past its first sound.
void waitForSound(const AlsaFilePcms& pcms, const QStringList& names, qint64 past)
{
    const qint64 enough = qint64(4 << 20) * pcms.channels();
    for (int i = 0; i < 2000; ++i) {
        bool all = true;
        for (const QString& n : names) all = all && pcms.size(n) > past + enough;
        if (all) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

struct Case {
    int mode;
    int chan0, chan1;
    Heard one, two;               // what each channel of the first and second PCM carries
    bool oneDevice = false;       // rows 0 and 1 name the same device
    int channels = 4;             // of each PCM
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << "mode " << c.mode << " channels " << c.chan0 << c.chan1 << " on " << c.channels;
}

class RoutingModesAlsa : public ::testing::TestWithParam<Case> {};

TEST_P(RoutingModesAlsa, TonesLandWhereTheModeRoutesThem)
{
    const Case c = GetParam();
    AlsaFilePcms pcms({"ostrel_one", "ostrel_two"}, c.channels);
    Rig rig(false);
    audiobase& e = *rig.engine;
    e.dameds();
    const int one = listIndex(e, "ostrel_one"), two = listIndex(e, "ostrel_two");
    ASSERT_GT(one, 0);
    ASSERT_GT(two, 0);
    ASSERT_EQ(e.listadsoutcha[size_t(one)], c.channels);

    PSoundConfig& cfg = *e.soundcfg;
    cfg.devicemode = 1;
    cfg.devicework = c.mode;
    cfg.dsnum[0] = one - 1;
    cfg.dsnum[1] = (c.oneDevice ? one : two) - 1;
    cfg.dsnum[2] = two - 1;
    cfg.dschan[0] = c.chan0;
    cfg.dschan[1] = c.chan1;
    cfg.dschan[2] = 0;
    // the decks play before the outputs are rebuilt, and play on through them; the outputs
    // are unpaced, the tones long
    rig.playtones(90);
    e.setheadphones(true, 1);
    e.setheadphones(false, 2);
    e.desinitds();
    e.setheadphones(true, 1);
    e.setheadphones(false, 2);
    // what the devices took before the cue was set is left out
    const qint64 from1 = pcms.size("ostrel_one") + (256 << 10), from2 = pcms.size("ostrel_two") + (256 << 10);
    waitForSound(pcms, {"ostrel_one"}, from1);
    if (c.two != Heard{0, 0, 0, 0}) waitForSound(pcms, {"ostrel_two"}, from2);
    // a bus between two clocks never grows past its ring
    for (sound::Handle bus : {chanheadphones.load(), chanheadphones2.load()})
        EXPECT_LE(sound::pushQueued(bus), kBusRate / 5);
    e.stopcargas();

    EXPECT_EQ(captured(pcms, "ostrel_one", from1), c.one);
    EXPECT_EQ(captured(pcms, "ostrel_two", from2), c.two);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, RoutingModesAlsa,
    ::testing::Values(
        // single channel: a pan to the left or right channel of the first pair
        Case{1, 0, 1, {1, 2, 0, 0}, {}},
        Case{1, 1, 0, {2, 1, 0, 0}, {}},
        // each deck on its pair; channels 5 + 6 are not there on four, 3 + 4 not on two
        Case{2, 0, 1, {1, 1, 2, 2}, {}},
        Case{2, 1, 0, {2, 2, 1, 1}, {}},
        Case{2, 0, 2, {1, 1, 0, 0}, {}},
        Case{2, 0, 1, {1, 1, 0, 0}, {}, false, 2},
        Case{2, 1, 0, {2, 2, 0, 0}, {}, false, 2},
        // the master on one pair, the cue (deck A) on the other or mixed into the same
        Case{3, 0, 1, {3, 3, 1, 1}, {}},
        Case{3, 1, 0, {1, 1, 3, 3}, {}},
        Case{3, 0, 0, {3, 3, 0, 0}, {}},
        Case{3, 0, 1, {3, 3, 0, 0}, {}, false, 2},
        Case{4, 0, 1, {3, 1, 0, 0}, {}},
        Case{4, 1, 2, {1, 3, 0, 0}, {}},
        Case{5, 0, 0, {1, 1, 0, 0}, {2, 2, 0, 0}},
        Case{5, 1, 1, {0, 0, 1, 1}, {0, 0, 2, 2}},
        Case{5, 1, 0, {2, 2, 1, 1}, {}, true},  // one device in both rows plays both decks
        Case{5, 0, 0, {3, 3, 0, 0}, {}, true, 2},
        Case{6, 0, 0, {3, 3, 0, 0}, {1, 1, 0, 0}},
        Case{6, 1, 1, {0, 0, 3, 3}, {0, 0, 1, 1}}),
    [](const ::testing::TestParamInfo<Case>& i) {
        return "Mode" + std::to_string(i.param.mode) + "_" + std::to_string(i.param.chan0) +
               std::to_string(i.param.chan1) + "_of" + std::to_string(i.param.channels) +
               (i.param.oneDevice ? "_oneDevice" : "");
    });

TEST(RoutingModesAlsaLists, DevicesAreListedByNumberWithTheirChannels)
{
    AlsaFilePcms pcms({"ostrel_one", "ostrel_two"}, 6);
    Rig rig(false);
    audiobase& e = *rig.engine;
    e.dameds();
    ASSERT_GE(e.dsdevices, 3);
    ASSERT_EQ(e.listads.size(), size_t(e.dsdevices) + 1);
    EXPECT_TRUE(e.listads[0].isEmpty());
    EXPECT_EQ(e.listads[1], "default");
    ASSERT_GT(listIndex(e, "ostrel_one"), 0);
    ASSERT_GT(listIndex(e, "ostrel_two"), 0);
    for (int i = 1; i <= e.dsdevices; ++i) EXPECT_GT(e.listadsoutcha[size_t(i)], 0) << i;
    // a PCM that takes any channel count is as wide as the speakers it declares, else stereo
    EXPECT_EQ(e.listadsoutcha[1], 2);
    EXPECT_EQ(e.listadsoutcha[size_t(listIndex(e, "ostrel_one"))], 6);
    EXPECT_EQ(e.listadsoutcha[size_t(listIndex(e, "ostrel_two"))], 6);
    // a second reading gives the same list, without suffixes
    const std::vector<QString> first = e.listads;
    e.dameds();
    EXPECT_EQ(e.listads, first);
}

// stopcargas tears the outputs down remembering each deck's state; playcargas brings the
// outputs back and returns each deck to it.
TEST(RoutingModesAlsaLists, StopAndPlayReturnEachDeckToItsState)
{
    AlsaFilePcms pcms({"ostrel_one"});
    Rig rig(false);
    audiobase& e = *rig.engine;
    e.dameds();
    PSoundConfig& cfg = *e.soundcfg;
    cfg.devicemode = 1;
    cfg.devicework = 3;
    cfg.dsnum[0] = listIndex(e, "ostrel_one") - 1;
    rig.load(3, rig.tone("s.wav", 700, 2));
    ASSERT_TRUE(e.initds());
    // the device runs unpaced: stop it right after the decks start, before they run out
    rig.playtones();
    rig.deck(3).Play();
    rig.deck(3).Pause();
    // deck 4 stays empty

    ASSERT_TRUE(e.stopcargas());
    EXPECT_TRUE(e.stoppedcarga);
    EXPECT_EQ(e.mode1, 1);
    EXPECT_EQ(e.mode2, 1);
    EXPECT_EQ(e.mode3, 2);
    EXPECT_EQ(e.mode4, 3);
    EXPECT_EQ(sound::mixerOf(rig.deck(1).Mixer), 0u);
    EXPECT_EQ(sound::mixerOf(chanheadphones), 0u);
    const qint64 stopped = pcms.size("ostrel_one");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(pcms.size("ostrel_one"), stopped);

    e.desinitds();
    ASSERT_TRUE(e.playcargas());
    EXPECT_FALSE(e.stoppedcarga);
    EXPECT_FALSE(e.playcargas());
    EXPECT_EQ(rig.deck(1).basseqfx->Fstatus, sPlay);
    EXPECT_EQ(sound::mixerOf(rig.deck(1).Mixer), e.Master.load());
    EXPECT_EQ(sound::mixerOf(rig.deck(2).Mixer), e.Master.load());
    EXPECT_EQ(rig.deck(3).basseqfx->Fstatus, sPause);
    EXPECT_EQ(sound::mixerOf(rig.deck(3).Mixer), 0u);
    EXPECT_EQ(sound::mixerOf(chanheadphones), e.headphones.load());
    EXPECT_EQ(sound::mixerOf(changrabacion), e.Grabacion.load());
    // and the master sounds again on the device with both decks; they go back to their starts
    // first, since the unpaced device may have played them through by now
    const qint64 before = pcms.size("ostrel_one");
    for (int n = 1; n <= 2; ++n)
        rig.deck(n).SetPosition(0);
    EXPECT_EQ(alsaDecksHeard(pcms, "ostrel_one", before), 3);
    e.stopcargas();
}

// The decks run on an unpaced device, the recorder on the no-sound clock: the recording buses
// cross clocks, stay bounded, and the file holds the mix.
TEST(RoutingModesAlsaLists, RecordingAcrossClocks)
{
    AlsaFilePcms pcms({"ostrel_one"});
    Rig rig(false);
    audiobase& e = *rig.engine;
    e.dameds();
    PSoundConfig& cfg = *e.soundcfg;
    cfg.devicemode = 1;
    cfg.devicework = 3;
    cfg.dsnum[0] = listIndex(e, "ostrel_one") - 1;
    ASSERT_TRUE(e.initds());
    rig.playtones();
    const QString file = rig.dir.filePath("rec.wav");
    e.graba(file, 1);
    ASSERT_TRUE(e.grabando);
    for (int i = 0; i < 1000 && sound::getPosition(e.Grabacion) < 4 * 44100 * 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        for (sound::Handle bus : {changrabacion.load(), changrabacion2.load()})
            EXPECT_LE(sound::pushQueued(bus), kBusRate / 5);
    }
    e.graba(QString(), 0);
    e.stopcargas();
    const sound::Handle dec = sound::openFile(file.toStdString(), sound::Decode | sound::FloatOut);
    ASSERT_NE(dec, 0u);
    sound::StreamInfo info;
    ASSERT_TRUE(sound::getInfo(dec, info));
    EXPECT_EQ(info.rate, 44100);
    EXPECT_GE(sound::getLength(dec), 4 * 44100 * 2 - 4 * 4096);
    // the unpaced decks run through their tones long before the recorder has taken two
    // seconds: the mix is at the start
    std::vector<float> s(size_t(65536) * 2);
    ASSERT_EQ(sound::getData(dec, s.data(), int(s.size() * sizeof(float))), int(s.size() * sizeof(float)));
    int heard = 0;
    for (size_t at = 0; at + 4096 <= 65536; at += 4096) heard |= tones(s, 2, 0, at, 4096);
    EXPECT_EQ(heard, 3);
    sound::freeStream(dec);
}

// On a first start no device is chosen: a row that cannot open fails the set-up (the
// configuration dialog opens at the first activation) without a box that names no device.
TEST(RoutingModesAlsaLists, NoDeviceChosenFailsTheSetUpWithoutAMessage)
{
    // a profile written before any choice holds "-"
    for (const QString& none : {QString(), QStringLiteral("-")}) {
        Rig rig(false);
        audiobase& e = *rig.engine;
        e.dameds();
        PSoundConfig& cfg = *e.soundcfg;
        cfg.devicemode = 1;
        cfg.devicework = 1;
        cfg.dsnum[0] = int(e.listads.size()) + 40;  // no such card
        cfg.dsname[0] = none;
        EXPECT_FALSE(e.initds()) << "name '" << none.toStdString() << "'";
        EXPECT_TRUE(rig.messages.isEmpty()) << rig.messages.join(QLatin1Char('|')).toStdString();
    }
}

// A device of a row that cannot open makes the set-up fail, named in the engine's message by
// its stored name; the other row's output still plays.
TEST(RoutingModesAlsaLists, ADeviceThatCannotOpenFailsTheSetUpAndTheOtherRowPlays)
{
    AlsaFilePcms pcms({"ostrel_one"});
    Rig rig(false);
    audiobase& e = *rig.engine;
    e.dameds();
    PSoundConfig& cfg = *e.soundcfg;
    cfg.devicemode = 1;
    cfg.devicework = 6;  // master on row 0, cue on row 1
    cfg.dsnum[0] = listIndex(e, "ostrel_one") - 1;
    cfg.dsname[0] = QStringLiteral("ostrel_one");
    cfg.dsnum[1] = int(e.listads.size()) + 40;  // no such card
    cfg.dsname[1] = QStringLiteral("Gone Card");
    EXPECT_FALSE(e.initds());
    ASSERT_EQ(rig.messages.size(), 1);
    EXPECT_TRUE(rig.messages[0].contains(QStringLiteral("Gone Card"))) << rig.messages[0].toStdString();
    rig.playtones();
    const qint64 before = pcms.size("ostrel_one");
    for (int i = 0; i < 1000 && pcms.size("ostrel_one") < before + (1 << 20); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    e.stopcargas();
    const std::vector<float> s = pcms.samples("ostrel_one", 256 << 20);
    const long first = firstSound(s, 2);
    ASSERT_GE(first, 0) << "the master row plays";
    ASSERT_GT(s.size() / 2, size_t(first) + kWindow);
    // the unpaced decks join one after the other: both tones somewhere after the first sound
    int heard = 0;
    for (size_t at = size_t(first); at + kWindow <= s.size() / 2; at += kWindow) heard |= tones(s, 2, 0, at, kWindow);
    EXPECT_EQ(heard, 3);
}

}  // namespace
