// The main window's configuration bridge without its widgets: opening the configuration dialog
// from the configuration button and, after it has closed (OK or CANCEL alike), writing the row,
// reading it back and applying it, in a fixed order; the first activation's dialog path; the
// decision whether the outputs must be opened again; and which stored devices no longer match.
//
// The bridge keeps its own copy of the output settings taken before the dialog (the snapshot):
// the engine's own copy describes the outputs it built and must stay so, for their tear-down.
#pragma once

#include <array>
#include <functional>

#include <QString>
#include <QStringList>

class ConfigBridgeHost;
class PSoundConfig;

class ConfigBridge {
  public:
    // The output settings the dialog may change, as they stood before it opened.
    struct Snapshot {
        int devicemode = 1, devicework = 1, com = 0;
        std::array<int, 3> dsnum{}, dschan{}, asnum{}, aschan{};
        bool usekeylock = true;
        static Snapshot of(const PSoundConfig& c);
    };

    // What follows the dialog for the outputs.
    struct Restart {
        int preset = -1;      // the performance preset to apply (0..2); -1: none
        bool restart = false; // the output is opened again, then the stopped decks resumed
        bool alsa = true;     // by desinitds (ALSA); false: desinitasio (JACK)
    };
    // Any snapshot field but usekeylock changed, or the decks were stopped: restart, after the
    // preset of a changed performance level.
    static Restart decide(const Snapshot& before, const PSoundConfig& now, bool stoppedcarga);

    // The first activation's check: in ALSA mode a row 0..2 whose index is 0 or more and whose
    // stored name is neither "-" nor empty, where the list holds another name (or none) at that
    // index; the same in JACK mode with asname against the JACK list. Names compare exactly.
    //   dsNames: ALSA list positions 0.. (devices 1..dsdevices); asioNames: JACK devices 0..
    static bool deviceMismatch(const PSoundConfig& c, const QStringList& dsNames,
                               const QStringList& asioNames);

    // The main window's own state that the shut-down stores into the configuration (graboconfig).
    struct WindowState {
        bool modemax = false;
        std::array<bool, 3> jogA{}, jogB{};  // scratch, search, effects buttons down, per deck
        bool nhcue1 = false, nhcue2 = false;
        bool vex = false, vpl = false, vgr = false;
        int zoomA = 0, zoomB = 0;   // the decks' display zoom (PRecord.zoom)
        int ffout = 0, ffin = 0;    // the automix fade sliders (0..60)
        int samplevolume = 0, samplevolume2 = 0;
    };
    static void storeWindowState(PSoundConfig& c, const WindowState& w);

    explicit ConfigBridge(ConfigBridgeHost& host) : host_(host) {}

    // bconfigMouseDown: nothing while the dialog is open; otherwise steps 2 to 8, and when the
    // dialog has closed steps 9 to 18. `done` (optional) runs at the very end.
    void bconfigMouseDown(std::function<void()> done = nullptr);

    // The first activation's dialog: created and shown; when it has closed the row is written,
    // read back and applied, and the output always opened again (after the preset of a changed
    // level); then `then` runs (the rest of the first activation).
    void openAtFirstActivation(std::function<void()> then);

    bool open() const { return open_; }
    const Snapshot& snapshot() const { return snapshot_; }

  private:
    void afterDialog(bool cambioskin, std::function<void()> done);
    void applyRestart(const Restart& r);

    ConfigBridgeHost& host_;
    Snapshot snapshot_;
    bool open_ = false;
};
