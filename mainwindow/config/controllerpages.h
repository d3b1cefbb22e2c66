// The "Midi Controller" and "HID Controller" pages of the configuration dialog, as a model
// without widgets: eight lists with check boxes (the ports or devices and the definition files
// of two MIDI and two HID controllers), their fills, their check-change rules, the two refresh
// buttons and the store at OK. The lists' choices live in the unit-level pending choices.
//
// The MIDI port lists also re-create the main window's four MIDI port objects: on every
// activation and on their refresh button. Nothing here opens a port; the main window sets the
// controllers up after the dialog has closed.
#pragma once

#include <array>
#include <functional>
#include <vector>

#include <QString>

#include "mainwindow/config/checklist.h"

class ConfigHidDriver;
class ConfigMidiPorts;
class PSoundConfig;
struct PendingChoices;

class ControllerPages {
  public:
    enum List {
        listview1,
        ListView3,
        ListView4,
        ListView5,
        ListView6,
        ListView7,
        ListView8,
        ListView9,
        kLists
    };

    // `hid`: the first HID driver, nullptr while it does not exist; `profile`: the user profile
    // folder with its "devices" and "devices/HID" subfolders of definition files.
    ControllerPages(ConfigMidiPorts* midi, ConfigHidDriver* hid, PendingChoices& pending,
                    PSoundConfig& config, const QString& profile);

    std::function<void(bool)> busy; // wait cursor on / off

    CheckList& list(List l) { return lists_[size_t(l)]; }
    const CheckList& list(List l) const { return lists_[size_t(l)]; }
    // a MIDI port entry whose selection failed: listed, never checked by a fill
    bool portSelectable(int i) const {
        return i >= 0 && i < int(selectable_.size()) && selectable_[size_t(i)];
    }

    // ---- change events: the six lists the fills detach (listview1, ListView3, ListView5,
    // ListView4, ListView6, ListView7); ListView8 and ListView9 stay attached
    void detach();
    void attach();

    // A check mark set or cleared, by the user or by the code; the list's change handler runs
    // when its change event is attached and the mark changed.
    void setCheck(List l, int index, bool on);

    // ---- fills
    void refreshHidDevices(); // creation: the first HID driver's name list cleared and enumerated
    void fillCreation();      // creation: MIDI input 1 closed, map lists, HID map and device lists
    // the MIDI port lists; at creation an entry equal to the pending port of list 1 is not checked
    void fillMidiPorts(bool creation);
    // activation: each list's entry equal to its stored field checked, becoming the pending choice
    void checkStored();

    // ---- buttons
    void JvHTButton12Click(); // "Refresh MIDI Device List": new port objects, port lists refilled
    void JvHTButton10Click(); // "Refresh HID Device List"

    // ---- OK: HID choices from the check marks, empty choices become "-", then into the configuration
    void store();

  private:
    void change(List l, int index);
    QString& pendingOf(List l);
    void fillMaps();
    void fillHidMaps();
    void fillHidDevices();
    void checkOnly(List l, int index);
    static List partner(List l);

    ConfigMidiPorts* midi_;
    ConfigHidDriver* hid_;
    PendingChoices& pending_;
    PSoundConfig& cfg_;
    QString profile_;
    std::array<CheckList, kLists> lists_;
    std::array<bool, kLists> attached_{};
    std::vector<bool> selectable_;
};
