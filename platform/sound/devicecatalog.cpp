#include "platform/sound/devicecatalog.h"

#include <algorithm>

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <portaudio.h>

#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace sound {

namespace {

// Probing every PCM and a missing JACK server make both libraries talk on stderr.
void alsaQuiet(const char*, int, const char*, int, const char*, ...) {}
void jackQuiet(const char*) {}

constexpr const char* kOurClient = "ostrelkorvanta";

// Past this a PCM takes any channel count: ALSA states such a range up to about 2^30.
constexpr unsigned kAnyCount = 1024;

// The channels a PCM takes in one direction, -1 when it does not open now. A card states its
// range: its maximum. A plugin that converts (plug, file, null, a sound server's) takes any
// count: it has as many as the widest speaker layout it declares, 2 when it declares none.
// PortAudio cannot tell them apart: it gives the maximum, capped at 128.
int alsaChannels(const std::string& pcm, snd_pcm_stream_t direction)
{
    snd_pcm_t* p = nullptr;
    if (snd_pcm_open(&p, pcm.c_str(), direction, SND_PCM_NONBLOCK) != 0) return -1;
    unsigned most = 0;
    snd_pcm_hw_params_t* hw = nullptr;
    if (snd_pcm_hw_params_malloc(&hw) == 0) {
        if (snd_pcm_hw_params_any(p, hw) < 0 || snd_pcm_hw_params_get_channels_max(hw, &most) != 0) most = 0;
        snd_pcm_hw_params_free(hw);
    }
    int channels = most > 0 && most <= kAnyCount ? int(most) : -1;
    if (most > kAnyCount) {
        channels = 2;
        if (snd_pcm_chmap_query_t** maps = snd_pcm_query_chmaps(p)) {
            unsigned widest = 0;
            for (int i = 0; maps[i]; ++i) widest = std::max(widest, maps[i]->map.channels);
            snd_pcm_free_chmaps(maps);
            if (widest > 0 && widest <= kAnyCount) channels = int(widest);
        }
    }
    snd_pcm_close(p);
    return channels;
}

// PortAudio's count for a PCM that would not open for us: its cap means any count.
int honestChannels(const std::string& pcm, snd_pcm_stream_t direction, int portAudio)
{
    if (portAudio <= 0) return 0;
    const int own = alsaChannels(pcm, direction);
    return own > 0 ? own : portAudio >= 128 ? 2 : portAudio;
}

// One entry per client with ports of the given direction, in the server's order.
void listJack(jack_client_t* c, unsigned long flags, std::vector<DeviceEntry>& out, double rate, double latency)
{
    const char** ports = jack_get_ports(c, nullptr, JACK_DEFAULT_AUDIO_TYPE, flags);
    for (int i = 0; ports && ports[i]; ++i) {
        const char* colon = std::strchr(ports[i], ':');
        if (!colon) continue;
        std::string client(ports[i], colon);
        if (client.rfind(kOurClient, 0) == 0) continue;
        auto it = std::find_if(out.begin(), out.end(), [&](const DeviceEntry& e) { return e.name == client; });
        if (it == out.end()) {
            DeviceEntry e;
            e.name = client;
            e.rate = rate;
            e.lowLatency = latency;
            out.push_back(e);
            it = out.end() - 1;
        }
        if (flags & JackPortIsInput) ++it->outputChannels;
        else ++it->inputChannels;
    }
    if (ports) jack_free(ports);
}

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

    // PortAudio is kept off JACK: pointed at a server that does not exist while it starts
    const char* env = std::getenv("JACK_DEFAULT_SERVER");
    jackServer_ = env ? env : "default";
    const std::string nowhere = std::string(kOurClient) + "-no-server-" + std::to_string(getpid());
    setenv("JACK_DEFAULT_SERVER", nowhere.c_str(), 1);
    const PaError paErr = Pa_Initialize();
    if (env) setenv("JACK_DEFAULT_SERVER", jackServer_.c_str(), 1);
    else unsetenv("JACK_DEFAULT_SERVER");
    if (paErr != paNoError) return false;
    initialised_ = true;
    read_ = true;
    ++generation_;

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
        e.generation = generation_;
        if (h->type == paALSA) {
            const std::string pcm = alsaPcmName(e.name);
            e.outputChannels = honestChannels(pcm, SND_PCM_STREAM_PLAYBACK, e.outputChannels);
            e.inputChannels = honestChannels(pcm, SND_PCM_STREAM_CAPTURE, e.inputChannels);
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
        }
    }

    jack_status_t status{};
    if (jack_client_t* c = jack_client_open((std::string(kOurClient) + "-list").c_str(),
                                            jack_options_t(JackNoStartServer | JackServerName), &status,
                                            jackServer_.c_str())) {
        const double rate = jack_get_sample_rate(c);
        const double latency = rate > 0 ? jack_get_buffer_size(c) / rate : 0;
        listJack(c, JackPortIsInput, jackOut, rate, latency);
        listJack(c, JackPortIsOutput, jackIn, rate, latency);
        jack_client_close(c);
        for (auto& e : jackOut) e.generation = generation_;
        for (auto& e : jackIn) e.generation = generation_;
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

bool DeviceCatalog::acquireStream(const DeviceEntry& entry)
{
    std::lock_guard<std::mutex> l(m_);
    if (!initialised_ || entry.generation != generation_) return false;
    ++openStreams_;
    return true;
}

void DeviceCatalog::releaseStream()
{
    std::lock_guard<std::mutex> l(m_);
    if (openStreams_ > 0) --openStreams_;
}

std::string DeviceCatalog::alsaPcmName(const std::string& deviceName)
{
    const auto open = deviceName.rfind("(hw:");
    if (open != std::string::npos && deviceName.back() == ')')
        return deviceName.substr(open + 1, deviceName.size() - open - 2);
    return deviceName;
}

std::string DeviceCatalog::jackServer() const
{
    std::lock_guard<std::mutex> l(m_);
    return jackServer_;
}

int DeviceCatalog::openStreams() const
{
    std::lock_guard<std::mutex> l(m_);
    return openStreams_;
}

}  // namespace sound
