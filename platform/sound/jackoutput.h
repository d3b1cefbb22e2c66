// A JACK "device": one client of ours with as many output ports as the target client has
// playback ports, wired to them in order. It runs at the server's rate and period. A
// server that goes away calls us back; the device then reports itself lost.
//
// Every client of ours counts its late periods into the process's totals (jackLateness):
// the xruns the server reports to it, and the callbacks that begin more than one and a half
// periods after the one before.
//
// libjack directly rather than PortAudio's JACK host. Once its server has gone away, that
// one aborts the process when it is re-initialised (it asserts that closing its client
// succeeded), and re-initialising is how PortAudio lists devices again; and stopping or
// closing one of its streams then waits ten minutes for a callback that never comes.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include <jack/types.h>

#include "platform/sound/outputdevice.h"


namespace sound {

class JackOutput : public OutputDevice {
public:
    JackOutput(const DeviceEntry& entry, std::string server) : OutputDevice(entry), server_(std::move(server)) {}
    ~JackOutput() override { close(); }

    Error open(int rate, int periodMs, int bufferMs) override;
    Error start() override;
    Error stop() override;
    void close() override;
    bool isOpen() const override { return client_ != nullptr; }
    bool lost() const override { return client_ && gone_.load(); }

private:
    static int process(unsigned frames, void* self);
    static int bufferSize(unsigned frames, void* self);
    static void shutdown(jack_status_t code, const char* reason, void* self);
    static int xrun(void* self);

    const std::string server_;
    jack_client_t* client_ = nullptr;
    std::vector<jack_port_t*> ports_;
    std::vector<float> mix_;  // interleaved, resized only while process() cannot run
    std::atomic<bool> running_{false}, gone_{false};
    std::atomic<std::int64_t> lastStartNs_{0};  // CLOCK_MONOTONIC; 0 before the first callback
};

}  // namespace sound
