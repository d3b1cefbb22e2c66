// The devices we can play to: the ALSA PCMs (outputs and inputs) as PortAudio sees them,
// each with the channels it really takes, and the JACK clients of the server JACK_DEFAULT_SERVER names, each client with playback
// ports one output device. PortAudio reads its devices once per initialisation, so a
// refresh re-initialises it, which it can only do while no stream of ours is open.
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace sound {

enum class HostKind { Alsa, Jack };

struct DeviceEntry {
    std::string name;
    int outputChannels = 0;     // ALSA: a card's own count; a plugin's widest declared layout, else 2
    int inputChannels = 0;
    double rate = 0;            // the device's own rate (a JACK server's rate)
    double lowLatency = 0;      // seconds
    int portAudioIndex = -1;    // valid while generation is the catalogue's
    int generation = 0;
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

    // A stream about to open on entry counts itself in, so that a refresh does not pull
    // PortAudio from under it; false when entry is from an older reading.
    bool acquireStream(const DeviceEntry& entry);
    void releaseStream();
    int openStreams() const;
    // the JACK server the lists were read from
    std::string jackServer() const;

    // The ALSA PCM behind a PortAudio device name: "card: device (hw:X,Y)" is hw:X,Y, a plugin
    // is named as it stands.
    static std::string alsaPcmName(const std::string& deviceName);

private:
    DeviceCatalog() = default;
    ~DeviceCatalog();
    bool readLocked();

    mutable std::mutex m_;
    bool initialised_ = false;
    bool read_ = false;
    int openStreams_ = 0;
    int generation_ = 0;
    std::string jackServer_;
    std::vector<DeviceEntry> alsaOut_, alsaIn_, jackOut_, jackIn_;
};

}  // namespace sound
