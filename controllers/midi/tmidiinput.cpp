#include "controllers/midi/tmidiinput.h"

#include "controllers/midi/midiinputring.h"

std::atomic<TMidiInput*> TMidiInput::served_[2] = {nullptr, nullptr};

TMidiInput::TMidiInput(midi::Backend& backend, MidiInputRing& ring, int controller)
    : backend_(backend), ring_(ring), controller_(controller == 2 ? 2 : 1)
{
    FState = MidiInputState::misClosed;
    served_[controller_ - 1].store(this);
}

TMidiInput::TMidiInput(midi::Backend& backend, MidiInputRing& ring, int controller,
                       const std::vector<midi::ListedPort>& ports)
    : TMidiInput(backend, ring, controller)
{
    FNumdevs = int(ports.size());
}

// Listing the ports opens the MIDI systems' clients: done when the count is first needed, not
// each time the port objects are made.
int TMidiInput::NumDevs()
{
    if (FNumdevs < 0) FNumdevs = int(midi::MidiPortCatalog::inputs(backend_).size());
    return FNumdevs;
}

int TMidiInput::NumDevs(const std::vector<midi::ListedPort>& ports)
{
    if (FNumdevs < 0) FNumdevs = int(ports.size());
    return FNumdevs;
}

TMidiInput::~TMidiInput()
{
    FState = MidiInputState::misDestroying;
    input_.reset();
    TMidiInput* self = this;
    served_[controller_ - 1].compare_exchange_strong(self, nullptr);
}

void TMidiInput::SetDeviceID(int id)
{
    if (abierto()) throw EMidiInputError("Change to DeviceID while device was open");
    SetDeviceID(id, midi::MidiPortCatalog::inputs(backend_));
}

void TMidiInput::SetDeviceID(int id, const std::vector<midi::ListedPort>& ports)
{
    if (abierto()) throw EMidiInputError("Change to DeviceID while device was open");
    if (id < 0 || id >= int(ports.size())) throw EMidiInputError("Invalid device ID");
    port_ = ports[size_t(id)];
    selected_ = true;
    FDeviceID = id;
    FProductName = QString::fromStdString(port_.product);
}

void TMidiInput::SetProductName(const QString& name)
{
    if (abierto()) throw EMidiInputError("Change to ProductName while device was open");
    const int id = midi::MidiPortCatalog::findProduct(midi::MidiPortCatalog::inputs(backend_), name.toStdString());
    if (id < 0) throw EMidiInputError(("MIDI Input Device " + name + " not installed ").toStdString());
    SetDeviceID(id);
}

void TMidiInput::selectPort(const midi::ListedPort& port, int position)
{
    if (abierto()) throw EMidiInputError("Change to DeviceID while device was open");
    FDeviceID = position >= 0 ? position : midi::MidiPortCatalog::position(midi::MidiPortCatalog::inputs(backend_), port);
    port_ = port;
    selected_ = true;
    FProductName = QString::fromStdString(port.product);
}

void TMidiInput::SetSysexBufferSize(int n)
{
    if (abierto()) throw EMidiInputError("Change to SysexBufferSize while device was open");
    FSysexBufferSize = n;
}

void TMidiInput::SetSysexBufferCount(int n)
{
    if (abierto()) throw EMidiInputError("Change to SysexBuffercount while device was open");
    FSysexBufferCount = n;
}

void TMidiInput::Open()
{
    if (abierto()) return;
    if (!selected_) {
        FError = kBadDeviceId;
        lastError_ = MidiInErrorString(FError);
        return;
    }
    std::string why;
    input_ = backend_.openInput(port_.api, port_.rawIndex, port_.rawName, &TMidiInput::midiInCallback, this, &why);
    if (!input_) {
        FError = kOpenFailed;
        lastError_ = QString::fromStdString(why);
        FState = MidiInputState::misClosed;
        return;
    }
    FError = kNoError;
    lastError_.clear();
    FState = MidiInputState::misOpen;
}

void TMidiInput::Start()
{
    if (abierto()) started_ = true;
}

void TMidiInput::Stop()
{
    if (abierto()) started_ = false;
}

void TMidiInput::Close()
{
    if (!abierto()) return;
    FState = MidiInputState::misClosed;
    started_ = false;
    input_.reset();  // returns once no callback runs
}

QString TMidiInput::MidiInErrorString(int code)
{
    switch (code) {
    case kNoError: return QStringLiteral("No error");
    case kOpenFailed: return QStringLiteral("The MIDI device could not be opened");
    case kBadDeviceId: return QStringLiteral("Invalid device ID");
    default: return QStringLiteral("Specified error number is out of range");
    }
}

void TMidiInput::midiInCallback(void* self, const uint8_t* bytes, size_t size)
{
    auto* port = static_cast<TMidiInput*>(self);
    if (size == 0 || size > 3 || bytes[0] == 0xF0 || bytes[0] == 0xF7) return;  // never system exclusive
    if (served_[port->controller_ - 1].load(std::memory_order_acquire) != port) return;
    if (port->FState.load(std::memory_order_acquire) != MidiInputState::misOpen) return;
    if (!port->started_.load(std::memory_order_acquire)) return;
    MidiRingMessage m;
    m.arrivalNs = MidiInputRing::nowNs();
    m.controller = uint8_t(port->controller_);
    m.status = bytes[0];
    m.data1 = size > 1 ? bytes[1] : 0;
    m.data2 = size > 2 ? bytes[2] : 0;
    if (m.status >= 0xB0 && m.status <= 0xC7 && m.data1 < 128 &&
        port->ignore[m.data1].load(std::memory_order_relaxed) == 1)
        return;
    port->ring_.push(m);
}
