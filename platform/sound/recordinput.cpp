#include "platform/sound/recordinput.h"

#include <algorithm>
#include <utility>

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
    if (Pa_OpenStream(&stream_, &in, nullptr, rate, paFramesPerBufferUnspecified, paNoFlag,
                      &RecordInput::callback, this) != paNoError) {
        stream_ = nullptr;
        DeviceCatalog::instance().releaseStream();
        return Error::Device;
    }
    if (Pa_StartStream(stream_) != paNoError) {
        close();
        return Error::Device;
    }
    return Error::Ok;
}

void RecordInput::close()
{
    if (!stream_) return;
    done_ = true;
    Pa_AbortStream(stream_);
    Pa_CloseStream(stream_);
    stream_ = nullptr;
    DeviceCatalog::instance().releaseStream();
}

int RecordInput::callback(const void* in, void*, unsigned long frames, const PaStreamCallbackTimeInfo*,
                          PaStreamCallbackFlags, void* self)
{
    auto r = static_cast<RecordInput*>(self);
    if (r->done_.load(std::memory_order_acquire)) return paComplete;
    if (r->paused_.load(std::memory_order_relaxed) || !in) return paContinue;
    if (!r->callback_(r->handle_.load(std::memory_order_relaxed), static_cast<const float*>(in), int(frames))) {
        r->done_ = true;
        return paComplete;
    }
    return paContinue;
}

}  // namespace sound
