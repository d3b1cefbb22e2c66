#include "controllers/midi/tmidioutput.h"

#include <string>

TMidiOutput::TMidiOutput(midi::Backend& backend) : backend_(backend) {}

TMidiOutput::TMidiOutput(midi::Backend& backend, const std::vector<midi::ListedPort>& ports) : backend_(backend)
{
    FNumdevs = int(ports.size());
}

// counted when first needed: listing the ports opens the MIDI systems' clients
int TMidiOutput::NumDevs()
{
    if (FNumdevs < 0) FNumdevs = int(midi::MidiPortCatalog::outputs(backend_).size());
    return FNumdevs;
}

TMidiOutput::~TMidiOutput()
{
    Close();
}

void TMidiOutput::SetDeviceID(int id)
{
    if (abierto()) throw EmidioutputError("Change to DeviceID while device was open");
    const std::vector<midi::ListedPort> ports = midi::MidiPortCatalog::outputs(backend_);
    if (id >= int(ports.size())) throw EmidioutputError("Invalid device ID");
    FDeviceID = id < 0 ? -1 : id;
    if (FDeviceID < 0) {
        port_ = {};
        FProductName.clear();
        FTechnology = OutPortTech::opt_None;
        return;
    }
    port_ = ports[size_t(id)];
    FProductName = QString::fromStdString(port_.product);
    FTechnology = OutPortTech::opt_MidiPort;
}

void TMidiOutput::SetProductName(const QString& name)
{
    if (abierto()) throw EmidioutputError("Change to ProductName while device was open");
    const int id = midi::MidiPortCatalog::findProduct(midi::MidiPortCatalog::outputs(backend_), name.toStdString());
    if (id < 0) throw EmidioutputError(("MIDI output Device " + name + " not installed").toStdString());
    SetDeviceID(id);
}

void TMidiOutput::SetTechnology(OutPortTech t)
{
    if (abierto()) throw EmidioutputError("Change to Product Technology while device was open");
    if (t == OutPortTech::opt_MidiPort && !midi::MidiPortCatalog::outputs(backend_).empty()) {
        SetDeviceID(0);
        return;
    }
    throw EmidioutputError(("MIDI output technology " + TechName(t) + " not installed").toStdString());
}

void TMidiOutput::selectPort(const midi::ListedPort& port, int position)
{
    if (abierto()) throw EmidioutputError("Change to DeviceID while device was open");
    FDeviceID = position >= 0 ? position : midi::MidiPortCatalog::position(midi::MidiPortCatalog::outputs(backend_), port);
    port_ = port;
    FProductName = QString::fromStdString(port.product);
    FTechnology = OutPortTech::opt_MidiPort;
}

bool TMidiOutput::Open()
{
    if (abierto()) return true;
    if (FDeviceID < 0 && port_.rawName.empty()) {
        FError = kOpenFailed;
        lastError_ = QStringLiteral("no MIDI output device selected");
        return false;
    }
    std::string why;
    output_ = backend_.openOutput(port_.api, port_.rawIndex, port_.rawName, &why);
    if (!output_) {
        FError = kOpenFailed;
        lastError_ = QString::fromStdString(why);
        return false;
    }
    FState = MidiOutputState::mosOpen;
    falla = false;
    FError = kNoError;
    lastError_.clear();
    return true;
}

bool TMidiOutput::Close()
{
    const bool was = abierto();
    output_.reset();
    FState = MidiOutputState::mosClosed;
    return was;
}

void TMidiOutput::send(const uint8_t* bytes, size_t size)
{
    if (!output_) return;
    std::string why;
    if (output_->send(bytes, size, &why)) {
        FError = kNoError;
    } else {
        FError = kSendFailed;
        lastError_ = QString::fromStdString(why);
    }
}

void TMidiOutput::PutShort(uint8_t status, uint8_t data1, uint8_t data2)
{
    const uint8_t bytes[3] = {status, data1, data2};
    send(bytes, 3);
}

void TMidiOutput::PutLong(const uint8_t* block, int length)
{
    if (!block || length <= 0) return;
    send(block, size_t(length));
    if (Onmidioutput) Onmidioutput();
}

void TMidiOutput::PutMidiEvent(const TMyMidiEvent& event)
{
    if (!abierto()) return;
    if (event.Sysex) PutLong(event.Sysex, event.SysexLength);
    else PutShort(event.MidiMessage, event.Data1, event.Data2);
}

void TMidiOutput::SetVolume(uint16_t, uint16_t) {}

QString TMidiOutput::TechName(OutPortTech t)
{
    switch (t) {
    case OutPortTech::opt_None: return QStringLiteral("None");
    case OutPortTech::opt_MidiPort: return QStringLiteral("MIDI Port");
    case OutPortTech::opt_Synth: return QStringLiteral("Generic Synth");
    case OutPortTech::opt_SQSynth: return QStringLiteral("Square Wave Synth");
    case OutPortTech::opt_FMSynth: return QStringLiteral("FM Synth");
    case OutPortTech::opt_Mapper: return QStringLiteral("MIDI Mapper");
    }
    return {};
}
