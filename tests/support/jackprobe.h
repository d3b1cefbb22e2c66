// A JACK client with input ports that records what reaches them, counting in samples:
// connect() wires it to another client's output ports, frames() tells how much came in.
// Cycles the server ran without it (an overloaded server skips clients) and cycles after an
// xrun (stale sound possible) are gaps in what it took: gaps() tells where.
#pragma once

#include <jack/jack.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

class JackProbe {
public:
    JackProbe(const std::string& name, int ports, size_t capacityFrames)
        : capacity_(capacityFrames), data_(ports, std::vector<float>(capacityFrames))
    {
        client_ = jack_client_open(name.c_str(), JackNoStartServer, nullptr);
        if (!client_) return;
        for (int i = 0; i < ports; ++i)
            ports_.push_back(jack_port_register(client_, ("in_" + std::to_string(i + 1)).c_str(),
                                                JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0));
        jack_set_process_callback(client_, &JackProbe::process, this);
        jack_set_xrun_callback(client_, &JackProbe::xrun, this);
        if (jack_activate(client_) != 0) {
            jack_client_close(client_);
            client_ = nullptr;
        }
    }
    ~JackProbe()
    {
        if (client_) jack_client_close(client_);
    }

    // A probe that opened, tried a few times: under load a client can time out while it opens.
    static std::unique_ptr<JackProbe> open(const std::string& name, int ports, size_t capacityFrames)
    {
        for (int i = 0; i < 10; ++i) {
            auto p = std::make_unique<JackProbe>(name, ports, capacityFrames);
            if (p->ok()) return p;
            usleep(300000);
        }
        return nullptr;
    }

    bool ok() const { return client_ != nullptr; }
    int rate() const { return client_ ? int(jack_get_sample_rate(client_)) : 0; }

    // Connects the output ports of `client` (in name order) to ours; the number connected.
    int connectFrom(const std::string& client)
    {
        const char** names = jack_get_ports(client_, ("^" + client + ":").c_str(), JACK_DEFAULT_AUDIO_TYPE,
                                            JackPortIsOutput);
        int n = 0;
        for (; names && names[n] && n < int(ports_.size()); ++n)
            jack_connect(client_, names[n], jack_port_name(ports_[n]));
        if (names) jack_free(names);
        return n;
    }

    // Starts counting from the next period on; until then frames() is 0. Only the process
    // callback moves the count, so a period under way cannot undo the restart.
    void restart() { restart_.store(true); }
    size_t frames() const { return restart_.load() ? 0 : frames_.load(); }
    const std::vector<float>& channel(int i) const { return data_[size_t(i)]; }
    // where (in frames taken) the gaps lie, since the last restart
    std::vector<size_t> gaps() const
    {
        const size_t n = std::min(gapCount_.load(), gapAt_.size());
        return std::vector<size_t>(gapAt_.begin(), gapAt_.begin() + std::ptrdiff_t(n));
    }

private:
    static int process(jack_nframes_t n, void* self)
    {
        auto p = static_cast<JackProbe*>(self);
        const bool fresh = p->restart_.load();
        size_t at = fresh ? 0 : p->frames_.load();
        const jack_nframes_t now = jack_last_frame_time(p->client_);
        if (fresh) {
            p->gapCount_.store(0);
        } else if (now != p->last_ + n) {
            p->markGap(at);
        }
        p->last_ = now;
        if (p->xruns_.exchange(0) > 0) p->markGap(at);
        const size_t take = std::min<size_t>(n, p->capacity_ - at);
        for (size_t c = 0; c < p->ports_.size(); ++c) {
            auto in = static_cast<const float*>(jack_port_get_buffer(p->ports_[c], n));
            std::copy(in, in + take, p->data_[c].begin() + std::ptrdiff_t(at));
        }
        p->frames_.store(at + take);
        if (fresh) p->restart_.store(false);
        return 0;
    }

    // a late client of the server's (ours or another) may have left stale sound in this cycle
    static int xrun(void* self)
    {
        static_cast<JackProbe*>(self)->xruns_.fetch_add(1);
        return 0;
    }
    void markGap(size_t at)
    {
        const size_t g = gapCount_.load();
        if (g < gapAt_.size()) gapAt_[g] = at;
        gapCount_.store(g + 1);
    }

    jack_client_t* client_ = nullptr;
    std::vector<jack_port_t*> ports_;
    size_t capacity_;
    std::vector<std::vector<float>> data_;
    std::atomic<size_t> frames_{0};
    std::atomic<bool> restart_{false};
    jack_nframes_t last_ = 0;  // the frame time of the last cycle taken
    std::array<size_t, 256> gapAt_{};
    std::atomic<size_t> gapCount_{0};
    std::atomic<int> xruns_{0};
};
