// Plays its source forward or backward from the source's current position. Backward it
// reads the frames just before the position and hands them out in descending order; it
// keeps no block of its own, so a seek has nothing to flush.
#pragma once

#include <vector>

#include "platform/sound/stream.h"

namespace sound {

class ReverseStream : public Stream {
public:
    ReverseStream(Stream* src, unsigned flags);
    ReverseStream(int rate, unsigned flags);  // no source yet: attach() gives it one
    void attach(Stream* src);

    std::int64_t positionFrames() const override { return source->positionFrames(); }
    bool seekFrames(std::int64_t frame) override { return source->seek(frame); }
    std::int64_t lengthFrames() const override { return source->lengthFrames(); }
    int direction() const override { return dir; }
    void resetBuffers() override { source->resetBuffers(); }

    int dir = 1;

protected:
    int produce(float* out, int n) override;
    bool atEnd() const override;

private:
    std::vector<float> tmp_;
};

}  // namespace sound
