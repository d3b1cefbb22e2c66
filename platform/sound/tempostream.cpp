#include "platform/sound/tempostream.h"

#include <algorithm>
#include <cmath>

#include <soundtouch/SoundTouch.h>

namespace sound {

TempoStream::TempoStream(Stream* src, unsigned f)
    : Stream(Kind::Tempo, src->rate, f | Decode), st_(std::make_unique<soundtouch::SoundTouch>()),
      in_(std::size_t(kMaxBlock) * 2)
{
    source = src;
    src->owner = this;
    st_->setSampleRate(uint(std::max(1, src->rate)));
    st_->setChannels(2);
    st_->setSetting(SETTING_USE_QUICKSEEK, 1);
    st_->setSetting(SETTING_USE_AA_FILTER, 0);
    st_->setTempo(1.0);
}

TempoStream::~TempoStream() = default;

void TempoStream::setTempo(float percent)
{
    tempo = std::clamp(percent, -95.0f, 5000.0f);
    st_->setTempo(1.0 + double(tempo) / 100.0);
}

std::int64_t TempoStream::positionFrames() const
{
    double ratio = 1.0 + double(tempo) / 100.0;
    double held = double(st_->numUnprocessedSamples()) + double(st_->numSamples()) * ratio;
    std::int64_t p = source->positionFrames() - source->direction() * std::int64_t(std::llround(held));
    std::int64_t len = source->lengthFrames();
    if (p < 0) p = 0;
    if (len >= 0 && p > len) p = len;
    return p;
}

bool TempoStream::seekFrames(std::int64_t frame)
{
    if (!source->seek(frame))
        return false;
    resetBuffers();
    return true;
}

void TempoStream::resetBuffers()
{
    st_->clear();
    flushed_ = false;
    sourceEnded_ = false;
}

int TempoStream::produce(float* out, int n)
{
    int guard = 0;
    while (int(st_->numSamples()) < n && !flushed_ && guard++ < 64) {
        double ratio = 1.0 + double(tempo) / 100.0;
        int want = std::clamp(int(std::ceil(n * ratio)) + 64, 256, kMaxBlock);
        int got = source->read(in_.data(), want);
        if (got > 0) {
            sourceEnded_ = false;
            st_->putSamples(in_.data(), uint(got));
        } else {
            sourceEnded_ = true;
            st_->flush();
            flushed_ = true;
        }
    }
    int got = int(st_->receiveSamples(out, uint(n)));
    return got;
}

bool TempoStream::atEnd() const
{
    return flushed_ && st_->numSamples() == 0;
}

}  // namespace sound
