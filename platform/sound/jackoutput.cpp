#include "platform/sound/jackoutput.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include <jack/jack.h>

namespace sound {

namespace {

// every client's late periods, summed over the process's life
std::atomic<std::uint64_t> xruns{0}, lateStarts{0};

std::int64_t monotonicNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

}  // namespace

JackLateness jackLateness()
{
    JackLateness l;
    l.xruns = xruns.load(std::memory_order_relaxed);
    l.lateStarts = lateStarts.load(std::memory_order_relaxed);
    return l;
}

Error JackOutput::open(int, int, int)
{
    if (client_) return Error::Ok;
    if (!DeviceCatalog::instance().acquireStream(entry_)) return Error::Device;
    jack_status_t status{};
    client_ = jack_client_open("ostrelkorvanta", jack_options_t(JackNoStartServer | JackServerName), &status,
                               server_.c_str());
    if (!client_) {
        DeviceCatalog::instance().releaseStream();
        return Error::Device;
    }
    gone_ = false;
    rate_ = int(jack_get_sample_rate(client_));
    channels_ = std::clamp(entry_.outputChannels, 1, kMaxChannels);
    period_ = int(jack_get_buffer_size(client_));
    latency_ = double(period_) / rate_;
    mix_.assign(size_t(period_) * size_t(channels_), 0.0f);
    for (int i = 0; i < channels_; ++i) {
        jack_port_t* p = jack_port_register(client_, ("out_" + std::to_string(i + 1)).c_str(), JACK_DEFAULT_AUDIO_TYPE,
                                            JackPortIsOutput, 0);
        if (!p) {
            close();
            return Error::Device;
        }
        ports_.push_back(p);
    }
    jack_set_process_callback(client_, &JackOutput::process, this);
    jack_set_buffer_size_callback(client_, &JackOutput::bufferSize, this);
    jack_on_info_shutdown(client_, &JackOutput::shutdown, this);
    jack_set_xrun_callback(client_, &JackOutput::xrun, this);
    lastStartNs_ = 0;
    running_ = true;
    if (jack_activate(client_) != 0) {
        close();
        return Error::Device;
    }
    // the device's playback ports, in the server's order
    const char** targets = jack_get_ports(client_, ("^" + entry_.name + ":").c_str(), JACK_DEFAULT_AUDIO_TYPE,
                                          JackPortIsInput);
    int connected = 0;
    for (int i = 0; targets && targets[i] && i < channels_; ++i)
        if (jack_connect(client_, jack_port_name(ports_[size_t(i)]), targets[i]) == 0) ++connected;
    if (targets) jack_free(targets);
    if (connected == 0) {
        // the client went away since the device list was read
        close();
        return Error::Device;
    }
    return Error::Ok;
}

Error JackOutput::start()
{
    if (!client_) return Error::Init;
    if (gone_) return Error::Device;
    running_ = true;
    return Error::Ok;
}

Error JackOutput::stop()
{
    if (!client_) return Error::Init;
    running_ = false;
    return Error::Ok;
}

void JackOutput::close()
{
    if (!client_) return;
    running_ = false;
    if (!gone_) jack_deactivate(client_);
    jack_client_close(client_);
    client_ = nullptr;
    ports_.clear();
    DeviceCatalog::instance().releaseStream();
}

int JackOutput::process(unsigned frames, void* self)
{
    auto d = static_cast<JackOutput*>(self);
    const std::int64_t now = monotonicNs(), last = d->lastStartNs_.exchange(now, std::memory_order_relaxed);
    if (last != 0 && double(now - last) > 1.5e9 * frames / d->rate_) lateStarts.fetch_add(1, std::memory_order_relaxed);
    // First: open() handed ports_ and mix_ over through jack_activate, which is not ours to see;
    // this acquire pairs with the store to running_ made after them.
    const bool running = d->running_.load(std::memory_order_acquire);
    const size_t chans = d->ports_.size();
    const bool play = running && frames * chans <= d->mix_.size();
    if (play) d->render(d->mix_.data(), int(frames));
    for (size_t c = 0; c < chans; ++c) {
        auto out = static_cast<float*>(jack_port_get_buffer(d->ports_[c], frames));
        if (!play) {
            std::memset(out, 0, sizeof(float) * frames);
            continue;
        }
        const float* in = d->mix_.data() + c;
        for (unsigned i = 0; i < frames; ++i, in += chans) out[i] = *in;
    }
    return 0;
}

// JACK calls this while no process() runs
int JackOutput::bufferSize(unsigned frames, void* self)
{
    auto d = static_cast<JackOutput*>(self);
    d->mix_.assign(size_t(frames) * d->ports_.size(), 0.0f);
    d->period_ = int(frames);
    d->latency_ = double(frames) / d->rate_;
    return 0;
}

// on JACK's notification thread
int JackOutput::xrun(void*)
{
    xruns.fetch_add(1, std::memory_order_relaxed);
    return 0;
}

void JackOutput::shutdown(jack_status_t, const char*, void* self)
{
    static_cast<JackOutput*>(self)->gone_ = true;
}

}  // namespace sound
