// A PortAudio input stream that hands every captured block to a callback on PortAudio's
// thread. Closed by the control thread outside the graph lock, since the callback may call
// into the graph (pushing into a bus, say).
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include <portaudio.h>

#include "platform/sound/devicecatalog.h"
#include "platform/sound/sound.h"

namespace sound {

class WavEncoder;

class RecordInput {
public:
    RecordInput(RecordCallback callback, int channels);
    ~RecordInput();
    RecordInput(const RecordInput&) = delete;
    RecordInput& operator=(const RecordInput&) = delete;

    Error open(const DeviceEntry& entry, int rate, bool paused);
    void setHandle(Handle h) { handle_ = h; }
    // A recording opened paused starts capturing at its first unpause (false when the
    // device will not start then); paused later, it runs on and drops what it captures.
    bool pause(bool paused);
    // The callback stops being called; the stream stays open until close().
    void detach() { done_ = true; }
    void close();
    bool running() const { return stream_ && !done_.load(); }
    int rate() const { return rate_; }

    // An encoder that takes each block captured while not paused, before the callback sees
    // it; one at a time. Detached, it takes nothing more but stays alive until close(), since
    // the input's thread may still be inside it. Control thread only.
    void attachEncoder(std::shared_ptr<WavEncoder> encoder);
    void detachEncoder();

private:
    static int callback(const void* in, void* out, unsigned long frames, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags, void* self);

    static constexpr int kChunk = 1024;  // frames handed to the encoder at a time
    void encode(const float* in, unsigned long frames);

    RecordCallback callback_;
    const int channels_;
    int rate_ = 0;
    std::atomic<WavEncoder*> encoder_{nullptr};
    std::vector<std::shared_ptr<WavEncoder>> encoders_;  // attached since open, kept for the thread
    std::vector<float> stereo_;                          // the block as the encoder takes it
    PaStream* stream_ = nullptr;
    bool started_ = false;
    std::atomic<Handle> handle_{0};
    std::atomic<bool> paused_{false}, done_{false};
};

}  // namespace sound
