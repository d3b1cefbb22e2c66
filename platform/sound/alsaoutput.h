// An ALSA PCM played through PortAudio: a float stream at the rate asked for, with the
// period and buffer asked for.
#pragma once

#include <atomic>

#include <portaudio.h>

#include "platform/sound/outputdevice.h"

namespace sound {

class AlsaOutput : public OutputDevice {
public:
    explicit AlsaOutput(const DeviceEntry& entry) : OutputDevice(entry) {}
    ~AlsaOutput() override { close(); }

    Error open(int rate, int periodMs, int bufferMs) override;
    Error start() override;
    Error stop() override;
    void close() override;
    bool isOpen() const override { return stream_ != nullptr; }
    bool lost() const override;

private:
    static int callback(const void* in, void* out, unsigned long frames, const PaStreamCallbackTimeInfo* time,
                        PaStreamCallbackFlags flags, void* self);
    static void finished(void* self);

    PaStream* stream_ = nullptr;
    bool started_ = false;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> ended_{false};
};

}  // namespace sound
