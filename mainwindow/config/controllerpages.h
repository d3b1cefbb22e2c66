// The "Midi Controller" and "HID Controller" pages of the configuration dialog, as a model
// without widgets: eight lists with check boxes (the ports or devices and the definition files
// of two MIDI and two HID controllers), their fills, their check-change rules, the two refresh
// buttons and the store at OK. The lists' choices live in the unit-level pending choices.
//
// The MIDI port lists also re-create the main window's four MIDI port objects: on every
// activation and on their refresh button. Nothing here opens a port; the main window sets the
// controllers up after the dialog has closed. The port list is read on a worker when a reader is
// given: until it arrives, the two port lists wait, showing the stored ports, and OK keeps them.
#pragma once

#include <array>
#include <functional>
#include <vector>

#include <QString>

#include "mainwindow/config/checklist.h"
#include "mainwindow/config/configmidiports.h"

class ConfigHidDriver;
class ConfigMidiPorts;
class MidiPortReader;
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

    // `reader`: reads the MIDI port list on a worker, nullptr: it is read in place; `hid`: the
    // first HID driver, nullptr while it does not exist; `profile`: the user profile folder with
    // its "devices" and "devices/HID" subfolders of definition files.
    ControllerPages(ConfigMidiPorts* midi, MidiPortReader* reader, ConfigHidDriver* hid,
                    PendingChoices& pending, PSoundConfig& config, const QString& profile);
    ~ControllerPages();
    ControllerPages(const ControllerPages&) = delete;
    ControllerPages& operator=(const ControllerPages&) = delete;

    std::function<void(bool)> busy;   // wait cursor on / off
    std::function<void()> portsShown; // a port list read on the worker has filled the lists

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
    // The MIDI port lists filled from a fresh read of the port list: at creation (an entry equal
    // to the pending port of list 1 is not checked), after a refresh (new port objects first),
    // or at activation (a refresh, then each port list's stored port checked). Asked while a
    // read runs, that read serves, with the fuller of the two fills.
    enum class PortFill { creation, refresh, activation };
    void readMidiPorts(PortFill fill);
    // a read asked for has not arrived: the port lists wait
    bool readingPorts() const { return ticket_ != 0; }
    // what a waiting port list (listview1, ListView4) shows: its stored port, checked, or "…"
    CheckList waitingList(List l) const;
    // the dialog has closed: a read still under way fills nothing
    void stopReading();
    // activation: each list's entry equal to its stored field checked, becoming the pending choice
    void checkStored();

    // ---- buttons
    void JvHTButton12Click(); // "Refresh MIDI Device List": new port objects, port lists refilled
    void JvHTButton10Click(); // "Refresh HID Device List"

    // ---- OK: HID choices from the check marks, empty choices become "-", then into the
    // configuration; the MIDI ports only when their lists were filled
    void store();

  private:
    void takePorts(const MidiPortList& inputs, PortFill fill);
    void fillMidiPorts(const MidiPortList& inputs, bool creation);
    void checkStored(List l);
    QString stored(List l) const;
    void change(List l, int index);
    QString& pendingOf(List l);
    void fillMaps();
    void fillHidMaps();
    void fillHidDevices();
    void checkOnly(List l, int index);
    static List partner(List l);

    ConfigMidiPorts* midi_;
    MidiPortReader* reader_;
    ConfigHidDriver* hid_;
    PendingChoices& pending_;
    PSoundConfig& cfg_;
    QString profile_;
    std::array<CheckList, kLists> lists_;
    std::array<bool, kLists> attached_{};
    std::vector<bool> selectable_;
    int ticket_ = 0; // the read asked of the reader
    PortFill fill_ = PortFill::creation;
    bool portsListed_ = false;
};
