// The no-sound device: a thread that pulls every stream played on it in real time, in
// periods of 10 ms, and throws the sound away (DSP taps, encoders and syncs still run).
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/sound/sound.h"

namespace sound {

class NoSoundClock {
public:
    static NoSoundClock& instance();

    void start(Handle stream);  // graph lock held by the caller
    void stop(Handle stream);
    void stopAll();

private:
    NoSoundClock() = default;
    void run();

    std::mutex m_;
    std::condition_variable cv_;
    std::vector<Handle> playing_;
    bool running_ = false;
    bool quit_ = false;
};

}  // namespace sound
