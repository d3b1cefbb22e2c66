#include "platform/midi/jackmidiports.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <thread>

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

namespace midi::jack {

namespace {

jack_client_t* openClient(const char* role)
{
    jack_status_t status{};
    return jack_client_open((std::string(kOurClient) + " midi " + role).c_str(), JackNoStartServer, &status);
}

std::vector<std::string> listed(jack_client_t* c, unsigned long flags)
{
    std::vector<std::string> out;
    if (const char** ports = jack_get_ports(c, nullptr, JACK_DEFAULT_MIDI_TYPE, flags)) {
        for (const char** p = ports; *p; ++p) out.emplace_back(*p);
        jack_free(ports);
    }
    return out;
}

// A client with one MIDI port, connected to the port named `name`. The server refuses the
// connection when no such port is there (or it runs the other way), which is all the check a
// port gone since it was listed needs. The subclass's process callback runs from activation
// until deactivation, which each subclass's own destructor calls (close()), so no cycle runs on
// an object half destroyed.
class Client {
public:
    virtual ~Client() { close(); }

protected:
    // Opens, registers "in" or "out", activates and connects; false and the reason in *error.
    bool open(bool input, const std::string& name, std::string* error)
    {
        const auto fail = [&](const std::string& why) {
            if (error) *error = why;
            close();
            return false;
        };
        client_ = openClient(input ? "in" : "out");
        if (!client_) return fail("the JACK server is not running");
        port_ = jack_port_register(client_, input ? "in" : "out", JACK_DEFAULT_MIDI_TYPE,
                                   input ? JackPortIsInput : JackPortIsOutput, 0);
        if (!port_) return fail("JACK could not make a MIDI port for " + name);
        jack_set_process_callback(client_, &Client::process, this);
        jack_on_shutdown(client_, [](void* self) { static_cast<Client*>(self)->serverGone_.store(true); }, this);
        if (jack_activate(client_) != 0) return fail("JACK could not start the MIDI port for " + name);
        active_ = true;
        const std::string ours = jack_port_name(port_);
        const int r = input ? jack_connect(client_, name.c_str(), ours.c_str())
                            : jack_connect(client_, ours.c_str(), name.c_str());
        if (r != 0 && r != EEXIST) return fail("the port " + name + " is gone");
        return true;
    }

    // Deactivation returns once the process callback has ended and will not be called again.
    void close()
    {
        if (!client_) return;
        if (active_) jack_deactivate(client_);
        active_ = false;
        jack_client_close(client_);
        client_ = nullptr;
        port_ = nullptr;
    }

    virtual void cycle(void* buffer) = 0;

    bool serverGone() const { return serverGone_.load(); }
    int64_t cycles() const { return cycles_.load(std::memory_order_acquire); }

private:
    static int process(jack_nframes_t frames, void* self)
    {
        auto* c = static_cast<Client*>(self);
        c->cycle(jack_port_get_buffer(c->port_, frames));
        c->cycles_.fetch_add(1, std::memory_order_release);
        return 0;
    }

    jack_client_t* client_ = nullptr;
    jack_port_t* port_ = nullptr;
    bool active_ = false;
    std::atomic<bool> serverGone_{false};
    std::atomic<int64_t> cycles_{0};
};

// The bytes of a short event (0 for a longer one). An event lies in memory the sending client
// wrote in its own process cycle; jackd orders the two cycles through its shared graph, which the
// thread sanitizer cannot see, so port memory is read here only.
__attribute__((noinline)) size_t copyJackMidiEvent(const jack_midi_event_t& e, uint8_t out[3])
{
    if (e.size > 3) return 0;
    for (size_t i = 0; i < e.size; ++i) out[i] = e.buffer[i];
    return e.size;
}

class Input final : public Backend::Input, private Client {
public:
    Input(Backend::InputCallback callback, void* user) : callback_(callback), user_(user) {}
    ~Input() override { close(); }

    bool start(const std::string& name, std::string* error) { return open(true, name, error); }

private:
    // Every short message with its status byte; system exclusive and stray data bytes are left out.
    void cycle(void* buffer) override
    {
        const jack_nframes_t n = jack_midi_get_event_count(buffer);
        for (jack_nframes_t i = 0; i < n; ++i) {
            jack_midi_event_t e;
            if (jack_midi_event_get(&e, buffer, i) != 0) continue;
            uint8_t bytes[3];
            const size_t size = copyJackMidiEvent(e, bytes);
            if (size < 1 || !(bytes[0] & 0x80) || bytes[0] == 0xF0 || bytes[0] == 0xF7) continue;
            callback_(user_, bytes, size);
        }
    }

