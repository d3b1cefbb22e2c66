// What the controller pages need of the main window's MIDI port objects: a fresh read of the
// input port list, the re-creation of the four port objects over such a list (so that ports
// plugged in since start-up are listed), closing the first input, and the list's entries as the
// first input port object sees them. MidiControllersPorts is the real one.
#pragma once

#include <vector>

#include <QString>

#include "platform/midi/midiportcatalog.h"

struct MidiPortEntry {
    QString text;           // the port's listed name: product name and its index among that name's ports
    bool selectable = true; // selecting the port in the first input port object worked
};

using MidiPortList = std::vector<midi::ListedPort>;

class ConfigMidiPorts {
  public:
    virtual ~ConfigMidiPorts() = default;

    // The input ports as the system lists them now. Slow (it opens a client of every MIDI
    // service); safe on any thread, while the other calls run: it touches no port object.
    virtual MidiPortList readPorts() = 0;

    // UI thread from here on.
    // The four port objects (two inputs, two outputs) closed and replaced by new, closed ones;
    // the inputs count the ports of `inputs`.
    virtual void recreatePorts(const MidiPortList& inputs) = 0;
    virtual void closeFirstInput() = 0;
    // One entry per port number 0 .. the input device count of the first input port object - 1
    // (counted from `inputs` when it has not counted yet), selected over `inputs`.
    virtual std::vector<MidiPortEntry> inputPorts(const MidiPortList& inputs) = 0;
};
