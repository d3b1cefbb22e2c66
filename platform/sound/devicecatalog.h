// What PortAudio sees: the ALSA PCMs (outputs and inputs) and the JACK clients. A JACK
// client shows up as one device; it is listed as an output when it has playback ports.
// PortAudio reads its devices once per initialisation, so a refresh re-initialises it,
// which it can only do while no stream of ours is open.
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace sound {

enum class HostKind { Alsa, Jack };

struct DeviceEntry {
    std::string name;
    int outputChannels = 0;
    int inputChannels = 0;
    double rate = 0;            // the device's own rate (a JACK server's rate)
    double lowLatency = 0;      // seconds
    int portAudioIndex = -1;    // valid until the next refresh
};

class DeviceCatalog {
public:
    static DeviceCatalog& instance();

    // Reads the devices again. Returns false, keeping the old lists, while a stream is open
    // or when PortAudio cannot start at all.
    bool refresh();
    // Makes sure PortAudio was read once; cheap afterwards.
    bool ensureRead();

    // ALSA outputs start with "default" when it exists; JACK lists clients with playback ports.
    std::vector<DeviceEntry> outputs(HostKind kind) const;
    std::vector<DeviceEntry> inputs(HostKind kind) const;

    // Streams count themselves in and out so that a refresh does not pull PortAudio from under them.
    void streamOpened();
    void streamClosed();
    int openStreams() const;

private:
    DeviceCatalog() = default;
    ~DeviceCatalog();
    bool readLocked();

    mutable std::mutex m_;
    bool initialised_ = false;
    bool read_ = false;
    int openStreams_ = 0;
    std::vector<DeviceEntry> alsaOut_, alsaIn_, jackOut_, jackIn_;
};

}  // namespace sound
