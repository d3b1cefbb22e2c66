// Tempo change at constant pitch over its source, by SoundTouch. The reported position is
// the source frame being heard: the source's position less what SoundTouch still holds.
#pragma once

#include <memory>
#include <vector>

#include "platform/sound/stream.h"

namespace soundtouch { class SoundTouch; }

namespace sound {

class TempoStream : public Stream {
public:
    TempoStream(Stream* src, unsigned flags);
    ~TempoStream() override;

    std::int64_t positionFrames() const override;
    bool seekFrames(std::int64_t frame) override;
    std::int64_t lengthFrames() const override { return source->lengthFrames(); }
    int direction() const override { return source->direction(); }
    void resetBuffers() override;

    void setTempo(float percent);
    float tempo = 0;

protected:
    int produce(float* out, int n) override;
    bool atEnd() const override;

private:
    std::unique_ptr<soundtouch::SoundTouch> st_;
    std::vector<float> in_;
    bool flushed_ = false;
    bool sourceEnded_ = false;
};

}  // namespace sound
