// A JACK client beside the one measured, on the same server in the same minutes. Each period
// it does a fixed count of dependent multiply-adds and, if it was given pages, reads one word
// from each of that many pages spread over a 64 MB block (as a callback that walks decoded
// tracks and delay lines does). It counts its callbacks that end past their period, by wall
// time and by its own CPU time alone. With no work it is a bare client: what happens to it
// happens to the machine, not to the code measured.
#pragma once

#include <jack/jack.h>

#include <atomic>
#include <cstdint>
#include <ctime>
#include <vector>

class JackPeer {
public:
    struct Count {
        std::uint64_t callbacks, late, lateCpu, cpuNs;
    };

    // touchPages: pages of the block read each period (0: none, and no block)
    bool open(const char* name, std::size_t touchPages = 0)
    {
        if (touchPages > 0) {
            block_.assign(std::size_t(64) << 20 >> 2, 0.5f);
            pages_ = touchPages;
        }
        jack_status_t status{};
        client_ = jack_client_open(name, JackNoStartServer, &status);
        if (!client_) return false;
        periodNs_ = 1e9 * jack_get_buffer_size(client_) / jack_get_sample_rate(client_);
        port_ = jack_port_register(client_, "out", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
        jack_set_process_callback(client_, &JackPeer::process, this);
        return port_ && jack_activate(client_) == 0;
    }
    void close()
    {
        if (client_) jack_client_close(client_);
        client_ = nullptr;
    }
    ~JackPeer() { close(); }

    // the multiply-adds each period
    void setRounds(long n) { rounds_.store(n, std::memory_order_relaxed); }
    // the rounds that take about the given CPU time on this thread
    static long roundsFor(double seconds)
    {
        const long probe = 2000000;
        const std::int64_t c0 = nowNs(CLOCK_THREAD_CPUTIME_ID);
        volatile float sink = spin(probe);
        (void)sink;
        const double per = double(nowNs(CLOCK_THREAD_CPUTIME_ID) - c0) / 1e9 / probe;
        return per > 0 ? long(seconds / per) : 0;
    }

    Count count() const { return {callbacks_.load(), late_.load(), lateCpu_.load(), cpuNs_.load()}; }

private:
    static constexpr std::size_t kPageFloats = 1024;

    static std::int64_t nowNs(clockid_t clock)
    {
        timespec ts{};
        clock_gettime(clock, &ts);
        return std::int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    }
    static float spin(long n)
    {
        float x = 1.0f;
        for (long i = 0; i < n; ++i) x = x * 0.999999f + 1e-7f;
        return x;
    }
    static int process(jack_nframes_t frames, void* self)
    {
        auto p = static_cast<JackPeer*>(self);
        const std::int64_t w0 = nowNs(CLOCK_MONOTONIC), c0 = nowNs(CLOCK_THREAD_CPUTIME_ID);
        float x = spin(p->rounds_.load(std::memory_order_relaxed));
        const std::size_t all = p->block_.size() / kPageFloats;
        for (std::size_t k = 0; k < p->pages_; ++k) {
            x += p->block_[(p->next_ % all) * kPageFloats];
            p->next_ += 7919;  // a prime stride: every page in turn, neighbours far apart
        }
        auto out = static_cast<float*>(jack_port_get_buffer(p->port_, frames));
        for (jack_nframes_t i = 0; i < frames; ++i) out[i] = x * 0.0f;
        const std::int64_t wall = nowNs(CLOCK_MONOTONIC) - w0, cpu = nowNs(CLOCK_THREAD_CPUTIME_ID) - c0;
        p->callbacks_.fetch_add(1, std::memory_order_relaxed);
        p->cpuNs_.fetch_add(std::uint64_t(cpu), std::memory_order_relaxed);
        if (double(wall) > p->periodNs_) p->late_.fetch_add(1, std::memory_order_relaxed);
        if (double(cpu) > p->periodNs_) p->lateCpu_.fetch_add(1, std::memory_order_relaxed);
        return 0;
    }

    std::atomic<long> rounds_{0};
    std::atomic<std::uint64_t> callbacks_{0}, late_{0}, lateCpu_{0}, cpuNs_{0};
    double periodNs_ = 0;
    std::vector<float> block_;
    std::size_t pages_ = 0, next_ = 0;
    jack_client_t* client_ = nullptr;
    jack_port_t* port_ = nullptr;
};
