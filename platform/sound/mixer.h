// Sums its sources, each taken at its own Freq and resampled (linear) to the mixer's rate,
// with its Volume and Pan applied per frame and an optional fade-in when it was added.
#pragma once

#include <vector>

#include "platform/sound/stream.h"

namespace sound {

class Mixer : public Stream {
public:
    Mixer(int rate, int channels, unsigned flags);
    ~Mixer() override;

    std::int64_t positionFrames() const override { return produced_; }
    bool seekFrames(std::int64_t frame) override;
    void resetBuffers() override;
    int bytesPerFrame() const override { return channels * 2; }
    int outChannels() const override { return channels; }

    bool add(Stream* s, unsigned sourceFlags, std::vector<float> buffer = {});
    static std::vector<float> slotBuffer();  // a source slot's block, built before the lock
    void removeSource(Stream* s);  // also while mixing: the slot is cleared and compacted later
    bool replaceSource(Stream* old, Stream* with);  // in the same slot, its buffer kept
    std::vector<Stream*> sources() const;

    const int channels;

protected:
    int produce(float* out, int n) override;
    bool atEnd() const override { return false; }

private:
    struct Source {
        Stream* s = nullptr;
        double frac = 0;       // read position inside buf, in source frames
        int avail = 0;         // frames in buf
        int ramp = 0;          // frames of fade-in left
        std::vector<float> buf;
    };
    int resample(Source& src, float* out, int n);
    void compact();

    std::vector<Source> src_;
    std::vector<float> tmp_;
    std::int64_t produced_ = 0;
    int mixing_ = 0;
};

}  // namespace sound
