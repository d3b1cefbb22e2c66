#include "platform/midi/rtmidibackend.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <mutex>

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <rtmidi/RtMidi.h>

namespace midi {

namespace {

void alsaQuiet(const char*, int, const char*, int, const char*, ...) {}
void jackQuiet(const char*) {}

// Collects what an RtMidi object reports. Errors may come from RtMidi's own threads.
class ErrorSink {
public:
    static void callback(RtMidiError::Type type, const std::string& text, void* user)
    {
        auto* s = static_cast<ErrorSink*>(user);
        std::lock_guard<std::mutex> l(s->m_);
        s->text_ = text;
        if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING) s->failed_ = true;
    }
    void reset()
    {
        std::lock_guard<std::mutex> l(m_);
        failed_ = false;
        text_.clear();
    }
    bool failed() const
    {
        std::lock_guard<std::mutex> l(m_);
        return failed_;
    }
    std::string text() const
    {
        std::lock_guard<std::mutex> l(m_);
        return text_.empty() ? std::string("MIDI error") : text_;
    }

private:
    mutable std::mutex m_;
    std::string text_;
    bool failed_ = false;
};

RtMidi::Api rtApi(Api api) { return api == Api::Alsa ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK; }

bool compiled(Api api)
{
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    return std::find(apis.begin(), apis.end(), rtApi(api)) != apis.end();
}

// RtMidi's JACK objects print a warning (not to our callback, which is set only after the
// constructor) when no server answers: ask first, quietly.
bool jackServerUp()
{
    jack_status_t status{};
    jack_client_t* c = jack_client_open((std::string(kOurClient) + " midi probe").c_str(), JackNoStartServer, &status);
    if (!c) return false;
    jack_client_close(c);
    return true;
}

// The JACK ports in the order RtMidi numbers them (jack_get_ports over the MIDI type).
std::vector<std::string> jackPorts(jack_client_t* c, unsigned long flags)
{
    std::vector<std::string> out;
    if (const char** ports = jack_get_ports(c, nullptr, JACK_DEFAULT_MIDI_TYPE, flags)) {
        for (const char** p = ports; *p; ++p) out.emplace_back(*p);
        jack_free(ports);
    }
    return out;
}

// The ports we read from (flags JackPortIsOutput) into `inputs` and those we write to into
// `outputs`, through one client: opening it is the slow part. Either may be null.
void jackPorts(std::vector<std::string>* inputs, std::vector<std::string>* outputs)
{
    jack_status_t status{};
    jack_client_t* c = jack_client_open((std::string(kOurClient) + " midi list").c_str(), JackNoStartServer, &status);
    if (!c) return;
    if (inputs) *inputs = jackPorts(c, JackPortIsOutput);
    if (outputs) *outputs = jackPorts(c, JackPortIsInput);
    jack_client_close(c);
}

// RtMidi's ALSA objects print before they throw when there is no sequencer: ask first, quietly.
bool alsaSequencerUp()
{
    snd_seq_t* seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, 0) < 0) return false;
    snd_seq_close(seq);
    return true;
}

bool serviceUp(Api api) { return api == Api::Jack ? jackServerUp() : alsaSequencerUp(); }

template <class R>
std::vector<std::string> rtMidiPorts(Api api)
{
    std::vector<std::string> out;
    if (!compiled(api) || !alsaSequencerUp()) return out;
    ErrorSink sink;
    try {
        R r(rtApi(api), std::string(kOurClient) + " midi list");
        r.setErrorCallback(&ErrorSink::callback, &sink);
        const unsigned n = r.getPortCount();
        for (unsigned i = 0; i < n; ++i) out.push_back(r.getPortName(i));
        if (sink.failed()) out.clear();
    } catch (const RtMidiError&) {
        out.clear();
    }
    return out;
}

class RtInput : public Backend::Input {
public:
    ~RtInput() override { rt.reset(); }  // RtMidi closes the port and stops its thread or client

    static void trampoline(double, std::vector<unsigned char>* message, void* self)
    {
        auto* in = static_cast<RtInput*>(self);
        if (!message || message->empty() || message->size() > 3) return;
        in->callback(in->user, message->data(), message->size());
    }

    ErrorSink sink;
    Backend::InputCallback callback = nullptr;
    void* user = nullptr;
    std::unique_ptr<RtMidiIn> rt;
};

