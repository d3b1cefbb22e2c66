// One physical output device: a single stream of the host (an ALSA PCM through PortAudio,
// or a JACK client of our own) whose callback sums every logical output routed to it.
// Routes live in fixed slots, each one atomic word, so the callback reads a route whole and
// never waits for the control thread.
//
// The host stream is stopped and closed only by the control thread and never while it holds
// the graph lock: the callback takes that lock (through renderFloat) and the host waits for
// the callback when it stops a stream.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/sound/devicecatalog.h"
#include "platform/sound/sound.h"

namespace sound {

class OutputDevice {
public:
    static constexpr int kMaxRoutes = 32;
    static constexpr int kMaxChannels = 32;
    static constexpr int kScratchFrames = 1024;

    enum class Mode { Stereo, Mono };  // Stereo: channels first, first+1; Mono: channel first

    explicit OutputDevice(const DeviceEntry& entry) : entry_(entry) {}
    virtual ~OutputDevice() = default;
    OutputDevice(const OutputDevice&) = delete;
    OutputDevice& operator=(const OutputDevice&) = delete;

    // Opens and starts the stream; Error::Ok or why not.
    virtual Error open(int rate, int periodMs, int bufferMs) = 0;
    virtual Error start() = 0;
    virtual Error stop() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // the stream stopped without being asked to: the device went away
    virtual bool lost() const = 0;

    int rate() const { return rate_; }
    int channels() const { return channels_; }

    // A slot for stream (of streamChannels, 1 or 2) or -1 when full or out of channels.
    int addRoute(Handle stream, int streamChannels, int first, Mode mode, bool paused);
    void removeRoute(int slot);
    void pauseRoute(int slot, bool paused);

    void stats(DeviceStats& out) const;

protected:
    // The callback's work: mixes every route into out (interleaved, channels_ wide) and
    // keeps the figures of getDeviceStats.
    void render(float* out, int frames);

    const DeviceEntry entry_;
    int rate_ = 0;
    int channels_ = 0;
    // JACK changes these on its thread when the server's period changes; stats() reads them
    std::atomic<double> latency_{0};
    std::atomic<int> period_{0};

private:
    void mix(float* out, int frames);

    std::atomic<std::uint64_t> routes_[kMaxRoutes] = {};
    float scratch_[kScratchFrames * 2] = {};
    std::atomic<std::uint64_t> callbacks_{0}, late_{0}, lateCpu_{0}, frames_{0}, cpuNs_{0}, wallNs_{0};
};

}  // namespace sound
