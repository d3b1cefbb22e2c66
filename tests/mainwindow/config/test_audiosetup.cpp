// The audio setup page, headless: the channel lists, the routing check's table, the mode and
// device handlers, the driver switch, the refresh and what OK stores.
#include <gtest/gtest.h>

#include "mainwindow/config/channellists.h"
#include "mainwindow/config/routingcheck.h"
#include "tests/mainwindow/config/dialogrig.h"

namespace {

using M = ConfigDialogModel;

TEST(AudioSetupChannels, ListsByChannelCount) {
    const QString p1 = "Channel 1 + 2 ", p2 = "Channel 3 + 4 ", p3 = "Channel 5 + 6 ";
    EXPECT_EQ(ChannelLists::pairs(0), QStringList());
    EXPECT_EQ(ChannelLists::pairs(1), QStringList());
    EXPECT_EQ(ChannelLists::pairs(2), QStringList({p1}));
    EXPECT_EQ(ChannelLists::pairs(4), QStringList({p1, p2}));
    EXPECT_EQ(ChannelLists::pairs(6), QStringList({p1, p2, p3}));
    EXPECT_EQ(ChannelLists::pairs(8), QStringList({p1, p2, p3}));
    EXPECT_EQ(ChannelLists::mono(true),
              QStringList({"Channel 1 (Mono Left) ", "Channel 2 (Mono Right) ", "Stereo (Left + Right) "}));
    EXPECT_EQ(ChannelLists::mono(false), QStringList({"Channel 1 (Mono Left) ", "Channel 2 (Mono Right) "}));
    EXPECT_EQ(ChannelLists::sampler(4), QStringList({p1, p2, "Both Deck A & Deck b ", "Not Assigned"}));
}

// ---- the routing check's table

struct RoutingCase {
    const char* name;
    RoutingInput in;
    bool ok;
    QString text;
    std::vector<int> rerun;
    int focus;
};

void PrintTo(const RoutingCase& c, std::ostream* os) {
    *os << c.name;
}

RoutingInput in(bool asio, int mode, int p1, int p2, int n1, int n2 = 0, int d1 = 0, int d2 = 0) {
    RoutingInput r;
    r.asio = asio;
    r.mode = mode;
    r.p1 = p1;
    r.p2 = p2;
    r.n1 = n1;
    r.n2 = n2;
    r.d1 = d1;
    r.d2 = d2;
    return r;
}

const QString kDeck = QString::fromLatin1(RoutingCheck::kSameDeckChannel),
              kFew = QString::fromLatin1(RoutingCheck::kNotEnough),
              kMaster = QString::fromLatin1(RoutingCheck::kSameMasterChannel),
              kDevice = QString::fromLatin1(RoutingCheck::kSameMasterDevice);

class RoutingCheckTable : public ::testing::TestWithParam<RoutingCase> {};

TEST_P(RoutingCheckTable, Decides) {
    const RoutingCase& c = GetParam();
    const RoutingResult r = RoutingCheck::check(c.in);
    EXPECT_EQ(r.ok, c.ok);
    if (c.ok) return;
    EXPECT_EQ(r.text, c.text);
    EXPECT_EQ(r.rerun, c.rerun);
    EXPECT_EQ(r.focus, c.focus);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoutingCheckTable,
    ::testing::Values(
        RoutingCase{"first run: ALSA mode 1, both decks on Stereo", in(false, 1, 2, 2, 2), true, {}, {}, 0},
        RoutingCase{
            "mode 1, one-channel device: both lists empty", in(false, 1, -1, -1, 1), false, kDeck, {1}, 2},
        RoutingCase{"mode 1, both on the left", in(true, 1, 0, 0, 2), false, kDeck, {1}, 2},
        RoutingCase{"mode 1, mono under stereo", in(false, 1, 0, 2, 2), true, {}, {}, 0},
        RoutingCase{"mode 2, deck B on pair 3 of 4 channels", in(false, 2, 0, 2, 4), false, kFew, {1}, 1},
        RoutingCase{"mode 2, fits", in(true, 2, 0, 2, 6), true, {}, {}, 0},
        RoutingCase{"mode 2, no device", in(false, 2, -1, -1, 0, 0, -1), false, kFew, {1}, 1},
        RoutingCase{"mode 3 JACK, same pair", in(true, 3, 1, 1, 6), false, kMaster, {}, 2},
        RoutingCase{"mode 3 ALSA, same pair", in(false, 3, 1, 1, 6), false, kMaster, {1}, 2},
        RoutingCase{"mode 3, too few", in(false, 3, 0, 1, 2), false, kFew, {1}, 1},
        RoutingCase{"mode 4 JACK, same channel", in(true, 4, 0, 0, 2), false, kFew, {1}, 2},
        RoutingCase{"mode 4 ALSA, same channel", in(false, 4, 1, 1, 2), false, kMaster, {1}, 2},
        RoutingCase{"mode 4 JACK, one channel", in(true, 4, 0, 1, 1), false, kFew, {}, 1},
        RoutingCase{"mode 4 ALSA, one channel", in(false, 4, 0, 1, 1), false, kFew, {1}, 1},
        RoutingCase{"mode 4, left and right", in(false, 4, 0, 1, 2), true, {}, {}, 0},
        RoutingCase{
            "mode 6 JACK, one device, one pair", in(true, 6, 0, 0, 4, 4, 1, 1), false, kDevice, {1, 2}, 2},
        RoutingCase{
            "mode 6 ALSA, one device, one pair", in(false, 6, 0, 0, 4, 4, 1, 1), false, kMaster, {1, 2}, 2},
        RoutingCase{"mode 6, two devices, one pair", in(true, 6, 0, 0, 4, 4, 1, 2), true, {}, {}, 0},
        RoutingCase{"mode 6, one device, two pairs", in(false, 6, 0, 1, 4, 4, 1, 1), true, {}, {}, 0},
        RoutingCase{"mode 5, counts 6 and 2, pairs 3 and 1", in(false, 5, 2, 0, 6, 2, 0, 1), true, {}, {}, 0},
        RoutingCase{
            "mode 5, counts 6 and 2, deck B on pair 2", in(false, 5, 2, 1, 6, 2, 0, 1), false, kFew, {2}, 2},
        RoutingCase{"mode 5, deck A's device too small", in(true, 5, 1, 0, 2, 4, 0, 1), false, kFew, {1}, 1},
        RoutingCase{"mode 5, no second device", in(false, 5, 0, -1, 2, 0, 0, -1), false, kFew, {2}, 2}),
    [](const ::testing::TestParamInfo<RoutingCase>& i) { return "case" + std::to_string(i.index); });

// ---- the page

// The device list of the rig's ALSA driver: "default" 2 channels, "USB Audio" 6, "USB Audio (2)" 2.
TEST(AudioSetupPageFill, ShowsTheStoredDriverModeAndChannels) {
    DialogRig rig;
    M& m = rig.open();
    AudioSetupPage& a = m.audio;
    EXPECT_TRUE(a.rdm2);
    EXPECT_FALSE(a.rdm1);
    EXPECT_EQ(a.oldrm1, 2);
    EXPECT_EQ(a.workmode, "ALSA Work Mode");
    EXPECT_EQ(a.dev[0].items, rig.engine.ds);
    EXPECT_EQ(a.dev[0].index, 0);
    EXPECT_EQ(a.mode, 1);
    EXPECT_EQ(a.titledc.text, "Single Channel External Mixer");
    EXPECT_EQ(a.cha[0].text(), "Stereo (Left + Right) ");
    EXPECT_EQ(a.cha[1].text(), "Stereo (Left + Right) ");
    EXPECT_FALSE(a.dev[1].visible);
    EXPECT_TRUE(a.compruebosalidas());
}

struct ModeRows {
    int mode;
    const char* lab3;
    const char* lab4;
    bool dev2, lab2;
    int cha1Count, cha2Count;
};

TEST(AudioSetupPageModes, RowsOfEachMode) {
    // ALSA, deck A on "USB Audio" (6 channels), deck B on "USB Audio (2)" (2)
    const ModeRows rows[] = {
        {1, "Deck A:", "Deck B:", false, false, 3, 3},
        {2, "Deck A:", "Deck B:", false, false, 3, 3},
        {3, "Master :", "Headphones:", false, false, 3, 3},
        {4, "Master :", "Headphones:", false, false, 2, 2},
        {5, "Deck A:", "Deck B:", true, true, 3, 1},
        {6, "Master:", "Headphones:", true, true, 3, 1},
    };
    for (const ModeRows& r : rows) {
        SCOPED_TRACE(r.mode);
        DialogRig rig;
        M& m = rig.open();
        AudioSetupPage& a = m.audio;
        a.chooseDevice(0, 1);
        a.dev[1].setIndex(2);
        a.rw1Click(r.mode);
        EXPECT_EQ(a.titledc.text, AudioSetupPage::modeCaption(r.mode));
        EXPECT_EQ(a.lab3.text, r.lab3);
        EXPECT_EQ(a.lab4.text, r.lab4);
        EXPECT_EQ(a.dev[1].visible, r.dev2);
        EXPECT_EQ(a.lab2.visible, r.lab2);
        EXPECT_FALSE(a.dev[2].visible);
        EXPECT_FALSE(a.cha[2].visible);
        EXPECT_FALSE(a.lab5.visible);
        EXPECT_EQ(a.cha[0].items.size(), r.cha1Count);
        EXPECT_EQ(a.cha[1].items.size(), r.cha2Count);
        EXPECT_EQ(a.cha[0].index, 0);
    }
}

TEST(AudioSetupPageModes, Mode5WithSixAndTwoChannels) {
    for (const bool jack : {false, true}) {
        SCOPED_TRACE(jack ? "JACK" : "ALSA");
        DialogRig rig;
        rig.engine.asioOut = {2, 6, 2};
        M& m = rig.open();
        AudioSetupPage& a = m.audio;
        if (jack) {
            rig.prompts.answers = {true};
            a.rdm1Click();
        }
        a.rw1Click(5);
        a.chooseDevice(0, 1);
        a.chooseDevice(1, 2);
        EXPECT_EQ(a.cha[0].items, ChannelLists::pairs(6));
        EXPECT_EQ(a.cha[1].items, QStringList{"Channel 1 + 2 "});
        a.chooseChannel(0, 2);
        EXPECT_EQ(a.cha[0].text(), "Channel 5 + 6 ");
        EXPECT_TRUE(a.compruebosalidas());
    }
}

TEST(AudioSetupPageModes, Mode6OneDeviceOnePairIsRefusedTwoDevicesAccepted) {
    DialogRig rig;
    M& m = rig.open();
    AudioSetupPage& a = m.audio;
    a.rw1Click(6);
    a.chooseDevice(0, 1);
    a.chooseDevice(1, 1);
    a.chooseChannel(0, 1);
    a.chooseChannel(1, 1);
    QString focused;
    QObject::connect(&m, &M::focusRequested, [&](const QString& n) { focused = n; });
    m.page = M::TabSheet3;
    EXPECT_FALSE(a.compruebosalidas());
    EXPECT_EQ(rig.prompts.warned.back(), RoutingCheck::kSameMasterChannel);
    EXPECT_EQ(m.page, M::TabSheet1);
    EXPECT_EQ(focused, "cha2");
    // the handlers ran again and the choices stayed
    EXPECT_EQ(a.cha[0].index, 1);
    EXPECT_EQ(a.cha[1].index, 1);

    a.chooseDevice(1, 2); // a 2-channel device: pair 1 gone
    EXPECT_EQ(a.cha[1].index, 0);
    a.chooseChannel(1, 0);
    a.chooseChannel(0, 0);
    EXPECT_TRUE(a.compruebosalidas());
}

TEST(AudioSetupPageModes, OneChannelDeviceInMode1) {
    DialogRig rig;
    rig.engine.dsOut = {1, 6, 2};
    M& m = rig.open();
    AudioSetupPage& a = m.audio;
    EXPECT_TRUE(a.cha[0].items.isEmpty());
    EXPECT_EQ(a.cha[0].index, -1);
    EXPECT_EQ(a.cha[1].index, -1);
    EXPECT_FALSE(a.compruebosalidas());
    EXPECT_EQ(rig.prompts.warned.back(), RoutingCheck::kSameDeckChannel);
}

TEST(AudioSetupPageModes, AlsaMode1StereoFollows) {
    DialogRig rig;
    rig.engine.cfg.dschan[0] = 0;
    rig.engine.cfg.dschan[1] = 1;
    M& m = rig.open();
    AudioSetupPage& a = m.audio;
    a.chooseChannel(0, 2);
    EXPECT_EQ(a.cha[1].index, 2);
    a.chooseChannel(1, 0);
    EXPECT_EQ(a.cha[0].index, 2);
    EXPECT_EQ(a.cha[1].index, 0);
    EXPECT_TRUE(a.compruebosalidas());
}

TEST(AudioSetupDriverSwitch, ConfirmedSwitchStopsTheDecksAndListsTheOtherDriver) {
    DialogRig rig;
    M& m = rig.open();
    AudioSetupPage& a = m.audio;
    a.Label67Click(); // "     JACK"
    ASSERT_TRUE(rig.prompts.waiting);
    EXPECT_TRUE(a.rdm1);
    rig.prompts.answer(true);
    EXPECT_EQ(rig.engine.stops, 1);
    EXPECT_EQ(rig.engine.cfg.devicemode, 0);
    EXPECT_TRUE(a.rdm1);
    EXPECT_FALSE(a.rdm2);
    EXPECT_EQ(a.oldrm1, 1);
    EXPECT_EQ(a.workmode, "JACK Work Mode");
    EXPECT_EQ(a.dev[0].items, rig.engine.asio);
    for (const Selector& d : a.dev)
        EXPECT_EQ(d.index, 1);

    // back to ALSA: the decks are already stopped
    rig.prompts.answers = {true};
    a.Label68Click();
    EXPECT_EQ(rig.engine.stops, 1);
    EXPECT_EQ(rig.engine.cfg.devicemode, 1);
    EXPECT_EQ(a.workmode, "ALSA Work Mode");
}

TEST(AudioSetupDriverSwitch, OneDeviceLeavesNoSelection) {
    DialogRig rig;
    rig.engine.asio = {QStringLiteral("system")};
    rig.engine.asioOut = {2};
    M& m = rig.open();
    rig.prompts.answers = {true};
    m.audio.rdm1Click();
    for (const Selector& d : m.audio.dev)
        EXPECT_EQ(d.index, -1);
    EXPECT_FALSE(m.ok());
    EXPECT_EQ(rig.prompts.warned.size(), 1u);
}

TEST(AudioSetupDriverSwitch, JackNamesStoredAtOk) {
    DialogRig rig;
    M& m = rig.open();
    rig.prompts.answers = {true};
    m.audio.rdm1Click();
    m.audio.rw1Click(5);
    m.audio.chooseDevice(0, 1);
    m.audio.chooseDevice(1, 2);
    m.audio.chooseChannel(1, 1);
    ASSERT_TRUE(m.ok());
    const PSoundConfig& c = rig.engine.cfg;
    EXPECT_EQ(c.devicemode, 0);
    EXPECT_EQ(c.devicework, 5);
    EXPECT_EQ(c.asnum[0], 1);
    EXPECT_EQ(c.asnum[1], 2);
    EXPECT_EQ(c.asname[0], QStringLiteral("devA"));
    EXPECT_EQ(c.asname[1], QStringLiteral("devB"));
    EXPECT_EQ(c.asname[2], QStringLiteral("-"));
    EXPECT_EQ(c.asname[3], QStringLiteral("-"));
    EXPECT_EQ(c.aschan[1], 1);
    // the ALSA choices stay as they were
    EXPECT_EQ(c.dsname[0], QStringLiteral("-"));
    EXPECT_EQ(c.dsnum[0], 0);
}

TEST(AudioSetupDriverSwitch, AlsaRowsHiddenAreStoredAsNone) {
    DialogRig rig;
    rig.engine.cfg.dsnum[1] = 2;
    rig.engine.cfg.dsname[1] = QStringLiteral("USB Audio (2)");
    M& m = rig.open();
    m.audio.rw1Click(3);
    m.audio.chooseDevice(0, 1);
    m.audio.chooseChannel(1, 2);
    ASSERT_TRUE(m.ok());
    const PSoundConfig& c = rig.engine.cfg;
    EXPECT_EQ(c.devicework, 3);
    EXPECT_EQ(c.dsnum[0], 1);
    EXPECT_EQ(c.dsname[0], QStringLiteral("USB Audio"));
    EXPECT_EQ(c.dsnum[1], -1);
    EXPECT_EQ(c.dsname[1], QStringLiteral("-"));
    EXPECT_EQ(c.dschan[0], 0);
    EXPECT_EQ(c.dschan[1], 2);
}

TEST(AudioSetupRefresh, RebuildsTheListsFromTheNewCounts) {
    DialogRig rig;
    rig.engine.cfg.devicework = 3;
    rig.engine.cfg.dsnum[0] = 1;
    rig.engine.cfg.dschan[0] = 0;
    rig.engine.cfg.dschan[1] = 2;
    M& m = rig.open();
    EXPECT_EQ(m.audio.cha[1].text(), "Channel 5 + 6 ");
    std::vector<bool> busy;
    QObject::connect(&m, &M::busy, [&](bool b) { busy.push_back(b); });
    rig.engine.onRead = [&] { rig.engine.dsOut = {2, 4, 2}; }; // the card now shows four channels
    rig.prompts.answers = {true};
    m.audio.JvHTButton4Click();
    EXPECT_EQ(rig.prompts.asked.back(), " This action will stop the music. Do you want to continue? ");
    EXPECT_EQ(rig.engine.stops, 1);
    EXPECT_EQ(rig.engine.dsReads, 1);
    EXPECT_EQ(rig.engine.asioReads, 1);
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
    EXPECT_EQ(m.audio.cha[0].items.size(), 2);
    EXPECT_EQ(m.audio.cha[1].index, -1);
    EXPECT_FALSE(m.ok());

    // No does nothing
    rig.prompts.answers = {false};
    m.audio.JvHTButton4Click();
    EXPECT_EQ(rig.engine.dsReads, 1);
}

} // namespace
