// The configuration dialog's frame and plain-value pages, headless: OK with nothing touched,
// CANCEL, the checks that keep OK from storing anything, the pending choices of the next dialog,
// the automix, samples, performance, recording and skin pages.
#include <gtest/gtest.h>

#include "mainwindow/config/routingcheck.h"
#include "tests/mainwindow/config/dialogrig.h"

namespace {

using M = ConfigDialogModel;

TEST(ConfigDialog, OkWithNothingTouchedStoresTheSameConfiguration) {
    for (const bool jack : {false, true}) {
        SCOPED_TRACE(jack ? "JACK" : "ALSA");
        DialogRig rig;
        rig.settled();
        PSoundConfig& c = rig.engine.cfg;
        if (jack) {
            c.devicemode = 0;
            c.devicework = 6;
            c.asnum[0] = 1;
            c.asnum[1] = 2;
            c.asnum[2] = 0;
            c.aschan[0] = 1;
            c.aschan[1] = 0;
            c.aschan[2] = 0;
            c.asname[0] = QStringLiteral("devA");
            c.asname[1] = QStringLiteral("devB");
        }
        rig.row.write(c);
        rig.row.read(c);
        const QStringList before = storedFields(c);
        ASSERT_TRUE(rig.open().ok());
        EXPECT_TRUE(rig.prompts.warned.empty());
        EXPECT_EQ(storedFields(c), before);
        rig.row.write(c);
        PSoundConfig back;
        rig.row.read(back);
        EXPECT_EQ(storedFields(back), before);
    }
}

TEST(ConfigDialog, CancelKeepsEverythingButAConfirmedDriverSwitch) {
    DialogRig rig;
    rig.settled();
    const QStringList before = storedFields(rig.engine.cfg);
    M& m = rig.open();
    // touch every page
    m.settings.auto1 = QStringLiteral("30");
    m.settings.JvHTButton3Click(3);
    m.settings.cbrake.setIndex(2);
    m.settings.bend.setIndex(0);
    m.settings.performance = 2;
    m.settings.updatescom.setIndex(0);
    m.audio.rw1Click(3);
    rig.prompts.answers = {true};
    m.audio.rdm1Click();
    ASSERT_EQ(rig.engine.cfg.devicemode, 0);
    m.cancel();
    m.closed();

    QStringList after = storedFields(rig.engine.cfg);
    QStringList expected = before;
    expected.replaceInStrings(QStringLiteral("devicemode=1"), QStringLiteral("devicemode=0"));
    EXPECT_EQ(after, expected);
    EXPECT_EQ(rig.engine.stops, 1);
}

TEST(ConfigDialog, ARefusedDriverSwitchChangesNothing) {
    DialogRig rig;
    M& m = rig.open();
    m.audio.rdm1Click();
    ASSERT_EQ(rig.prompts.asked.size(), 1u);
    EXPECT_EQ(rig.prompts.asked[0], " This action will stop the music. Do you want to continue?");
    rig.prompts.answer(false);
    EXPECT_TRUE(m.audio.rdm2);
    EXPECT_FALSE(m.audio.rdm1);
    EXPECT_EQ(m.audio.oldrm1, 2);
    EXPECT_EQ(rig.engine.cfg.devicemode, 1);
    EXPECT_EQ(rig.engine.stops, 0);
    // the switch of the driver in use asks nothing
    m.audio.rdm2Click();
    EXPECT_EQ(rig.prompts.asked.size(), 1u);
    EXPECT_TRUE(m.audio.rdm2);
}

// A fade time that is not a whole number of 0 or more stores nothing at all.
TEST(ConfigDialog, ABadFadeTimeStoresNothing) {
    for (const char* bad : {"-1", "1.5", "x", "", "99999999999"}) {
        for (int box = 1; box <= 2; ++box) {
            SCOPED_TRACE(std::string(bad) + " in auto" + std::to_string(box));
            DialogRig rig;
            rig.settled();
            const QStringList before = storedFields(rig.engine.cfg);
            M& m = rig.open();
            m.settings.JvHTButton3Click(1); // a sample that OK would store first
            m.settings.cbrake.setIndex(0);
            (box == 1 ? m.settings.auto1 : m.settings.auto2) = QString::fromUtf8(bad);
            QString focused;
            QObject::connect(&m, &M::focusRequested, [&](const QString& n) { focused = n; });
            EXPECT_FALSE(m.ok());
            EXPECT_EQ(storedFields(rig.engine.cfg), before);
            ASSERT_EQ(rig.prompts.warned.size(), 1u);
            EXPECT_TRUE(rig.prompts.warned[0].startsWith(box == 1 ? "Down volume" : "Launch song"));
            EXPECT_EQ(m.page, M::TabSheet6);
            EXPECT_EQ(focused, box == 1 ? "auto1" : "auto2");
        }
    }
}

TEST(ConfigDialog, FadeTimesAboveSixtyAndZeroAreStored) {
    DialogRig rig;
    M& m = rig.open();
    m.settings.auto1 = QStringLiteral("75");
    m.settings.auto2 = QStringLiteral(" 0 ");
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(rig.engine.cfg.dr, 75);
    EXPECT_EQ(rig.engine.cfg.lr, 0);
}

TEST(ConfigDialog, AFailedRoutingCheckStoresNothing) {
    DialogRig rig;
    rig.settled();
    const QStringList before = storedFields(rig.engine.cfg);
    M& m = rig.open();
    m.settings.auto1 = QStringLiteral("20");
    m.audio.rw1Click(3);
    m.audio.chooseChannel(1, 0); // headphones on the master's pair
    ASSERT_EQ(m.audio.cha[0].index, 0);
    EXPECT_FALSE(m.ok());
    EXPECT_EQ(storedFields(rig.engine.cfg), before);
    ASSERT_EQ(rig.prompts.warned.size(), 1u);
    EXPECT_EQ(rig.prompts.warned[0], RoutingCheck::kSameMasterChannel);
    EXPECT_EQ(m.page, M::TabSheet1);
}

TEST(ConfigDialog, AShownSelectorWithoutAChoiceStoresNothing) {
    DialogRig rig;
    rig.settled();
    // mode 2 on a 6-channel card with deck B's pair gone since the last refresh
    rig.engine.cfg.devicework = 2;
    rig.engine.cfg.dsnum[0] = 1;
    rig.engine.cfg.dsname[0] = QStringLiteral("USB Audio");
    rig.engine.cfg.dschan[0] = 0;
    rig.engine.cfg.dschan[1] = 5;
    const QStringList before = storedFields(rig.engine.cfg);
    M& m = rig.open();
    ASSERT_EQ(m.audio.cha[1].index, -1);
    QString focused;
    QObject::connect(&m, &M::focusRequested, [&](const QString& n) { focused = n; });
    EXPECT_FALSE(m.ok());
    EXPECT_EQ(storedFields(rig.engine.cfg), before);
    ASSERT_EQ(rig.prompts.warned.size(), 1u);
    EXPECT_EQ(rig.prompts.warned[0], "No channel selected for Deck B.");
    EXPECT_EQ(focused, "cha2");
    m.audio.chooseChannel(1, 2);
    EXPECT_TRUE(m.ok());
    EXPECT_EQ(rig.engine.cfg.dschan[1], 2);
}

TEST(ConfigDialog, MainLoopPausedFromCreationUntilClosed) {
    DialogRig rig;
    M& m = rig.open();
    EXPECT_FALSE(rig.services.mainRunning());
    m.cancel();
    EXPECT_FALSE(rig.services.mainRunning());
    m.closed();
    EXPECT_TRUE(rig.services.mainRunning());
    EXPECT_EQ(rig.services.calls.front(), false);
}

TEST(ConfigDialog, OkClosesOnlyWhenEverythingIsStored) {
    DialogRig rig;
    M& m = rig.open();
    std::vector<bool> closes;
    QObject::connect(&m, &M::closeRequested, [&](bool a) { closes.push_back(a); });
    m.settings.auto2 = QStringLiteral("x");
    m.ok();
    EXPECT_TRUE(closes.empty());
    m.settings.auto2 = QStringLiteral("12");
    m.ok();
    m.cancel();
    EXPECT_EQ(closes, (std::vector<bool>{true, false}));
}

// ---- the plain-value pages

TEST(ConfigDialog, PitchRangeOutsideTheListIsShownAndStoredAsItStands) {
    for (int stored : {0, 20, 12}) {
        SCOPED_TRACE(stored);
        DialogRig rig;
        rig.engine.cfg.pitch = stored;
        M& m = rig.open();
        EXPECT_EQ(m.settings.bend.text(), QString::number(stored));
        ASSERT_TRUE(m.ok());
        EXPECT_EQ(rig.engine.cfg.pitch, stored);
    }
}

TEST(ConfigDialog, BrakeTimeShownIsTheStoredOne) {
    const std::pair<int, QString> cases[] = {{5, "5"}, {10, "10"}, {15, "15"}, {7, "10"}};
    for (const auto& [stored, shown] : cases) {
        DialogRig rig;
        rig.engine.cfg.brake = stored;
        M& m = rig.open();
        EXPECT_EQ(m.settings.cbrake.text(), shown);
        ASSERT_TRUE(m.ok());
        EXPECT_EQ(rig.engine.cfg.brake, shown.toInt());
    }
}

TEST(ConfigDialog, SamplesXxxRule) {
    DialogRig rig;
    // all six unset: the default files are shown, and OK stores them
    M& m = rig.open();
    for (int row = 1; row <= 6; ++row)
        EXPECT_EQ(m.settings.s[size_t(row - 1)], SettingsPages::defaultSample(rig.profile.path(), row));
    EXPECT_TRUE(m.settings.s[0].endsWith("Samples/ALARM 1.mp3"));
    EXPECT_TRUE(m.settings.s[5].endsWith("Samples/THRILL 2.mp3"));

    // delete sample 3 and pick a file for sample 1: OK stores "xxx" for 3
    m.settings.JvHTButton3Click(3);
    m.settings.jb1Click(1, QStringLiteral("/music/kick.wav"));
    m.settings.jb1Click(2, QString()); // the file dialog cancelled
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(rig.engine.cfg.s1, QStringLiteral("/music/kick.wav"));
    EXPECT_TRUE(rig.engine.cfg.s2.get().endsWith("ALARM 2.mp3"));
    EXPECT_EQ(rig.engine.cfg.s3, QStringLiteral("xxx"));

    // one unset slot among set ones is shown empty, the others as stored
    M& again = rig.open();
    EXPECT_EQ(again.settings.s[2], QString());
    EXPECT_EQ(again.settings.s[0], QStringLiteral("/music/kick.wav"));
}

TEST(ConfigDialog, UpdateCheckChoiceIsStored) {
    DialogRig rig;
    M& m = rig.open();
    EXPECT_EQ(m.settings.updatescom.text(), "Yes");
    m.settings.updatescom.setIndex(0);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(rig.engine.cfg.micout, 0);
    M& again = rig.open();
    EXPECT_EQ(again.settings.updatescom.text(), "No");
}

TEST(ConfigDialog, PerformanceRecordingAndKeylockAtOk) {
    DialogRig rig;
    rig.engine.cfg.com = 7;
    rig.engine.cfg.usekeylock = false;
    rig.engine.rec_ds = 1;
    M& m = rig.open();
    EXPECT_EQ(m.settings.performance, 0);
    EXPECT_EQ(m.settings.ComboBox2.text(), "Line");
    EXPECT_EQ(m.settings.keylockonoff.text(), "No");
    m.settings.performance = 1;
    m.settings.record_sel.setIndex(0);
    m.settings.ComboBox2.setIndex(0);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(rig.engine.cfg.com, 1);
    EXPECT_TRUE(rig.engine.cfg.usekeylock);
    EXPECT_FALSE(rig.engine.cfg.recinternal);
    EXPECT_EQ(rig.engine.cfg.recnum, 0);
    EXPECT_EQ(rig.engine.rec_ds, 0);
}

TEST(ConfigDialog, SkinList) {
    DialogRig rig;
    rig.profile.file(QStringLiteral("Skin/Neon.INI"));
    rig.profile.file(QStringLiteral("Skin/readme.txt"));
    M& m = rig.open();
    EXPECT_EQ(m.settings.ListView2.items, (QStringList{"BLACK", "NEON"}));
    EXPECT_TRUE(m.settings.ListView2.isChecked(0));
    ASSERT_TRUE(m.ok());
    EXPECT_FALSE(m.cambioskin);

    M& again = rig.open();
    again.settings.setSkinCheck(1, true);
    EXPECT_FALSE(again.settings.ListView2.isChecked(0));
    ASSERT_TRUE(again.ok());
    EXPECT_TRUE(again.cambioskin);
    EXPECT_EQ(rig.engine.cfg.skin, QStringLiteral("NEON"));
}

TEST(ConfigDialog, EmptySkinFolder) {
    DialogRig rig;
    QFile::remove(rig.profile.dir.filePath("Skin/black.ini"));
    M& m = rig.open();
    EXPECT_EQ(m.settings.ListView2.size(), 0);
    ASSERT_TRUE(m.ok());
    EXPECT_TRUE(m.cambioskin);
    EXPECT_EQ(rig.engine.cfg.skin, QStringLiteral("-"));
    M& again = rig.open();
    ASSERT_TRUE(again.ok());
    EXPECT_FALSE(again.cambioskin);
    EXPECT_EQ(rig.engine.cfg.skin, QStringLiteral("-"));
}

TEST(ConfigDialog, PagesAndCaptions) {
    const char* captions[] = {"Audio Setup",     "Rec / Mic",      "AUtomix/Brake",      "Samples",
                              "Midi Controller", "HID Controller", "System Performance", "Skin"};
    for (int p = 0; p < M::kPages; ++p) {
        EXPECT_EQ(M::pageCaption(p), captions[p]);
        EXPECT_EQ(M::pageShown(p), p != M::TabSheet8 && p != M::TabSheet4);
    }
}

} // namespace
