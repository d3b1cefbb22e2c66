// A bounded ring of stereo frames fed by a producer on one clock and read by a mixer on
// another. The reader starts once the ring holds a quarter of its capacity (after creation,
// a reset, or running dry), a cushion against both clocks' jitter, and gives silence until
// then; it keeps the fill near where it started by dropping or repeating one whole frame per
// block. A full ring drops its oldest frames.
#pragma once

#include <vector>

#include "platform/sound/stream.h"

namespace sound {

class PushStream : public Stream {
public:
    PushStream(int rate, int channels, unsigned flags, int capacityFrames);

    std::int64_t positionFrames() const override { return consumed_; }
    bool seekFrames(std::int64_t frame) override;
    int bytesPerFrame() const override { return channels * 2; }

    int push(const float* stereo, int frames);
    int queued() const { return count_; }
    // holds enough for the reader to start, or the reader has started
    bool ready() const { return primed_ || count_ >= startLevel(); }

    const int channels;
    const int capacity;
    std::int64_t dropped = 0;   // frames dropped (overflow or drift)
    std::int64_t repeated = 0;  // frames repeated (drift)

protected:
    int produce(float* out, int n) override;

private:
    void take(float* out, int n);
    int startLevel() const { return capacity / 4; }
    std::vector<float> ring_;
    int head_ = 0;   // oldest frame
    int count_ = 0;
    std::int64_t consumed_ = 0;
    bool primed_ = false;  // the reader has started since the ring was last empty
    int level_ = 0;        // the fill it started at
    float last_[2] = {0, 0};
};

}  // namespace sound
