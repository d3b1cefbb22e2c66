#include "mainwindow/config/midicontrollersports.h"

#include "controllers/midi/midicontrollers.h"

MidiPortList MidiControllersPorts::readPorts() {
    return midi::MidiPortCatalog::inputs(backend_);
}

void MidiControllersPorts::recreatePorts(const MidiPortList& inputs) {
    controllers_.recreatePorts(inputs);
}

void MidiControllersPorts::closeFirstInput() {
    if (controllers_.MidiInput1) controllers_.MidiInput1->Close();
}

std::vector<MidiPortEntry> MidiControllersPorts::inputPorts(const MidiPortList& listed) {
    std::vector<MidiPortEntry> out;
    TMidiInput* in = controllers_.MidiInput1.get();
    if (!in) return out;
    for (int i = 0, n = in->NumDevs(listed); i < n; ++i) {
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
