#include "platform/midi/rtmidibackend.h"

#include "platform/midi/jackmidiports.h"

#include <algorithm>
#include <mutex>

#include <alsa/asoundlib.h>
#include <jack/jack.h>
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

// RtMidi serves the ALSA sequencer only; JACK ports are ours (jackmidiports.h).
bool alsaCompiled()
{
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    return std::find(apis.begin(), apis.end(), RtMidi::LINUX_ALSA) != apis.end();
}

// RtMidi's ALSA objects print before they throw when there is no sequencer: ask first, quietly.
bool alsaSequencerUp()
{
    snd_seq_t* seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, 0) < 0) return false;
    snd_seq_close(seq);
    return true;
}

template <class R>
std::vector<std::string> alsaPorts()
{
    std::vector<std::string> out;
    if (!alsaCompiled() || !alsaSequencerUp()) return out;
    ErrorSink sink;
    try {
        R r(RtMidi::LINUX_ALSA, std::string(kOurClient) + " midi list");
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
    ~RtInput() override { rt.reset(); }  // RtMidi closes the port and stops its thread

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
    bool send(const uint8_t* bytes, size_t size, std::string* error) override
    {
        sink.reset();
        rt->sendMessage(bytes, size);
        if (!sink.failed()) return true;
        if (error) *error = sink.text();
        return false;
    }

    ErrorSink sink;
    std::unique_ptr<RtMidiOut> rt;
};

// An RtMidi ALSA object with its error callback set at once, opened on raw port `index` when
// that still carries `name`, after `prepare`; null and the reason in *error on any failure.
template <class R, class F>
std::unique_ptr<R> openAlsa(unsigned index, const std::string& name, const char* role, ErrorSink& sink,
                            std::string* error, F prepare)
{
    const auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return std::unique_ptr<R>();
    };
    if (!alsaCompiled()) return fail("this MIDI system is not available");
    if (!alsaSequencerUp()) return fail("the ALSA sequencer is not available");
    std::unique_ptr<R> rt;
    try {
        rt = std::make_unique<R>(RtMidi::LINUX_ALSA, std::string(kOurClient) + " midi " + role);
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
    if (api != Api::Jack) return alsaPorts<RtMidiIn>();
    std::vector<std::string> out;
    jack::portNames(&out, nullptr);
    return out;
}

std::vector<std::string> RtMidiBackend::outputNames(Api api)
{
    if (api != Api::Jack) return alsaPorts<RtMidiOut>();
    std::vector<std::string> out;
    jack::portNames(nullptr, &out);
    return out;
}

void RtMidiBackend::portNames(Api api, std::vector<std::string>& inputs, std::vector<std::string>& outputs)
{
    inputs.clear();
    outputs.clear();
    if (api == Api::Jack) {
        jack::portNames(&inputs, &outputs);
        return;
    }
    inputs = alsaPorts<RtMidiIn>();
    outputs = alsaPorts<RtMidiOut>();
}

std::unique_ptr<Backend::Input> RtMidiBackend::openInput(Api api, unsigned index, const std::string& name,
                                                         InputCallback callback, void* user, std::string* error)
{
    if (api == Api::Jack) return jack::openInput(name, callback, user, error);
    auto in = std::make_unique<RtInput>();
    in->callback = callback;
    in->user = user;
    in->rt = openAlsa<RtMidiIn>(index, name, "in", in->sink, error, [&](RtMidiIn& r) {
        r.ignoreTypes(true, false, false);
        r.setCallback(&RtInput::trampoline, in.get());
    });
    return in->rt ? std::move(in) : nullptr;
}

std::unique_ptr<Backend::Output> RtMidiBackend::openOutput(Api api, unsigned index, const std::string& name,
                                                           std::string* error)
{
    if (api == Api::Jack) return jack::openOutput(name, error);
    auto out = std::make_unique<RtOutput>();
    out->rt = openAlsa<RtMidiOut>(index, name, "out", out->sink, error, [](RtMidiOut&) {});
    return out->rt ? std::move(out) : nullptr;
}

}  // namespace midi