    const Backend::InputCallback callback_;
    void* const user_;
};

class Output final : public Backend::Output, private Client {
public:
    Output() : ring_(jack_ringbuffer_create(kRingBytes)) {}

    // What was sent goes out first: the ring empties and two more periods pass, so the last
    // messages have been read by the port they went to. A server that stopped or stalls is not
    // waited for beyond kDrainLimit.
    ~Output() override
    {
        const auto until = std::chrono::steady_clock::now() + kDrainLimit;
        while (!serverGone() && std::chrono::steady_clock::now() < until &&
               (jack_ringbuffer_read_space(ring_) > 0 ||
                cycles() < lastMoveCycle_.load(std::memory_order_acquire) + 2))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        close();
        jack_ringbuffer_free(ring_);
    }

    bool start(const std::string& name, std::string* error)
    {
        if (!ring_) {
            if (error) *error = "out of memory for a MIDI output";
            return false;
        }
        return open(false, name, error);
    }

    // A full ring means the server is not taking messages; it gets kFullLimit to make room.
    bool send(const uint8_t* bytes, size_t size, std::string* error) override
    {
        const auto fail = [&](const char* why) {
            if (error) *error = why;
            return false;
        };
        if (size == 0) return true;
        const uint32_t n = uint32_t(size);
        if (size + sizeof n > kRingBytes - 1) return fail("the MIDI message is too long for a JACK port");
        const auto until = std::chrono::steady_clock::now() + kFullLimit;
        while (jack_ringbuffer_write_space(ring_) < sizeof n + size) {
            if (serverGone()) return fail("the JACK server has stopped");
            if (std::chrono::steady_clock::now() >= until) return fail("the JACK MIDI output is not draining");
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (serverGone()) return fail("the JACK server has stopped");
        // the reader takes a message only once its header and body are both there
        jack_ringbuffer_write(ring_, reinterpret_cast<const char*>(&n), sizeof n);
        jack_ringbuffer_write(ring_, reinterpret_cast<const char*>(bytes), size);
        return true;
    }

private:
    // Whole messages in order, as many as the port's buffer takes; the rest waits for the next period.
    void cycle(void* buffer) override
    {
        jack_midi_clear_buffer(buffer);
        bool moved = false;
        uint32_t n = 0;
        while (jack_ringbuffer_peek(ring_, reinterpret_cast<char*>(&n), sizeof n) == sizeof n &&
               jack_ringbuffer_read_space(ring_) >= sizeof n + n) {
            jack_midi_data_t* slot = jack_midi_event_reserve(buffer, 0, n);
            if (!slot && moved) break;
            if (!slot) {
                // too long even for an empty port buffer (a server whose MIDI buffers are small):
                // left in the ring it would hold up every message behind it
                jack_ringbuffer_read_advance(ring_, sizeof n + n);
                continue;
            }
            jack_ringbuffer_read_advance(ring_, sizeof n);
            jack_ringbuffer_read(ring_, reinterpret_cast<char*>(slot), n);
            moved = true;
        }
        if (moved) lastMoveCycle_.store(cycles(), std::memory_order_release);
    }

    static constexpr size_t kRingBytes = 16384;
    static constexpr std::chrono::milliseconds kDrainLimit{250};
    static constexpr std::chrono::milliseconds kFullLimit{100};
    jack_ringbuffer_t* const ring_;
    std::atomic<int64_t> lastMoveCycle_{-2};
};

}  // namespace

// A client of its own for each look: one kept open would outlive a server restarted under it
// and hold libjack's view of the old one.
void portNames(std::vector<std::string>* inputs, std::vector<std::string>* outputs)
{
    jack_client_t* c = openClient("list");
    if (!c) return;
    if (inputs) *inputs = listed(c, JackPortIsOutput);
    if (outputs) *outputs = listed(c, JackPortIsInput);
    jack_client_close(c);
}

std::unique_ptr<Backend::Input> openInput(const std::string& name, Backend::InputCallback callback, void* user,
                                          std::string* error)
{
    auto in = std::make_unique<Input>(callback, user);
    if (!in->start(name, error)) return nullptr;
    return in;
}

std::unique_ptr<Backend::Output> openOutput(const std::string& name, std::string* error)
{
    auto out = std::make_unique<Output>();
    if (!out->start(name, error)) return nullptr;
    return out;
}

}  // namespace midi::jack