class RtOutput : public Backend::Output {
public:
    // RtMidi's JACK output hands messages to its process callback through a ring buffer, and
    // its close waits for one callback only: one that had already emptied the buffer before the
    // last messages came lets the port go with them still queued (the lights a close turns off,
    // say). What was sent in the last moments gets a few periods to go out first.
    ~RtOutput() override
    {
        if (api == Api::Jack) {
            const auto since = std::chrono::steady_clock::now() - lastSend;
            if (since < kDrain) std::this_thread::sleep_for(kDrain - since);
        }
        rt.reset();
    }

    bool send(const uint8_t* bytes, size_t size, std::string* error) override
    {
        sink.reset();
        lastSend = std::chrono::steady_clock::now();
        rt->sendMessage(bytes, size);
        if (!sink.failed()) return true;
        if (error) *error = sink.text();
        return false;
    }

    static constexpr std::chrono::milliseconds kDrain{50};
    Api api = Api::Alsa;
    std::chrono::steady_clock::time_point lastSend{};
    ErrorSink sink;
    std::unique_ptr<RtMidiOut> rt;
};

// An RtMidi object of `api` with its error callback set at once, opened on raw port `index` when
// that still carries `name`, after `prepare`; null and the reason in *error on any failure.
template <class R, class F>
std::unique_ptr<R> openRt(Api api, unsigned index, const std::string& name, const char* role, ErrorSink& sink,
                          std::string* error, F prepare)
{
    const auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return std::unique_ptr<R>();
    };
    if (!compiled(api)) return fail("this MIDI system is not available");
    if (!serviceUp(api))
        return fail(api == Api::Jack ? "the JACK server is not running" : "the ALSA sequencer is not available");
    std::unique_ptr<R> rt;
    try {
        rt = std::make_unique<R>(rtApi(api), std::string(kOurClient) + " midi " + role);
    } catch (const RtMidiError& e) {
        return fail(e.getMessage());
    }
    rt->setErrorCallback(&ErrorSink::callback, &sink);
    if (index >= rt->getPortCount() || rt->getPortName(index) != name) return fail("the port " + name + " is gone");
    prepare(*rt);
    rt->openPort(index, role);
    if (sink.failed() || !rt->isPortOpen()) return fail(sink.text());
    return rt;
}

}  // namespace

RtMidiBackend::RtMidiBackend()
{
    snd_lib_error_set_handler(alsaQuiet);
    jack_set_error_function(jackQuiet);
    jack_set_info_function(jackQuiet);
}

RtMidiBackend& RtMidiBackend::instance()
{
    static RtMidiBackend backend;
    return backend;
}

std::vector<std::string> RtMidiBackend::inputNames(Api api)
{
    if (api != Api::Jack) return rtMidiPorts<RtMidiIn>(api);
    std::vector<std::string> out;
    jackPorts(&out, nullptr);
    return out;
}

std::vector<std::string> RtMidiBackend::outputNames(Api api)
{
    if (api != Api::Jack) return rtMidiPorts<RtMidiOut>(api);
    std::vector<std::string> out;
    jackPorts(nullptr, &out);
    return out;
}

void RtMidiBackend::portNames(Api api, std::vector<std::string>& inputs, std::vector<std::string>& outputs)
{
    inputs.clear();
    outputs.clear();
    if (api == Api::Jack) {
        jackPorts(&inputs, &outputs);
        return;
    }
    inputs = rtMidiPorts<RtMidiIn>(api);
    outputs = rtMidiPorts<RtMidiOut>(api);
}

std::unique_ptr<Backend::Input> RtMidiBackend::openInput(Api api, unsigned index, const std::string& name,
                                                         InputCallback callback, void* user, std::string* error)
{
    auto in = std::make_unique<RtInput>();
    in->callback = callback;
    in->user = user;
    in->rt = openRt<RtMidiIn>(api, index, name, "in", in->sink, error, [&](RtMidiIn& r) {
        r.ignoreTypes(true, false, false);
        r.setCallback(&RtInput::trampoline, in.get());
    });
    return in->rt ? std::move(in) : nullptr;
}

std::unique_ptr<Backend::Output> RtMidiBackend::openOutput(Api api, unsigned index, const std::string& name,
                                                           std::string* error)
{
    auto out = std::make_unique<RtOutput>();
    out->api = api;
    out->rt = openRt<RtMidiOut>(api, index, name, "out", out->sink, error, [](RtMidiOut&) {});
    return out->rt ? std::move(out) : nullptr;
}

}  // namespace midi
