#include "platform/sound/tempostream.h"

#include <algorithm>
#include <cmath>

#include <soundtouch/SoundTouch.h>

namespace sound {

TempoStream::TempoStream(int r, unsigned f)
    : Stream(Kind::Tempo, r, f | Decode), st_(std::make_unique<soundtouch::SoundTouch>()),
      in_(std::size_t(kMaxBlock) * 2)
{
    st_->setSampleRate(uint(std::max(1, r)));
    st_->setChannels(2);
    st_->setSetting(SETTING_USE_QUICKSEEK, 1);
    st_->setSetting(SETTING_USE_AA_FILTER, 0);
    st_->setTempo(1.0);
    // SoundTouch grows its sample buffers as it is fed: feed it here, on the thread building
    // the stream, so that the audio thread's first renders neither allocate nor fault pages in
    for (int i = 0; i < 2; ++i) {
        st_->putSamples(in_.data(), uint(kMaxBlock));
        while (st_->receiveSamples(in_.data(), uint(kMaxBlock)) > 0) {}
    }
    st_->clear();
}

void TempoStream::attach(Stream* src)
{
    source = src;
    src->owner = this;
    if (src->rate != rate) {
        rate = src->rate;
        freq.set(float(rate));
        st_->setSampleRate(uint(std::max(1, rate)));
    }
    delivered_ = double(src->positionFrames());
}

TempoStream::~TempoStream() = default;

void TempoStream::setTempo(float percent)
{
    tempo = std::clamp(percent, -95.0f, 5000.0f);
    st_->setTempo(1.0 + double(tempo) / 100.0);
}

std::int64_t TempoStream::positionFrames() const
{
    std::int64_t p = std::llround(delivered_);
    std::int64_t len = lengthFrames();
    if (p < 0) p = 0;
    if (len >= 0 && p > len) p = len;
    return p;
}

bool TempoStream::seekFrames(std::int64_t frame)
{
    if (!source || !source->seek(frame))
        return false;
    resetBuffers();
    return true;
}

std::int64_t TempoStream::outputFramesTo(std::int64_t sourceFrames) const
{
    // the first output frame whose reported position reaches the sync's: the position is
    // delivered_ rounded, so half a frame early counts
    const double ahead = (delivered_ - double(std::llround(delivered_))) * double(source->direction());
    const double k = std::ceil((double(sourceFrames) - ahead - 0.5) / ratio());
    return std::max<std::int64_t>(1, std::int64_t(k));
}

void TempoStream::resetBuffers()
{
    st_->clear();
    if (source)
        delivered_ = double(source->positionFrames());
    flushed_ = false;
    sourceEnded_ = false;
}

int TempoStream::produce(float* out, int n)
{
    if (!source)
        return 0;
    int guard = 0;
    while (int(st_->numSamples()) < n && !flushed_ && guard++ < 64) {
        int want = std::clamp(int(std::ceil(n * ratio())) + 64, 256, kMaxBlock);
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
    delivered_ += double(source->direction()) * double(got) * ratio();
    return got;
}

bool TempoStream::atEnd() const
{
    return flushed_ && st_->numSamples() == 0;
}

}  // namespace sound
