#include "devicecatalog.h"

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
