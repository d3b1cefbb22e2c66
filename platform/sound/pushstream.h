// A bounded ring of stereo frames fed by a producer on one clock and read by a mixer on
// another. The reader keeps the fill near the middle by dropping or repeating one whole
// frame per block; a full ring drops its oldest frames; an empty ring gives silence until it
// holds a quarter of its capacity again.
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

    const int channels;
    const int capacity;
    std::int64_t dropped = 0;   // frames dropped (overflow or drift)
    std::int64_t repeated = 0;  // frames repeated (drift)

protected:
    int produce(float* out, int n) override;

private:
    void take(float* out, int n);
    std::vector<float> ring_;
    int head_ = 0;   // oldest frame
    int count_ = 0;
    std::int64_t consumed_ = 0;
    bool refilling_ = true;  // empty or ran dry: silence until a quarter is queued
    float last_[2] = {0, 0};
};

}  // namespace sound
