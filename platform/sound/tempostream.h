// Tempo change at constant pitch over its source, by SoundTouch. The reported position is
// that of the sound delivered: where the source was at the last seek or reset, advanced by
// each frame delivered times the tempo ratio (source frames per output frame).
#pragma once

#include <memory>
#include <vector>

#include "platform/sound/stream.h"

namespace soundtouch { class SoundTouch; }

namespace sound {

class TempoStream : public Stream {
public:
    TempoStream(int rate, unsigned flags);  // no source yet: attach() gives it one
    void attach(Stream* src);
    ~TempoStream() override;

    std::int64_t positionFrames() const override;
    bool seekFrames(std::int64_t frame) override;
    std::int64_t lengthFrames() const override { return source ? source->lengthFrames() : 0; }
    int direction() const override { return source ? source->direction() : 1; }
    void resetBuffers() override;

    void setTempo(float percent);
    float tempo = 0;
    double ratio() const { return 1.0 + double(tempo) / 100.0; }
    std::int64_t outputFramesTo(std::int64_t sourceFrames) const override;

protected:
    int produce(float* out, int n) override;
    bool atEnd() const override;

private:
    std::unique_ptr<soundtouch::SoundTouch> st_;
    std::vector<float> in_;
    double delivered_ = 0;  // source frame of the sound delivered
    bool flushed_ = false;
    bool sourceEnded_ = false;
};

}  // namespace sound
