#include "devicecatalog.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <pa_jack.h>
#include <portaudio.h>

namespace sound {

namespace {

// Probing every PCM and a missing JACK server make both libraries talk on stderr.
void alsaQuiet(const char*, int, const char*, int, const char*, ...) {}
void jackQuiet(const char*) {}

}  // namespace

DeviceCatalog& DeviceCatalog::instance()
{
    static DeviceCatalog catalog;
    return catalog;
}

DeviceCatalog::~DeviceCatalog()
{
    std::lock_guard<std::mutex> l(m_);
    if (initialised_ && openStreams_ == 0) Pa_Terminate();
}

bool DeviceCatalog::refresh()
{
    std::lock_guard<std::mutex> l(m_);
    if (openStreams_ > 0) return false;
    return readLocked();
}

bool DeviceCatalog::ensureRead()
{
    std::lock_guard<std::mutex> l(m_);
    if (read_) return true;
    if (openStreams_ > 0) return false;
    return readLocked();
}

bool DeviceCatalog::readLocked()
{
    if (initialised_) {
        Pa_Terminate();
        initialised_ = false;
    }
    snd_lib_error_set_handler(alsaQuiet);
    jack_set_error_function(jackQuiet);
    jack_set_info_function(jackQuiet);
    PaJack_SetClientName("ostrelkorvanta");
    if (Pa_Initialize() != paNoError) return false;
    initialised_ = true;
    read_ = true;

    std::vector<DeviceEntry> alsaOut, alsaIn, jackOut, jackIn;
    const int count = Pa_GetDeviceCount();
    for (int i = 0; i < count; ++i) {
        const PaDeviceInfo* d = Pa_GetDeviceInfo(i);
        const PaHostApiInfo* h = d ? Pa_GetHostApiInfo(d->hostApi) : nullptr;
        if (!h) continue;
        DeviceEntry e;
        e.name = d->name ? d->name : "";
        e.outputChannels = d->maxOutputChannels;
        e.inputChannels = d->maxInputChannels;
        e.rate = d->defaultSampleRate;
        e.portAudioIndex = i;
        if (h->type == paALSA) {
            if (e.outputChannels > 0) {
                e.lowLatency = d->defaultLowOutputLatency;
                if (e.name == "default") alsaOut.insert(alsaOut.begin(), e);
                else alsaOut.push_back(e);
            }
            if (e.inputChannels > 0) {
                e.lowLatency = d->defaultLowInputLatency;
                if (e.name == "default") alsaIn.insert(alsaIn.begin(), e);
                else alsaIn.push_back(e);
            }
        } else if (h->type == paJACK) {
            if (e.outputChannels > 0) { e.lowLatency = d->defaultLowOutputLatency; jackOut.push_back(e); }
            if (e.inputChannels > 0) { e.lowLatency = d->defaultLowInputLatency; jackIn.push_back(e); }
        }
    }
    alsaOut_ = std::move(alsaOut);
    alsaIn_ = std::move(alsaIn);
    jackOut_ = std::move(jackOut);
    jackIn_ = std::move(jackIn);
    return true;
}

std::vector<DeviceEntry> DeviceCatalog::outputs(HostKind kind) const
{
    std::lock_guard<std::mutex> l(m_);
    return kind == HostKind::Alsa ? alsaOut_ : jackOut_;
}

std::vector<DeviceEntry> DeviceCatalog::inputs(HostKind kind) const
{
    std::lock_guard<std::mutex> l(m_);
    return kind == HostKind::Alsa ? alsaIn_ : jackIn_;
}

void DeviceCatalog::streamOpened()
{
    std::lock_guard<std::mutex> l(m_);
    ++openStreams_;
}

void DeviceCatalog::streamClosed()
{
    std::lock_guard<std::mutex> l(m_);
    if (openStreams_ > 0) --openStreams_;
}

int DeviceCatalog::openStreams() const
{
    std::lock_guard<std::mutex> l(m_);
    return openStreams_;
}

}  // namespace sound
