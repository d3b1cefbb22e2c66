#include "mainwindow/config/configbridge.h"

#include "engine/psoundconfig.h"
#include "mainwindow/config/configbridgehost.h"

ConfigBridge::Snapshot ConfigBridge::Snapshot::of(const PSoundConfig& c) {
    Snapshot s;
    s.devicemode = c.devicemode;
    s.devicework = c.devicework;
    s.com = c.com;
    s.usekeylock = c.usekeylock;
    for (size_t i = 0; i < 3; ++i) {
        s.dsnum[i] = c.dsnum[i];
        s.dschan[i] = c.dschan[i];
        s.asnum[i] = c.asnum[i];
        s.aschan[i] = c.aschan[i];
    }
    return s;
}

ConfigBridge::Restart ConfigBridge::decide(const Snapshot& before, const PSoundConfig& now,
                                           bool stoppedcarga) {
    const Snapshot after = Snapshot::of(now);
    const bool changed = before.devicemode != after.devicemode || before.devicework != after.devicework ||
                         before.com != after.com || before.dsnum != after.dsnum ||
                         before.dschan != after.dschan || before.asnum != after.asnum ||
                         before.aschan != after.aschan;
    Restart r;
    if (!changed && !stoppedcarga) return r;
    if (before.com != after.com) r.preset = after.com;
    r.restart = true;
    r.alsa = after.devicemode == 1;
    return r;
}

bool ConfigBridge::deviceMismatch(const PSoundConfig& c, const QStringList& dsNames,
                                  const QStringList& asioNames) {
    const bool alsa = c.devicemode == 1;
    const QStringList& names = alsa ? dsNames : asioNames;
    for (size_t row = 0; row < 3; ++row) {
        const int index = alsa ? c.dsnum[row] : c.asnum[row];
        const QString stored = alsa ? c.dsname[row].get() : c.asname[row].get();
        if (index < 0 || stored.isEmpty() || stored == QLatin1String("-")) continue;
        if (index >= names.size() || names[index] != stored) return true;
    }
    return false;
}

void ConfigBridge::storeWindowState(PSoundConfig& c, const WindowState& w)
{
    c.wfull = w.modemax ? 1 : 0;
    // the last button down wins
    auto jog = [](const std::array<bool, 3>& down) {
        int mode = 0;
        for (int i = 0; i < 3; ++i)
            if (down[size_t(i)]) mode = i + 1;
        return mode;
    };
    c.wmode1 = jog(w.jogA);
    c.wmode2 = jog(w.jogB);
    c.wcue1 = w.nhcue1 ? 1 : 0;
    c.wcue2 = w.nhcue2 ? 1 : 0;
    c.wexp = (w.vex ? 1 : 0) + (w.vpl ? 3 : 0) + (w.vgr ? 5 : 0);
    c.wzoom1 = w.zoomA + 2;
    c.wzoom2 = w.zoomB + 2;
    c.dr = w.ffout;
    c.lr = w.ffin;
    c.svol1 = w.samplevolume;
    c.svol2 = w.samplevolume2;
}

void ConfigBridge::bconfigMouseDown(std::function<void()> done) {
    // step 1: the button's picture is the guard
    if (host_.configButtonOpen()) return;
    open_ = true;
    host_.setConfigButton(true);
    host_.createDialog();
    PSoundConfig& c = host_.soundcfg();
    host_.closeMidiPorts();
    c.inicializada = false;
    c.inicializada2 = false;
    host_.replaceMidiInputs();
    host_.resetDisplays();
    snapshot_ = Snapshot::of(c);
    host_.showDialog([this, done = std::move(done)](bool cambioskin) { afterDialog(cambioskin, done); });
}

void ConfigBridge::afterDialog(bool cambioskin, std::function<void()> done) {
    PSoundConfig& c = host_.soundcfg();
    host_.writeRow();
    host_.setConfigButton(false);
    host_.asignoconfig();
    host_.setUpMidi();
    host_.setUpHid();
    host_.clearLights();
    if (cambioskin) host_.changeSkin();
    applyRestart(decide(snapshot_, c, host_.stoppedcarga()));
    host_.enableKeylock(c.usekeylock);
    host_.setUpHid();
    host_.clearLights();
    host_.resetDisplayCounters();
    open_ = false;
    if (done) done();
}

void ConfigBridge::applyRestart(const Restart& r) {
    if (!r.restart) return;
    if (r.preset >= 0) {
        host_.applyPreset(r.preset);
        snapshot_.com = r.preset;
    }
    host_.restartOutput(r.alsa);
    host_.playcargas();
}

void ConfigBridge::openAtFirstActivation(std::function<void()> then) {
    open_ = true;
    host_.createDialog();
    host_.hideSplash();
    snapshot_ = Snapshot::of(host_.soundcfg());
    host_.showDialog([this, then = std::move(then)](bool) {
        host_.raiseWindow();
        host_.writeRow();
        host_.asignoconfig();
        // the controller page's port list closed the first MIDI input: both controllers are set
        // up again from the stored ports, as after the configuration button's dialog
        host_.setUpMidi();
        // the dialog opened because the output was not usable: it is opened again in any case
        Restart r = decide(snapshot_, host_.soundcfg(), true);
        applyRestart(r);
        open_ = false;
        if (then) then();
    });
}
