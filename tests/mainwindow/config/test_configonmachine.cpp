// The audio setup page on this machine, with the engine on real outputs: two ALSA file PCMs and
// a JACK dummy server with a capture client. The dialog lists both drivers' devices; a confirmed
// switch to JACK and OK restart the output on the chosen JACK device, and the decks that were
// playing are heard there; switching back to ALSA plays through the chosen card.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>

#include <sys/resource.h>

#include <QFile>

#include "mainwindow/config/audiobaseconfigengine.h"
#include "mainwindow/config/configbridge.h"
#include "mainwindow/config/configbridgehost.h"
#include "mainwindow/config/configdialogmodel.h"
#include "mainwindow/config/pendingchoices.h"
#include "tests/engine/engine/enginerig.h"
#include "tests/mainwindow/config/configfakes.h"
#include "tests/support/jackprobe.h"
#include "tests/support/jackserver.h"
#include "tests/support/alsafilepcms.h"

using namespace enginerig;

namespace {

constexpr size_t kCapture = 44100 * 4;

// The tones an ALSA file PCM received past byte `from`: bit 1 deck A, bit 2 deck B. The file
// PCM is not paced: it takes whatever the output hands it as fast as it comes, silence before
// the decks join included (hundreds of megabytes under load), and a deck's whole track in
// moments. So `from` is taken before the output starts, the file is searched block by block
// for the first sound, and the windows measured lie just past it.
int alsaTones(const AlsaFilePcms& pcms, const QString& name, qint64 from) {
    constexpr qint64 kFrame = 2 * sizeof(float), kBlock = 1 << 20, kJoin = 22050;
    const qint64 skip = 4096, window = 8192;
    qint64 scanned = from, first = -1;  // bytes
    for (int i = 0; i < 300; ++i) {
        if (i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        QFile f(pcms.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) continue;
        while (first < 0 && scanned + kBlock <= f.size()) {
            f.seek(scanned);
            const QByteArray b = f.read(kBlock);
            const auto* v = reinterpret_cast<const float*>(b.constData());
            for (qint64 k = 0; k < b.size() / qint64(sizeof(float)); ++k)
                if (std::abs(v[k]) >= 0.01f) {
                    first = (scanned + k * qint64(sizeof(float))) / kFrame * kFrame;
                    break;
                }
            if (first < 0) scanned += b.size();
        }
        if (first < 0 || f.size() < first + (skip + kJoin) * kFrame) continue;
        // the decks join the output one after the other: the first window that holds both
        // within half a second of the first sound, else what the last one held
        f.seek(first + skip * kFrame);
        const QByteArray b = f.read(kJoin * kFrame);
        std::vector<float> s(size_t(b.size()) / sizeof(float));
        std::memcpy(s.data(), b.constData(), s.size() * sizeof(float));
        std::fprintf(stderr, "%s: sound from byte %lld on\n", qPrintable(name), first - from);
        int heard = 0;
        for (qint64 at = 0; at + window <= kJoin && heard != 3; at += window)
            heard = tones(s, 2, 0, size_t(at), size_t(window)) | tones(s, 2, 1, size_t(at), size_t(window));
        return heard;
    }
    return 0;
}

// The file PCMs are not paced: an ALSA output left open writes hundreds of megabytes a second.
// While the test runs no file of it may pass 1 GiB (a write past it fails instead).
class FileSizeLimit {
public:
    FileSizeLimit()
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldSignal_ = signal(SIGXFSZ, SIG_IGN);
        rlimit low = old_;
        low.rlim_cur = std::min<rlim_t>(old_.rlim_max, rlim_t(1) << 30);
        setrlimit(RLIMIT_FSIZE, &low);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        signal(SIGXFSZ, oldSignal_);
    }

private:
    rlimit old_{};
    void (*oldSignal_)(int) = nullptr;
};

// the decks back to their starts: the unpaced file PCM played them through meanwhile
void rewind(Rig& rig) {
    for (int n = 1; n <= 2; ++n)
        rig.deck(n).SetPosition(0);
}

// The tones that reach a probe port from now on: bit 1 deck A, bit 2 deck B. A window is
// measured once sound has arrived, since an output just restarted takes its time to reach the
// port under load; 0 when the port stays silent for two seconds.
int jackTones(JackProbe& probe, int port) {
    const size_t skip = 4096, window = 8192, join = 22050, quiet = 2 * 44100;
    probe.restart();
    size_t first = SIZE_MAX, scanned = 0;
    for (int i = 0; i < 6000; ++i) {
        const size_t n = probe.frames();
        const std::vector<float>& s = probe.channel(port);
        for (; first == SIZE_MAX && scanned < n; ++scanned)
            if (std::abs(s[scanned]) >= 0.01f) first = scanned;
        if (first == SIZE_MAX && n >= quiet) return 0;
        // the decks join the output one after the other: the first window that holds both
        // within half a second of the first sound, else what the last one held
        if (first != SIZE_MAX && n >= first + skip + join) {
            int heard = 0;
            for (size_t at = first + skip; at + window <= first + skip + join && heard != 3; at += window)
                heard = tones(s, 1, 0, at, window, probe.rate());
            return heard;
        }
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
    const FileSizeLimit limit;
    AlsaFilePcms pcms({"ostrel_one", "ostrel_two"});
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
    EXPECT_EQ(alsaTones(pcms, "ostrel_one", before), 3);

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
    EXPECT_EQ(alsaTones(pcms, "ostrel_two", from), 3);
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
