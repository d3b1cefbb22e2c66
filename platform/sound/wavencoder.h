// Records what a stream produces into a WAV file. The stream's processor chain hands each
// block to push() on the mixing thread, which only copies it into a ring; a writer thread
// of the encoder's own drains the ring into a WavWriter, so the file's I/O never runs on an
// audio thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/sound/sound.h"
#include "platform/sound/wavwriter.h"

namespace sound {

class WavEncoder : public Processor {
public:
    explicit WavEncoder(int rate);
    ~WavEncoder() override;

    // Creates the file and starts the writer thread; false when the file cannot be created.
    bool start(const std::string& utf8Path);
    // Writes what is left in the ring, closes the file; true when every write went through.
    bool finish();
    // Writes what the ring holds now from the calling thread (never an audio thread), so that
    // an offline renderer can run ahead of the writer's pace; false once a write failed.
    bool flush();

    void process(float* frames, int frameCount, int rate) override;

    bool active() const { return running_.load() && !failed_.load(); }
    bool failed() const { return failed_.load(); }
    std::uint64_t droppedFrames() const { return dropped_.load(); }

private:
    void writerLoop();
    bool drain();

    const int rate_;
    WavWriter writer_;
    // stereo frames; relaxed atomics cost nothing here and keep the hand-over plain to checkers
    std::unique_ptr<std::atomic<std::int16_t>[]> ring_;
    std::size_t capacity_;            // frames
    std::atomic<std::uint64_t> head_{0}, tail_{0};  // frames pushed / frames taken
    std::atomic<std::uint64_t> dropped_{0};
    std::atomic<bool> running_{false}, quit_{false}, failed_{false};
    std::mutex drainMutex_;           // one drain at a time: the writer thread's or a flush
    std::vector<std::int16_t> chunk_;
    std::thread thread_;
};

}  // namespace sound
