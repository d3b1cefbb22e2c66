// e2e_midisend: a JACK MIDI port that sends what it is told, standing for a controller.
//
//   e2e_midisend --name N
//       Registers N:out and N:in (a controller's two directions: the program takes a controller
//       only with an output of the same name; what reaches N:in, the lights, is dropped) and
//       prints "ready". Reads lines from standard input:
//         "B0 08 7F"   three hex bytes: one message, sent in the next period
//         "wait MS"    a pause before the next message
//         "connected"  prints "connected" once something listens to N:out (waits up to 10 s,
//                      else prints "not connected")
//         "sync"       prints "sent" once every message before it has left
//       Ends at the end of its input, after the last message has left.
#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

namespace {

struct Sender {
    jack_client_t* client = nullptr;
    jack_port_t* out = nullptr;
    jack_port_t* in = nullptr;
    jack_ringbuffer_t* queue = nullptr;
    std::atomic<uint64_t> queued{0}, sent{0};

    static int process(jack_nframes_t n, void* self)
    {
        auto* s = static_cast<Sender*>(self);
        void* buf = jack_port_get_buffer(s->out, n);
        jack_midi_clear_buffer(buf);
        std::array<unsigned char, 3> m;
        while (jack_ringbuffer_read_space(s->queue) >= 3) {
            jack_ringbuffer_peek(s->queue, reinterpret_cast<char*>(m.data()), 3);
            jack_midi_data_t* slot = jack_midi_event_reserve(buf, 0, 3);
            if (!slot) break;
            std::copy(m.begin(), m.end(), slot);
            jack_ringbuffer_read_advance(s->queue, 3);
            s->sent.fetch_add(1);
        }
        return 0;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    std::string name = "e2e_midi";
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--name") name = argv[i + 1];
    Sender s;
    s.queue = jack_ringbuffer_create(1 << 16);
    s.client = jack_client_open(name.c_str(), jack_options_t(JackNoStartServer | JackUseExactName), nullptr);
    if (!s.client) {
        std::fprintf(stderr, "e2e_midisend: no JACK server\n");
        return 1;
    }
    s.out = jack_port_register(s.client, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    s.in = jack_port_register(s.client, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(s.client, &Sender::process, &s);
    if (!s.out || !s.in || jack_activate(s.client) != 0) {
        std::fprintf(stderr, "e2e_midisend: cannot activate\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    auto waitSent = [&] {
        for (int i = 0; i < 1000 && s.sent.load() < s.queued.load(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };
    for (std::string line; std::getline(std::cin, line);) {
        std::istringstream in(line);
        std::string word;
        if (!(in >> word)) continue;
        if (word == "wait") {
            int ms = 0;
            in >> ms;
            waitSent();
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        } else if (word == "connected") {
            bool ok = false;
            for (int i = 0; i < 1000 && !ok; ++i) {
                ok = jack_port_connected(s.out) > 0;
                if (!ok) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            std::printf(ok ? "connected\n" : "not connected\n");
            std::fflush(stdout);
        } else if (word == "sync") {
            waitSent();
            std::printf("sent\n");
            std::fflush(stdout);
        } else {
            unsigned char m[3];
            m[0] = static_cast<unsigned char>(std::strtoul(word.c_str(), nullptr, 16));
            std::string b1, b2;
            in >> b1 >> b2;
            m[1] = static_cast<unsigned char>(std::strtoul(b1.c_str(), nullptr, 16));
            m[2] = static_cast<unsigned char>(std::strtoul(b2.c_str(), nullptr, 16));
            if (jack_ringbuffer_write_space(s.queue) >= 3) {
                jack_ringbuffer_write(s.queue, reinterpret_cast<const char*>(m), 3);
                s.queued.fetch_add(1);
            }
        }
    }
    waitSent();
    // a period for the last message to reach its reader
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    jack_client_close(s.client);
    jack_ringbuffer_free(s.queue);
    return 0;
}
