// What the controller pages need of the main window's MIDI port objects: their re-creation
// (so that ports plugged in since start-up are listed), closing the first input, and the list
// of input ports as the first input port object sees them. MidiControllersPorts is the real one.
#pragma once

#include <vector>

#include <QString>

struct MidiPortEntry {
    QString text;           // the port's listed name: product name and its index among that name's ports
    bool selectable = true; // selecting the port in the first input port object worked
};

class ConfigMidiPorts {
  public:
    virtual ~ConfigMidiPorts() = default;

    // The four port objects (two inputs, two outputs) closed and replaced by new, closed ones.
    virtual void recreatePorts() = 0;
    virtual void closeFirstInput() = 0;
    // One entry per port number 0 .. the input device count of the first input port object - 1.
    virtual std::vector<MidiPortEntry> inputPorts() = 0;
};
