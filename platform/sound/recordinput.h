// A PortAudio input stream that hands every captured block to a callback on PortAudio's
// thread. Closed by the control thread outside the graph lock, since the callback may call
// into the graph (pushing into a bus, say).
#pragma once

#include <atomic>

#include <portaudio.h>

#include "platform/sound/devicecatalog.h"
#include "platform/sound/sound.h"

namespace sound {

class RecordInput {
public:
    RecordInput(RecordCallback callback, int channels);
    ~RecordInput();
    RecordInput(const RecordInput&) = delete;
    RecordInput& operator=(const RecordInput&) = delete;

    Error open(const DeviceEntry& entry, int rate, bool paused);
    void setHandle(Handle h) { handle_ = h; }
    void pause(bool paused) { paused_ = paused; }
    // The callback stops being called; the stream stays open until close().
    void detach() { done_ = true; }
    void close();
    bool running() const { return stream_ && !done_.load(); }

private:
    static int callback(const void* in, void* out, unsigned long frames, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags, void* self);

    RecordCallback callback_;
    const int channels_;
    PaStream* stream_ = nullptr;
    std::atomic<Handle> handle_{0};
    std::atomic<bool> paused_{false}, done_{false};
};

}  // namespace sound
