#include "platform/sound/recordinput.h"

#include <algorithm>
#include <utility>

#include "platform/sound/wavencoder.h"

namespace sound {

RecordInput::RecordInput(RecordCallback callback, int channels)
    : callback_(std::move(callback)), channels_(std::clamp(channels, 1, 2))
{
}

RecordInput::~RecordInput() { close(); }

Error RecordInput::open(const DeviceEntry& entry, int rate, bool paused)
{
    if (stream_) return Error::Busy;
    if (!DeviceCatalog::instance().acquireStream(entry)) return Error::Device;
    PaStreamParameters in{};
    in.device = entry.portAudioIndex;
    in.channelCount = channels_;
    in.sampleFormat = paFloat32;
    in.suggestedLatency = entry.lowLatency;
    paused_ = paused;
    done_ = false;
    rate_ = rate;
    if (Pa_OpenStream(&stream_, &in, nullptr, rate, paFramesPerBufferUnspecified, paNoFlag,
                      &RecordInput::callback, this) != paNoError) {
        stream_ = nullptr;
        DeviceCatalog::instance().releaseStream();
        return Error::Device;
    }
    started_ = false;
    if (!paused && !pause(false)) {
        close();
        return Error::Device;
    }
    return Error::Ok;
}

bool RecordInput::pause(bool paused)
{
    paused_ = paused;
    if (paused || started_ || !stream_) return true;
    started_ = Pa_StartStream(stream_) == paNoError;
    return started_;
}

void RecordInput::close()
{
    if (!stream_) return;
    done_ = true;
    if (started_) Pa_AbortStream(stream_);
    started_ = false;
    Pa_CloseStream(stream_);
    stream_ = nullptr;
    DeviceCatalog::instance().releaseStream();
    encoder_ = nullptr;
    encoders_.clear();
}

void RecordInput::attachEncoder(std::shared_ptr<WavEncoder> encoder)
{
    if (stereo_.empty()) stereo_.resize(kChunk * 2);
    encoder_ = encoder.get();
    encoders_.push_back(std::move(encoder));
}

void RecordInput::detachEncoder() { encoder_ = nullptr; }

void RecordInput::encode(const float* in, unsigned long frames)
{
    WavEncoder* e = encoder_.load(std::memory_order_acquire);
    if (!e) return;
    for (unsigned long done = 0; done < frames;) {
        const int n = int(std::min<unsigned long>(frames - done, kChunk));
        const float* src = in + done * unsigned(channels_);
        for (int i = 0; i < n; ++i) {
            stereo_[2 * size_t(i)] = src[i * channels_];
            stereo_[2 * size_t(i) + 1] = src[i * channels_ + channels_ - 1];
        }
        e->process(stereo_.data(), n, rate_);
        done += unsigned(n);
    }
}

int RecordInput::callback(const void* in, void*, unsigned long frames, const PaStreamCallbackTimeInfo*,
                          PaStreamCallbackFlags, void* self)
{
    auto r = static_cast<RecordInput*>(self);
    if (r->done_.load(std::memory_order_acquire)) return paComplete;
    if (r->paused_.load(std::memory_order_relaxed) || !in) return paContinue;
    r->encode(static_cast<const float*>(in), frames);
    if (!r->callback_(r->handle_.load(std::memory_order_relaxed), static_cast<const float*>(in), int(frames))) {
        r->done_ = true;
        return paComplete;
    }
    return paContinue;
}

}  // namespace sound
