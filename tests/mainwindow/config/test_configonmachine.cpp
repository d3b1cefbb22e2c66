// The audio setup page on this machine, with the engine on real outputs: two ALSA file PCMs and
// a JACK dummy server with a capture client. The dialog lists both drivers' devices; a confirmed
// switch to JACK and OK restart the output on the chosen JACK device, and the decks that were
// playing are heard there; switching back to ALSA plays through the chosen card.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "mainwindow/config/audiobaseconfigengine.h"
#include "mainwindow/config/configbridge.h"
#include "mainwindow/config/configbridgehost.h"
#include "mainwindow/config/configdialogmodel.h"
#include "mainwindow/config/pendingchoices.h"
#include "tests/engine/engine/decksheard.h"
#include "tests/engine/engine/enginerig.h"
#include "tests/mainwindow/config/configfakes.h"
#include "tests/support/jackprobe.h"
#include "tests/support/jackserver.h"
#include "tests/support/alsafilepcms.h"

using namespace enginerig;

namespace {

constexpr size_t kCapture = 44100 * 6;

// the decks back to their starts, so that each output measured has most of their tones ahead
void rewind(Rig& rig) {
    for (int n = 1; n <= 2; ++n)
        rig.deck(n).SetPosition(0);
}

// The decks that reach a probe port from now on (see decksHeard); 0 when the port stays silent
// for two seconds, -1 when the measure did not complete within thirty seconds.
int jackTones(JackProbe& probe, int port) {
    const size_t quiet = 2 * 44100;
    probe.restart();
    for (int i = 0; i < 6000; ++i) {
        const size_t n = probe.frames();
        const std::vector<float>& s = probe.channel(port);
        const int heard = decksHeard(s, n, 1, probe.rate());
        if (heard >= 0) return heard;
        if (n >= quiet && std::none_of(s.begin(), s.begin() + std::ptrdiff_t(n),
                                       [](float v) { return std::abs(v) >= 0.01f; }))
            return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return -1;
}

// The main window as far as the audio is concerned: the row in memory, the engine's outputs.
class EngineHost : public ConfigBridgeHost {
  public:
    explicit EngineHost(audiobase& e) : e_(e) {}
    PSoundConfig& soundcfg() override { return *e_.soundcfg; }
    bool configButtonOpen() const override { return open_; }
    void setConfigButton(bool open) override { open_ = open; }
    void createDialog() override {}
    void showDialog(std::function<void(bool)> closed) override { closed_ = std::move(closed); }
    void hideSplash() override {}
    void raiseWindow() override {}
    void closeMidiPorts() override {}
    void replaceMidiInputs() override {}
    void resetDisplays() override {}
    void resetDisplayCounters() override {}
    void writeRow() override { row.write(*e_.soundcfg); }
    void asignoconfig() override { row.read(*e_.soundcfg); }
    void setUpMidi() override {}
    void setUpHid() override {}
    void clearLights() override {}
    void changeSkin() override {}
    void applyPreset(int) override {}
    bool stoppedcarga() const override { return e_.stoppedcarga; }
    void restartOutput(bool alsa) override {
        if (alsa)
            e_.desinitds();
        else
            e_.desinitasio();
    }
    void playcargas() override { e_.playcargas(); }
    void enableKeylock(bool) override {}
    void close(bool cambioskin) { closed_(cambioskin); }

    MemoryRow row;

  private:
    audiobase& e_;
    bool open_ = false;
    std::function<void(bool)> closed_;
};

struct Dialog {
    Dialog(audiobase& e, const QString& profile) : engine(e) {
        ConfigDialogModel::Services s;
        s.engine = &engine;
        s.prompts = &prompts;
        s.midi = &midi;
        s.main = &services;
        s.pending = &pending;
        s.profile = profile;
        model = std::make_unique<ConfigDialogModel>(s);
        model->create();
        model->activate();
    }
    AudiobaseConfigEngine engine;
    FakePrompts prompts;
    FakeMidiPorts midi;
    FakeMainServices services;
    PendingChoices pending;
    std::unique_ptr<ConfigDialogModel> model;
};

TEST(AudioSetupOnMachine, ListsBothDriversAndPlaysThroughTheChosenDevice) {
    // the PCMs are paced like cards, so that the decks' tones play together for seconds
    // whatever the load, as they would on one
    AlsaFilePcms pcms({"ostrel_one", "ostrel_two"}, 2, AlsaFilePcms::Capture::Null,
                      AlsaFilePcms::Pacing::WallClock);
    JackServer server;
    ASSERT_TRUE(server.startWhenFree());
    auto devA = JackProbe::open("devA", 4, kCapture);
    ASSERT_TRUE(devA);
    TestProfile profile;

    Rig rig(false);
    audiobase& e = *rig.engine;
    e.dameds();
    ASSERT_TRUE(listed(e, {"devA"}));
    EngineHost host(e);
    PSoundConfig& c = *e.soundcfg;
    host.row.read(c);
    c.usekeylock = false;

    // playing on the first ALSA card
    Dialog first(e, profile.path());
    AudioSetupPage& a = first.model->audio;
    const int one = int(a.dev[0].items.indexOf("ostrel_one"));
    ASSERT_GE(one, 0);
    ASSERT_GE(a.dev[0].items.indexOf("ostrel_two"), 0);
    a.chooseDevice(0, one);
    ConfigBridge bridge(host);
    ASSERT_TRUE(first.model->ok());
    host.writeRow();
    // the decks play, then the outputs open and take them along
    rig.playtones();
    const qint64 before = pcms.size("ostrel_one");
    e.desinitds();
    EXPECT_EQ(alsaDecksHeard(pcms, "ostrel_one", before), 3);

    // the dialog: JACK, mode 3 on devA (master on pair 1, headphones on pair 2)
    bridge.bconfigMouseDown();
    Dialog second(e, profile.path());
    AudioSetupPage& b = second.model->audio;
    EXPECT_TRUE(b.rdm2);
    EXPECT_EQ(b.dev[0].text(), "ostrel_one");
    second.prompts.answers = {true};
    b.rdm1Click();
    EXPECT_TRUE(e.stoppedcarga);
    const int jack = int(b.dev[0].items.indexOf("devA"));
    ASSERT_GE(jack, 0);
    b.rw1Click(3);
    b.chooseDevice(0, jack);
    b.chooseChannel(1, 1);
    ASSERT_TRUE(second.model->ok()) << (second.prompts.warned.empty()
                                            ? ""
                                            : second.prompts.warned[0].toStdString());
    second.model->closed();
    rewind(rig);
    host.close(false);
    EXPECT_FALSE(e.stoppedcarga);
    EXPECT_EQ(c.devicemode, 0);
    EXPECT_EQ(c.asname[0], QStringLiteral("devA"));
    EXPECT_EQ(rig.deck(1).basseqfx->Fstatus, sPlay);
    EXPECT_TRUE(rig.box.calls.empty());
    EXPECT_EQ(jackTones(*devA, 0), 3); // the master: both decks

    // and back to ALSA, on the second card
    bridge.bconfigMouseDown();
    Dialog third(e, profile.path());
    AudioSetupPage& t = third.model->audio;
    EXPECT_TRUE(t.rdm1);
    EXPECT_EQ(t.dev[0].text(), "devA");
    third.prompts.answers = {true};
    t.Label68Click();
    t.rw1Click(1);
    t.chooseDevice(0, int(t.dev[0].items.indexOf("ostrel_two")));
    t.chooseChannel(0, 2);
    ASSERT_TRUE(third.model->ok());
    third.model->closed();
    rewind(rig);
    const qint64 from = pcms.size("ostrel_two");
    host.close(false);
    EXPECT_EQ(c.devicemode, 1);
    EXPECT_EQ(c.dsname[0], QStringLiteral("ostrel_two"));
    EXPECT_EQ(alsaDecksHeard(pcms, "ostrel_two", from), 3);
    // the card is let go before the JACK device is listened to
    e.stopcargas();
    std::fprintf(stderr, "ALSA captures: %lld and %lld bytes\n", pcms.size("ostrel_one"), pcms.size("ostrel_two"));
    EXPECT_EQ(jackTones(*devA, 0), 0);
    e.desinit();
}

// A JACK device renamed or gone since the configuration was stored opens the dialog at the first
// activation; an unchanged one does not.
TEST(AudioSetupOnMachine, FirstActivationFindsAJackDeviceByName) {
    JackServer server;
    ASSERT_TRUE(server.startWhenFree());
    auto devA = JackProbe::open("devA", 4, kCapture);
    ASSERT_TRUE(devA);
    Rig rig(false);
    audiobase& e = *rig.engine;
    ASSERT_TRUE(listed(e, {"devA"}));
    AudiobaseConfigEngine ce(e);
    PSoundConfig& c = *e.soundcfg;
    MemoryRow row;
    row.read(c);
    c.devicemode = 0;
    c.asnum[0] = int(ce.asioNames().indexOf("devA"));
    c.asname[0] = QStringLiteral("devA");
    EXPECT_FALSE(ConfigBridge::deviceMismatch(c, ce.dsNames(), ce.asioNames()));

    devA.reset();
    auto renamed = JackProbe::open("devA_renamed", 4, kCapture);
    ASSERT_TRUE(renamed);
    ASSERT_TRUE(listed(e, {"devA_renamed"}));
    EXPECT_TRUE(ConfigBridge::deviceMismatch(c, ce.dsNames(), ce.asioNames()));
    renamed.reset();
    e.dameasio();
    EXPECT_TRUE(ConfigBridge::deviceMismatch(c, ce.dsNames(), ce.asioNames()));
}

} // namespace
