// The sound processing of one effect on float stereo frames. A control thread sets
// parameters and asks for resets at any time; process() runs on the audio thread and
// neither allocates, blocks nor does I/O.
#pragma once

#include <atomic>

namespace sound {

class EffectKernel {
public:
    explicit EffectKernel(double rate) : rate_(rate > 0 ? rate : 44100) {}
    virtual ~EffectKernel() = default;
    EffectKernel(const EffectKernel&) = delete;
    EffectKernel& operator=(const EffectKernel&) = delete;

    // interleaved left/right, in place
    void process(float* stereo, int frames)
    {
        if (resetPending_.exchange(false, std::memory_order_acq_rel)) clear();
        if (frames > 0) run(stereo, frames);
    }

    // Forgets the sound it holds (delay lines, filter states, sweep phase) before the next block.
    void reset() { resetPending_.store(true, std::memory_order_release); }

    double rate() const { return rate_; }

protected:
    virtual void run(float* stereo, int frames) = 0;
    virtual void clear() = 0;

    // channel -1 means every channel; 0 left, 1 right
    static bool applies(int channel, int c) { return channel < 0 || channel == c; }

    const double rate_;

private:
    std::atomic<bool> resetPending_{false};
};

}  // namespace sound
