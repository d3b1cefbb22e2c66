// A MIDI output port: MidiOutput1 and MidiOutput2. It selects a device of the output port list,
// opens it and sends short messages and system exclusive blocks from the UI thread; a message for
// a closed port is dropped. Device -1 is no device (there is no system MIDI mapper here).
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include <QString>

#include "controllers/midi/tmymidievent.h"
#include "platform/midi/midibackend.h"
#include "platform/midi/midiportcatalog.h"

enum class MidiOutputState { mosOpen, mosClosed };
enum class OutPortTech { opt_None, opt_MidiPort, opt_Synth, opt_SQSynth, opt_FMSynth, opt_Mapper };

class EmidioutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TMidiOutput {
public:
    static constexpr int kNoError = 0, kSendFailed = 1, kOpenFailed = 2;

    explicit TMidiOutput(midi::Backend& backend);
    // The same, counting the ports of a list the caller has just read.
    TMidiOutput(midi::Backend& backend, const std::vector<midi::ListedPort>& ports);
    ~TMidiOutput();
    TMidiOutput(const TMidiOutput&) = delete;
    TMidiOutput& operator=(const TMidiOutput&) = delete;

    // ---- device: a position in the output port list (MidiPortCatalog::outputs), or -1 for none
    void SetDeviceID(int id);  // EmidioutputError while open or at or above the device count
    int DeviceID() const { return FDeviceID; }
    void SetProductName(const QString& name);
    QString ProductName() const { return FProductName; }
    // The first device from -1 on whose technology is `t`: every port here is a MIDI port.
    void SetTechnology(OutPortTech t);
    // `position` is its place in a list the caller has just read; -1 reads the list again.
    void selectPort(const midi::ListedPort& port, int position = -1);

    // True when the port opened; false (and lastError) otherwise, the port stays closed.
    bool Open();
    // True when the port was open.
    bool Close();

    // The short message status, data1, data2; a failure is kept in Error.
    void PutShort(uint8_t status, uint8_t data1, uint8_t data2);
    // A system exclusive block (or any bytes); then Onmidioutput when bound.
    void PutLong(const uint8_t* block, int length);
    // Sends the event's block when it has one, else its short message; nothing while closed.
    void PutMidiEvent(const TMyMidiEvent& event);
    // Linux MIDI ports have no volume: nothing happens.
    void SetVolume(uint16_t high, uint16_t low);

    static QString TechName(OutPortTech t);

    bool abierto() const { return FState == MidiOutputState::mosOpen; }
    int Error() const { return FError; }
    QString lastError() const { return lastError_; }

    std::function<void()> Onmidioutput;  // on the UI thread after a block went out
    MidiOutputState FState = MidiOutputState::mosClosed;
    OutPortTech FTechnology = OutPortTech::opt_None;
    bool falla = false;
    int FNumdevs = -1;  // output ports, counted the first time NumDevs asks (-1: not yet)
    int NumDevs();

private:
    void send(const uint8_t* bytes, size_t size);

    midi::Backend& backend_;
    int FDeviceID = -1;
    QString FProductName;
    midi::ListedPort port_;
    std::unique_ptr<midi::Backend::Output> output_;
    int FError = kNoError;
    QString lastError_;
};
