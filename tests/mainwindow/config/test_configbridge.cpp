// The main window's configuration bridge, headless: the order of what follows the dialog, the
// restart decision, the first activation's dialog path and its device check.
#include <gtest/gtest.h>

#include "mainwindow/config/configbridge.h"
#include "mainwindow/config/configbridgehost.h"
#include "tests/mainwindow/config/configfakes.h"

namespace {

class RecordingHost : public ConfigBridgeHost {
  public:
    PSoundConfig cfg;
    MemoryRow row;
    std::vector<std::string> calls;
    bool buttonOpen = false, stopped = false;
    std::function<void(bool)> closed;   // the dialog's closing, called by the test
    std::function<void()> duringDialog; // what the user does while it is open

    RecordingHost() { row.read(cfg); }

    PSoundConfig& soundcfg() override { return cfg; }
    bool configButtonOpen() const override { return buttonOpen; }
    void setConfigButton(bool open) override {
        buttonOpen = open;
        calls.push_back(open ? "button on" : "button off");
    }
    void createDialog() override { calls.push_back("create"); }
    void showDialog(std::function<void(bool)> c) override {
        calls.push_back("show");
        closed = std::move(c);
        if (duringDialog) duringDialog();
    }
    void hideSplash() override { calls.push_back("hide splash"); }
    void raiseWindow() override { calls.push_back("raise"); }
    void closeMidiPorts() override { calls.push_back("close midi"); }
    void replaceMidiInputs() override { calls.push_back("new midi inputs"); }
    void resetDisplays() override { calls.push_back("displays 0"); }
    void resetDisplayCounters() override { calls.push_back("counters 0"); }
    void writeRow() override {
        calls.push_back("write row");
        row.write(cfg);
    }
    void asignoconfig() override {
        calls.push_back("read row");
        row.read(cfg);
    }
    void setUpMidi() override { calls.push_back("midi"); }
    void setUpHid() override { calls.push_back("hid"); }
    void clearLights() override { calls.push_back("lights"); }
    void changeSkin() override { calls.push_back("skin"); }
    void applyPreset(int level) override { calls.push_back("preset " + std::to_string(level)); }
    bool stoppedcarga() const override { return stopped; }
    void restartOutput(bool alsa) override { calls.push_back(alsa ? "desinitds" : "desinitasio"); }
    void playcargas() override {
        calls.push_back("playcargas");
        stopped = false;
    }
    void enableKeylock(bool on) override { calls.push_back(on ? "keylock on" : "keylock off"); }
};

using Calls = std::vector<std::string>;

TEST(ConfigBridge, OpeningAndCancellingWithoutChanges) {
    RecordingHost host;
    ConfigBridge bridge(host);
    host.cfg.inicializada = true;
    host.cfg.inicializada2 = true;
    bool done = false;
    bridge.bconfigMouseDown([&] { done = true; });
    EXPECT_EQ(host.calls,
              (Calls{"button on", "create", "close midi", "new midi inputs", "displays 0", "show"}));
    EXPECT_FALSE(host.cfg.inicializada);
    EXPECT_FALSE(host.cfg.inicializada2);
    EXPECT_TRUE(bridge.open());

    // a second press while it is open does nothing
    host.calls.clear();
    bridge.bconfigMouseDown();
    EXPECT_TRUE(host.calls.empty());

    host.closed(false);
    EXPECT_EQ(host.calls, (Calls{"write row", "button off", "read row", "midi", "hid", "lights", "keylock on",
                                 "hid", "lights", "counters 0"}));
    EXPECT_TRUE(done);
    EXPECT_FALSE(bridge.open());
}

TEST(ConfigBridge, TheRowIsWrittenAndReadBackWhateverClosedTheDialog) {
    RecordingHost host;
    ConfigBridge bridge(host);
    host.duringDialog = [&] { host.cfg.dr = 75; };
    bridge.bconfigMouseDown();
    host.closed(false);
    PSoundConfig stored;
    host.row.read(stored);
    EXPECT_EQ(stored.dr, 75);
    EXPECT_EQ(host.cfg.dr, 75);
}

TEST(ConfigBridge, ASkinChangeIsAppliedBeforeTheOutputs) {
    RecordingHost host;
    ConfigBridge bridge(host);
    host.duringDialog = [&] { host.cfg.devicework = 3; };
    bridge.bconfigMouseDown();
    host.calls.clear();
    host.closed(true);
    const Calls expected{"write row", "button off", "read row",   "midi", "hid",    "lights",    "skin",
                         "desinitds", "playcargas", "keylock on", "hid",  "lights", "counters 0"};
    EXPECT_EQ(host.calls, expected);
}

// ---- the restart decision

struct DecisionCase {
    const char* name;
    std::function<void(PSoundConfig&)> change;
    bool stopped;
    int preset;
    bool restart;
    bool alsa;
};

TEST(ConfigBridgeRestart, DecisionTable) {
    const DecisionCase cases[] = {
        {"nothing", [](PSoundConfig&) {}, false, -1, false, true},
        {"key lock only", [](PSoundConfig& c) { c.usekeylock = false; }, false, -1, false, true},
        {"performance level", [](PSoundConfig& c) { c.com = 2; }, false, 2, true, true},
        {"routing mode", [](PSoundConfig& c) { c.devicework = 6; }, false, -1, true, true},
        {"ALSA device row 3", [](PSoundConfig& c) { c.dsnum[2] = 4; }, false, -1, true, true},
        {"ALSA channel", [](PSoundConfig& c) { c.dschan[1] = 0; }, false, -1, true, true},
        {"JACK device in ALSA mode", [](PSoundConfig& c) { c.asnum[0] = 3; }, false, -1, true, true},
        {"JACK channel", [](PSoundConfig& c) { c.aschan[2] = 0; }, false, -1, true, true},
        {"row 4 is not compared", [](PSoundConfig& c) { c.dsnum[3] = 7; }, false, -1, false, true},
        {"a name alone", [](PSoundConfig& c) { c.dsname[0] = "other"; }, false, -1, false, true},
        {"decks stopped by a refresh", [](PSoundConfig&) {}, true, -1, true, true},
        {"driver switched, then CANCEL", [](PSoundConfig& c) { c.devicemode = 0; }, true, -1, true, false},
        {"JACK and a level",
         [](PSoundConfig& c) {
             c.devicemode = 0;
             c.com = 1;
         },
         true, 1, true, false},
    };
    for (const DecisionCase& k : cases) {
        SCOPED_TRACE(k.name);
        RecordingHost host;
        const ConfigBridge::Snapshot before = ConfigBridge::Snapshot::of(host.cfg);
        k.change(host.cfg);
        const ConfigBridge::Restart r = ConfigBridge::decide(before, host.cfg, k.stopped);
        EXPECT_EQ(r.preset, k.preset);
        EXPECT_EQ(r.restart, k.restart);
        if (r.restart) {
            EXPECT_EQ(r.alsa, k.alsa);
        }
    }
}

TEST(ConfigBridgeRestart, AChangedLevelAppliesItsPresetThenReopensTheOutput) {
    RecordingHost host;
    ConfigBridge bridge(host);
    host.duringDialog = [&] { host.cfg.com = 1; };
    bridge.bconfigMouseDown();
    host.calls.clear();
    host.closed(false);
    const Calls expected{"write row", "button off", "read row",   "midi", "hid",    "lights",    "preset 1",
                         "desinitds", "playcargas", "keylock on", "hid",  "lights", "counters 0"};
    EXPECT_EQ(host.calls, expected);
    EXPECT_EQ(bridge.snapshot().com, 1);
}

TEST(ConfigBridgeRestart, AConfirmedDriverSwitchRestartsOnTheNewDriver) {
    RecordingHost host;
    ConfigBridge bridge(host);
    host.duringDialog = [&] {
        host.cfg.devicemode = 0;
        host.stopped = true;
    };
    bridge.bconfigMouseDown();
    host.calls.clear();
    host.closed(false);
    EXPECT_NE(std::find(host.calls.begin(), host.calls.end(), "desinitasio"), host.calls.end());
    EXPECT_EQ(std::find(host.calls.begin(), host.calls.end(), "desinitds"), host.calls.end());
    EXPECT_FALSE(host.stopped);
}

// ---- the first activation

TEST(ConfigBridgeFirstActivation, DeviceCheck) {
    const QStringList ds{"default", "USB Audio", "USB Audio (2)"};
    const QStringList jack{"system", "devA", "devB"};
    struct Case {
        const char* name;
        std::function<void(PSoundConfig&)> set;
        bool mismatch;
    };
    const Case cases[] = {
        {"first run: ALSA row 0 named \"-\"", [](PSoundConfig&) {}, false},
        {"ALSA name at its index",
         [](PSoundConfig& c) {
             c.dsnum[0] = 1;
             c.dsname[0] = "USB Audio";
         },
         false},
        {"ALSA card moved to another index",
         [](PSoundConfig& c) {
             c.dsnum[0] = 1;
             c.dsname[0] = "USB Audio (2)";
         },
         true},
        {"ALSA card gone, index past the list",
         [](PSoundConfig& c) {
             c.dsnum[1] = 5;
             c.dsname[1] = "Gone";
         },
         true},
        {"the \" (n)\" suffix counts",
         [](PSoundConfig& c) {
             c.dsnum[0] = 2;
             c.dsname[0] = "USB Audio";
         },
         true},
        {"index -1 is not compared",
         [](PSoundConfig& c) {
             c.dsnum[2] = -1;
             c.dsname[2] = "Gone";
         },
         false},
        {"JACK names are not compared in ALSA mode",
         [](PSoundConfig& c) {
             c.asnum[0] = 0;
             c.asname[0] = "renamed";
         },
         false},
        {"JACK unchanged",
         [](PSoundConfig& c) {
             c.devicemode = 0;
             c.asnum[0] = 1;
             c.asname[0] = "devA";
             c.asnum[1] = 2;
             c.asname[1] = "devB";
         },
         false},
        {"JACK renamed",
         [](PSoundConfig& c) {
             c.devicemode = 0;
             c.asnum[0] = 1;
             c.asname[0] = "devA-old";
         },
         true},
        {"JACK gone",
         [](PSoundConfig& c) {
             c.devicemode = 0;
             c.asnum[1] = 3;
             c.asname[1] = "devC";
         },
         true},
        {"ALSA names are not compared in JACK mode",
         [](PSoundConfig& c) {
             c.devicemode = 0;
             c.dsnum[0] = 0;
             c.dsname[0] = "gone";
         },
         false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        MemoryRow row;
        PSoundConfig c;
        row.read(c);
        k.set(c);
        EXPECT_EQ(ConfigBridge::deviceMismatch(c, ds, jack), k.mismatch);
    }
}

TEST(ConfigBridgeFirstActivation, TheOutputIsAlwaysOpenedAgain) {
    RecordingHost host;
    ConfigBridge bridge(host);
    bool then = false;
    bridge.openAtFirstActivation([&] { then = true; });
    EXPECT_EQ(host.calls, (Calls{"create", "hide splash", "show"}));
    host.calls.clear();
    host.closed(false);
    EXPECT_EQ(host.calls, (Calls{"raise", "write row", "read row", "midi", "desinitds", "playcargas"}));
    EXPECT_TRUE(then);

    // a level changed in that dialog applies its preset first; JACK mode restarts JACK
    RecordingHost jack;
    ConfigBridge b2(jack);
    jack.duringDialog = [&] {
        jack.cfg.com = 2;
        jack.cfg.devicemode = 0;
    };
    b2.openAtFirstActivation(nullptr);
    jack.calls.clear();
    jack.closed(true);
    EXPECT_EQ(jack.calls, (Calls{"raise", "write row", "read row", "midi", "preset 2", "desinitasio", "playcargas"}));
}

} // namespace

namespace {

TEST(ConfigBridgeShutDown, WindowStateIntoTheConfiguration)
{
    PSoundConfig c;
    ConfigBridge::WindowState w;
    w.modemax = true;
    w.jogA = {true, false, true};  // scratch and effects down: the last wins
    w.jogB = {false, true, false};
    w.nhcue2 = true;
    w.vpl = true;
    w.vgr = true;
    w.zoomA = 1;
    w.zoomB = -1;
    w.ffout = 60;
    w.ffin = 12;
    w.samplevolume = 25;
    w.samplevolume2 = 80;
    ConfigBridge::storeWindowState(c, w);
    EXPECT_EQ(c.wfull, 1);
    EXPECT_EQ(c.wmode1, 3);
    EXPECT_EQ(c.wmode2, 2);
    EXPECT_EQ(c.wcue1, 0);
    EXPECT_EQ(c.wcue2, 1);
    EXPECT_EQ(c.wexp, 8);
    EXPECT_EQ(c.wzoom1, 3);
    EXPECT_EQ(c.wzoom2, 1);
    EXPECT_EQ(c.dr, 60);
    EXPECT_EQ(c.lr, 12);
    EXPECT_EQ(c.svol1, 25);
    EXPECT_EQ(c.svol2, 80);

    const std::pair<std::array<bool, 3>, int> views[] = {{{false, false, false}, 0}, {{true, false, false}, 1},
                                                         {{false, true, false}, 3}, {{true, true, true}, 9}};
    for (const auto& [v, wexp] : views) {
        ConfigBridge::WindowState s;
        s.vex = v[0];
        s.vpl = v[1];
        s.vgr = v[2];
        ConfigBridge::storeWindowState(c, s);
        EXPECT_EQ(c.wexp, wexp);
        EXPECT_EQ(c.wmode1, 0);
    }
}

}  // namespace
