#include "platform/sound/alsaoutput.h"

#include <algorithm>
#include <cmath>
#include <string>

#include <alsa/asoundlib.h>

namespace sound {

namespace {

// PortAudio asserts, and so aborts the process, on some PCMs that fail to open; it only
// gets the ones that opened a moment ago.
bool pcmOpens(const std::string& deviceName)
{
    snd_pcm_t* pcm = nullptr;
    const std::string name = DeviceCatalog::alsaPcmName(deviceName);
    if (snd_pcm_open(&pcm, name.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) != 0) return false;
    snd_pcm_close(pcm);
    return true;
}

}  // namespace

Error AlsaOutput::open(int rate, int periodMs, int bufferMs)
{
    if (stream_) return Error::Ok;
    if (!pcmOpens(entry_.name)) return Error::Device;
    if (!DeviceCatalog::instance().acquireStream(entry_)) return Error::Device;

    PaStreamParameters out{};
    out.device = entry_.portAudioIndex;
    channels_ = std::clamp(entry_.outputChannels, 1, kMaxChannels);
    out.channelCount = channels_;
    out.sampleFormat = paFloat32;
    out.suggestedLatency = std::max(bufferMs, 1) / 1000.0;
    rate_ = rate > 0 ? rate : 44100;
    const auto perBuffer = (unsigned long)std::max(16L, std::lround(periodMs * rate_ / 1000.0));
    stopping_ = false;
    ended_ = false;
    if (Pa_OpenStream(&stream_, nullptr, &out, rate_, perBuffer, paDitherOff | paPrimeOutputBuffersUsingStreamCallback,
                      &AlsaOutput::callback, this) != paNoError) {
        stream_ = nullptr;
        DeviceCatalog::instance().releaseStream();
        return Error::Device;
    }
    Pa_SetStreamFinishedCallback(stream_, &AlsaOutput::finished);
    if (const PaStreamInfo* info = Pa_GetStreamInfo(stream_)) latency_ = info->outputLatency;
    period_ = int(perBuffer);
    return start();
}

Error AlsaOutput::start()
{
    if (!stream_) return Error::Init;
    if (lost()) return Error::Device;
    if (started_) return Error::Ok;
    stopping_ = false;
    ended_ = false;
    if (Pa_StartStream(stream_) != paNoError) return Error::Device;
    started_ = true;
    return Error::Ok;
}

Error AlsaOutput::stop()
{
    if (!stream_) return Error::Init;
    if (!started_) return Error::Ok;
    stopping_ = true;
    PaError e = Pa_StopStream(stream_);
    started_ = false;
    return e == paNoError ? Error::Ok : Error::Device;
}

void AlsaOutput::close()
{
    if (!stream_) return;
    stopping_ = true;
    if (started_) Pa_AbortStream(stream_);
    started_ = false;
    Pa_CloseStream(stream_);
    stream_ = nullptr;
    DeviceCatalog::instance().releaseStream();
}

bool AlsaOutput::lost() const
{
    if (!stream_ || !started_) return false;
    return ended_.load() || Pa_IsStreamActive(stream_) != 1;
}

int AlsaOutput::callback(const void*, void* out, unsigned long frames, const PaStreamCallbackTimeInfo*,
                         PaStreamCallbackFlags, void* self)
{
    static_cast<AlsaOutput*>(self)->render(static_cast<float*>(out), int(frames));
    return paContinue;
}

void AlsaOutput::finished(void* self)
{
    auto d = static_cast<AlsaOutput*>(self);
    if (!d->stopping_.load()) d->ended_ = true;
}

}  // namespace sound
