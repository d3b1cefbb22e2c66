// The recording calls of sound.h: input devices through PortAudio, and WAV encoders that
// sit at the end of a stream's processor chain.
#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sound/devicecatalog.h"
#include "platform/sound/errorstate.h"
#include "platform/sound/graph.h"
#include "platform/sound/recordinput.h"
#include "platform/sound/wavencoder.h"

namespace sound {

namespace {

// The handle of a recording; its input is closed outside the graph lock.
class RecordObject : public Object {
public:
    explicit RecordObject(std::shared_ptr<RecordInput> in) : Object(Kind::Record), input(std::move(in)) {}
    ~RecordObject() override;
    std::shared_ptr<RecordInput> input;
};

// The handle of an encoder on a recording input (one on a stream is a processor entry).
class InputEncoderObject : public Object {
public:
    InputEncoderObject() : Object(Kind::Encoder) {}
};

struct EncoderEntry {
    std::shared_ptr<WavEncoder> encoder;
    std::shared_ptr<RecordInput> input;  // set for an encoder on a recording input
    Handle record = 0;
};

struct Registry {
    std::mutex m;
    std::map<Handle, EncoderEntry> encoders;
    std::vector<std::shared_ptr<RecordInput>> toClose;  // inputs whose handle went with freeAll
};

Registry& registry()
{
    static Registry* r = new Registry;  // writer threads may outlive static destructors
    return *r;
}

RecordObject::~RecordObject()
{
    if (!input) return;
    input->detach();
    std::lock_guard<std::mutex> l(registry().m);
    registry().toClose.push_back(std::move(input));
}

void closeOrphans()
{
    std::vector<std::shared_ptr<RecordInput>> v;
    {
        std::lock_guard<std::mutex> l(registry().m);
        v.swap(registry().toClose);
    }
    for (auto& in : v) in->close();
}

Error inputEntry(int index, DeviceEntry& out)
{
    auto& cat = DeviceCatalog::instance();
    if (!cat.ensureRead()) return Error::Driver;
    auto list = cat.inputs(HostKind::Alsa);
    if (index < 0 || index >= int(list.size())) return Error::Device;
    out = list[size_t(index)];
    return Error::Ok;
}

std::shared_ptr<RecordInput> findRecord(Handle h)
{
    GraphLock l(Graph::instance().mutex);
    Object* o = Graph::instance().find(h);
    auto r = dynamic_cast<RecordObject*>(o);
    if (!r) return fail(o ? Error::WrongKind : Error::Handle, nullptr);
    return r->input;
}

// The encoder of handle h, or the one on the recording h; *self gets the encoder's handle.
std::shared_ptr<WavEncoder> findEncoder(Handle h, Handle* self = nullptr)
{
    std::lock_guard<std::mutex> l(registry().m);
    auto it = registry().encoders.find(h);
    if (it == registry().encoders.end())
        it = std::find_if(registry().encoders.begin(), registry().encoders.end(),
                          [h](const auto& e) { return h && e.second.record == h; });
    if (it == registry().encoders.end()) return nullptr;
    if (self) *self = it->first;
    return it->second.encoder;
}

// Takes the encoder's entry out of the registry and its handle out of the graph, and closes
// its file (outside both locks). False when the file could not be finished.
bool finishEncoder(Handle h, EncoderEntry e)
{
    if (e.input) {
        e.input->detachEncoder();
        GraphLock l(Graph::instance().mutex);
        if (Object* o = Graph::instance().find(h); o && dynamic_cast<InputEncoderObject*>(o))
            Graph::instance().remove(o);
    } else if (kindOf(h) == Kind::Encoder) {
        removeProcessor(streamOfProcessor(h), h);
    }
    return e.encoder->finish();
}

}  // namespace

int recordDeviceCount()
{
    auto& cat = DeviceCatalog::instance();
    if (!cat.ensureRead()) return fail(Error::Driver, 0);
    setError(Error::Ok);
    return int(cat.inputs(HostKind::Alsa).size());
}

bool getRecordDeviceInfo(int index, DeviceInfo& out)
{
    DeviceEntry e;
    if (Error err = inputEntry(index, e); err != Error::Ok) return fail(err, false);
    out = DeviceInfo{e.name, e.outputChannels, e.inputChannels, e.rate, true, e.name == "default"};
    setError(Error::Ok);
    return true;
}

bool initRecordDevice(int index)
{
    DeviceEntry e;
    if (Error err = inputEntry(index, e); err != Error::Ok) return fail(err, false);
    setError(Error::Ok);
    return true;
}

Handle startRecord(int device, int rate, int channels, RecordCallback callback, bool paused)
{
    closeOrphans();
    DeviceEntry e;
    if (Error err = inputEntry(device, e); err != Error::Ok) return fail(err, Handle(0));
    if (!callback || rate <= 0 || channels < 1 || channels > 2) return fail(Error::Param, Handle(0));
    auto in = std::make_shared<RecordInput>(std::move(callback), channels);
    // the handle exists before the first block arrives
    Handle h;
    {
        GraphLock l(Graph::instance().mutex);
        h = Graph::instance().add(new RecordObject(in));
    }
    if (!h) return fail(Error::Memory, Handle(0));
    in->setHandle(h);
    if (Error err = in->open(e, rate, paused); err != Error::Ok) {
        GraphLock l(Graph::instance().mutex);
        if (auto o = dynamic_cast<RecordObject*>(Graph::instance().find(h))) {
            o->input.reset();
            Graph::instance().remove(o);
        }
        return fail(err, Handle(0));
    }
    setError(Error::Ok);
    return h;
}

bool stopRecord(Handle record)
{
    std::shared_ptr<RecordInput> in;
    {
        GraphLock l(Graph::instance().mutex);
        Object* o = Graph::instance().find(record);
        auto r = dynamic_cast<RecordObject*>(o);
        if (!r) return fail(o ? Error::WrongKind : Error::Handle, false);
        in = std::move(r->input);
        Graph::instance().remove(r);
    }
    in->close();
    // its encoders go with it, their files complete
    std::vector<std::pair<Handle, EncoderEntry>> mine;
    {
        std::lock_guard<std::mutex> l(registry().m);
        for (auto it = registry().encoders.begin(); it != registry().encoders.end();) {
            if (it->second.record == record) {
                mine.emplace_back(it->first, std::move(it->second));
                it = registry().encoders.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& [h, e] : mine) finishEncoder(h, std::move(e));
    closeOrphans();
    setError(Error::Ok);
    return true;
}

bool pauseRecord(Handle record, bool paused)
{
    auto in = findRecord(record);
    if (!in) return false;
    if (!in->pause(paused)) return fail(Error::Device, false);
    setError(Error::Ok);
    return true;
}

// An encoder on a recording input: fed by the input's thread with what it captures.
static Handle encodeInputToWav(Handle record, const std::string& utf8Path)
{
    std::shared_ptr<RecordInput> in = findRecord(record);
    if (!in) return 0;
    auto enc = std::make_shared<WavEncoder>(in->rate());
    if (!enc->start(utf8Path)) return fail(Error::Write, Handle(0));
    Handle h;
    {
        GraphLock l(Graph::instance().mutex);
        h = Graph::instance().add(new InputEncoderObject);
    }
    if (!h) {
        enc->finish();
        return fail(Error::Memory, Handle(0));
    }
    {
        std::lock_guard<std::mutex> l(registry().m);
        registry().encoders[h] = EncoderEntry{enc, in, record};
    }
    in->attachEncoder(std::move(enc));
    setError(Error::Ok);
    return h;
}

Handle encodeToWav(Handle stream, const std::string& utf8Path)
{
    if (kindOf(stream) == Kind::Record) return encodeInputToWav(stream, utf8Path);
    StreamInfo info;
    if (!getInfo(stream, info)) return 0;
    auto enc = std::make_shared<WavEncoder>(info.rate);
    if (!enc->start(utf8Path)) return fail(Error::Write, Handle(0));
    Handle h = addProcessor(stream, enc, INT_MIN, Kind::Encoder);
    if (!h) {
        const Error err = lastError();
        enc->finish();
        return fail(err, Handle(0));
    }
    std::lock_guard<std::mutex> l(registry().m);
    registry().encoders[h] = EncoderEntry{enc, nullptr, 0};
    setError(Error::Ok);
    return h;
}

bool encoderActive(Handle encoder)
{
    Handle self = encoder;
    auto enc = findEncoder(encoder, &self);
    if (!enc) return fail(Error::Handle, false);
    if (enc->failed()) return fail(Error::Write, false);
    if (kindOf(self) != Kind::Encoder) return fail(Error::Handle, false);  // its stream was freed
    setError(Error::Ok);
    return enc->active();
}

bool flushEncoder(Handle encoder)
{
    auto enc = findEncoder(encoder);
    if (!enc) return fail(Error::Handle, false);
    if (!enc->flush()) return fail(Error::Write, false);
    setError(Error::Ok);
    return true;
}

bool stopEncoder(Handle encoder)
{
    EncoderEntry e;
    {
        std::lock_guard<std::mutex> l(registry().m);
        auto it = registry().encoders.find(encoder);
        if (it == registry().encoders.end()) return fail(Error::Handle, false);
        e = std::move(it->second);
        registry().encoders.erase(it);
    }
    // the file is closed here, outside the graph lock
    if (!finishEncoder(encoder, std::move(e))) return fail(Error::Write, false);
    setError(Error::Ok);
    return true;
}

}  // namespace sound
