// The controller pages' view of the two MIDI controllers' port objects (MidiInput1, MidiInput2,
// MidiOutput1, MidiOutput2 of MidiControllers). Entry texts are the port layer's listed names.
#pragma once

#include "mainwindow/config/configmidiports.h"

class MidiControllers;

namespace midi {
class Backend;
}

class MidiControllersPorts : public ConfigMidiPorts {
  public:
    MidiControllersPorts(MidiControllers& controllers, midi::Backend& backend)
        : controllers_(controllers), backend_(backend) {}

    MidiPortList readPorts() override;
    void recreatePorts(const MidiPortList& inputs) override;
    void closeFirstInput() override;
    std::vector<MidiPortEntry> inputPorts(const MidiPortList& inputs) override;

  private:
    MidiControllers& controllers_;
    midi::Backend& backend_;
};
