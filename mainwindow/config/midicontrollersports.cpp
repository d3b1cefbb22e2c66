#include "mainwindow/config/midicontrollersports.h"

#include "controllers/midi/midicontrollers.h"
#include "platform/midi/midiportcatalog.h"

void MidiControllersPorts::recreatePorts() {
    controllers_.recreatePorts();
}

void MidiControllersPorts::closeFirstInput() {
    if (controllers_.MidiInput1) controllers_.MidiInput1->Close();
}

std::vector<MidiPortEntry> MidiControllersPorts::inputPorts() {
    std::vector<MidiPortEntry> out;
    TMidiInput* in = controllers_.MidiInput1.get();
    if (!in) return out;
    // read once: every read opens a client of each MIDI service
    const std::vector<midi::ListedPort> listed = midi::MidiPortCatalog::inputs(backend_);
    for (int i = 0, n = in->NumDevs(); i < n; ++i) {
        MidiPortEntry e;
        try {
            in->SetDeviceID(i, listed);
        } catch (const EMidiInputError&) {
            e.selectable = false;
        }
        // a port gone since the object counted them keeps the product name read last
        e.text = e.selectable && i < int(listed.size()) ? QString::fromStdString(listed[size_t(i)].listedName)
                                                        : in->ProductName() + QString::number(i);
        out.push_back(e);
    }
    return out;
}
