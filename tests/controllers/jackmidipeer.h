// A JACK client standing for a MIDI controller: it sends the messages queued by send() from its
// "out" port (as many per period as the port's buffer takes, in order) and keeps what reaches its
// "in" port. Both directions cross the process thread through JACK's lock-free ring buffers.
#pragma once

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include <array>
#include <atomic>
#include <chrono>
#include <thread>
#include <cstdint>
#include <string>
#include <vector>

class JackMidiPeer {
public:
    using Message = std::array<uint8_t, 3>;

    // `perPeriod` limits the messages sent in one period (0: as many as the port's buffer takes).
    explicit JackMidiPeer(const std::string& name, int perPeriod = 0) : perPeriod_(perPeriod)
    {
        toSend_ = jack_ringbuffer_create(1 << 20);
        received_ = jack_ringbuffer_create(1 << 16);
        client_ = jack_client_open(name.c_str(), jack_options_t(JackNoStartServer | JackUseExactName), nullptr);
        if (!client_) return;
        in_ = jack_port_register(client_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        out_ = jack_port_register(client_, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
        jack_set_process_callback(client_, &JackMidiPeer::process, this);
        jack_set_xrun_callback(client_, [](void* self) { ++static_cast<JackMidiPeer*>(self)->xruns_; return 0; }, this);
        if (!in_ || !out_ || jack_activate(client_) != 0) {
            jack_client_close(client_);
            client_ = nullptr;
        }
    }
    ~JackMidiPeer()
    {
        if (client_) jack_client_close(client_);
        jack_ringbuffer_free(toSend_);
        jack_ringbuffer_free(received_);
    }

    bool ok() const { return client_ != nullptr; }
    // periods the server reported as late since the client started
    int xruns() const { return xruns_.load(); }

    // True once both ports are connected and three of our process cycles have run since (a
    // connection takes effect at a cycle boundary, which a server that is running late reaches
    // later than the wall clock says; what is sent before it is lost).
    bool waitConnected(int timeoutMs = 5000)
    {
        uint64_t from = 0;
        bool connected = false;
        for (int waited = 0; waited < timeoutMs; waited += 2) {
            if (!connected && jack_port_connected(in_) > 0 && jack_port_connected(out_) > 0) {
                connected = true;
                from = cycles_.load();
            }
            if (connected && cycles_.load() >= from + 3) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    // Queued at once; they go out from the next period on.
    bool send(const std::vector<Message>& messages)
    {
        const size_t bytes = messages.size() * 3;
        if (jack_ringbuffer_write_space(toSend_) < bytes) return false;
        for (const Message& m : messages) jack_ringbuffer_write(toSend_, reinterpret_cast<const char*>(m.data()), 3);
        return true;
    }

    // Every message that reached "in" since the last call.
    std::vector<Message> received()
    {
        std::vector<Message> out;
        Message m;
        while (jack_ringbuffer_read_space(received_) >= 3) {
            jack_ringbuffer_read(received_, reinterpret_cast<char*>(m.data()), 3);
            out.push_back(m);
        }
        return out;
    }

private:
    static int process(jack_nframes_t frames, void* self)
    {
        auto* p = static_cast<JackMidiPeer*>(self);
        p->cycles_.fetch_add(1, std::memory_order_relaxed);
        void* inBuf = jack_port_get_buffer(p->in_, frames);
        const jack_nframes_t n = jack_midi_get_event_count(inBuf);
        for (jack_nframes_t i = 0; i < n; ++i) {
            jack_midi_event_t e;
            if (jack_midi_event_get(&e, inBuf, i) != 0 || e.size != 3) continue;
            if (jack_ringbuffer_write_space(p->received_) >= 3)
                jack_ringbuffer_write(p->received_, reinterpret_cast<const char*>(e.buffer), 3);
        }
        void* outBuf = jack_port_get_buffer(p->out_, frames);
        jack_midi_clear_buffer(outBuf);
        Message m;
        for (int sent = 0; jack_ringbuffer_read_space(p->toSend_) >= 3 && (p->perPeriod_ == 0 || sent < p->perPeriod_); ++sent) {
            jack_ringbuffer_peek(p->toSend_, reinterpret_cast<char*>(m.data()), 3);
            jack_midi_data_t* slot = jack_midi_event_reserve(outBuf, 0, 3);
            if (!slot) break;  // the port's buffer is full: the rest goes next period
            std::copy(m.begin(), m.end(), slot);
            jack_ringbuffer_read_advance(p->toSend_, 3);
        }
        return 0;
    }

    const int perPeriod_;
    jack_client_t* client_ = nullptr;
    jack_port_t* in_ = nullptr;
    jack_port_t* out_ = nullptr;
    jack_ringbuffer_t* toSend_ = nullptr;
    jack_ringbuffer_t* received_ = nullptr;
    std::atomic<int> xruns_{0};
    std::atomic<uint64_t> cycles_{0};
};
