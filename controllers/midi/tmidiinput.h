// A MIDI input port: MidiInput1 (the first controller's, TMidiInput) or MidiInput2 (the second's,
// TMidiInput2); one class serves both, told apart by `controller`. It selects a device of the
// port list, opens it, and while open and started copies every short message into the shared
// input ring, except a control change (and a program change on channels 1 to 8) whose data byte
// 1 has its filter flag set. Of each twin only the port object made last receives messages.
//
// The callback runs on the MIDI service's thread: it reads only atomics and the ring.
#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <QString>

#include "controllers/midi/tmymidievent.h"
#include "platform/midi/midibackend.h"
#include "platform/midi/midiportcatalog.h"

class MidiInputRing;

enum class MidiInputState { misOpen, misClosed, misCreating, misDestroying };

class EMidiInputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TMidiInput {
public:
    // result codes of the last call (Error)
    static constexpr int kNoError = 0, kOpenFailed = 1, kBadDeviceId = 2;

    TMidiInput(midi::Backend& backend, MidiInputRing& ring, int controller);
    // The same, counting the ports of a list the caller has just read.
    TMidiInput(midi::Backend& backend, MidiInputRing& ring, int controller,
               const std::vector<midi::ListedPort>& ports);
    ~TMidiInput();
    TMidiInput(const TMidiInput&) = delete;
    TMidiInput& operator=(const TMidiInput&) = delete;

    // ---- device: a position in the input port list (MidiPortCatalog::inputs)
    void SetDeviceID(int id);  // EMidiInputError while open or when no such device exists now
    // The same over a list the caller has just read (MidiPortCatalog::inputs), not read again.
    void SetDeviceID(int id, const std::vector<midi::ListedPort>& ports);
    int DeviceID() const { return FDeviceID; }
    // The first device whose product name is exactly `name`; EMidiInputError when none.
    void SetProductName(const QString& name);
    QString ProductName() const { return FProductName; }
    // Selects a port the caller found in the list; refused while open.
    // `position` is its place in a list the caller has just read; -1 reads the list again.
    void selectPort(const midi::ListedPort& port, int position = -1);

    void SetSysexBufferSize(int n);
    void SetSysexBufferCount(int n);
    void SetSysexOnly(bool on) { FSysexOnly = on; }

    // Open reports nothing: the caller learns from abierto() and lastError(). It opens the
    // selected port only while it still carries the name it was listed under.
    void Open();
    void Start();
    void Stop();
    void Close();

    // No buffered input exists here: the result stays untouched, the count is 0.
    bool GetMidiEvent(TMyMidiEvent&) const { return false; }
    int GetEventCount() const { return 0; }

    static QString MidiInErrorString(int code);
    int Error() const { return FError; }
    QString lastError() const { return lastError_; }
    bool abierto() const { return FState.load() == MidiInputState::misOpen; }
    MidiInputState state() const { return FState.load(); }
    int controller() const { return controller_; }

    // controller-number filter by data byte 1: 1 drops control changes (0xB0..0xC7) of that number
    std::array<std::atomic<uint8_t>, 128> ignore{};

    int FCapacity = 1024;  // stored only
    int FSysexBufferSize = 4096, FSysexBufferCount = 16;
    bool FSysexOnly = false;
    int FNumdevs = -1;     // input ports, counted the first time NumDevs asks (-1: not yet)
    int NumDevs();
    // The same, counted from a list the caller has just read when not counted yet.
    int NumDevs(const std::vector<midi::ListedPort>& ports);
    uint32_t FDriverVersion = 0;

private:
    static void midiInCallback(void* self, const uint8_t* bytes, size_t size);

    midi::Backend& backend_;
    MidiInputRing& ring_;
    const int controller_;
    int FDeviceID = -1;
    QString FProductName;
    midi::ListedPort port_;
    bool selected_ = false;
    std::unique_ptr<midi::Backend::Input> input_;
    std::atomic<MidiInputState> FState{MidiInputState::misCreating};
    std::atomic<bool> started_{false};
    int FError = kNoError;
    QString lastError_;

    // xMidiInput and xmidiinput2: the port each twin's callback serves
    static std::atomic<TMidiInput*> served_[2];
};

using TMidiInput2 = TMidiInput;
