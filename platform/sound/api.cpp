// The free functions of sound.h over the graph objects. Each takes the graph lock.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>

#include <kissfft/kiss_fftr.h>

#include "platform/sound/decoder.h"
#include "platform/sound/errorstate.h"
#include "platform/sound/graph.h"
#include "platform/sound/mixer.h"
#include "platform/sound/nosoundclock.h"
#include "platform/sound/pushstream.h"
#include "platform/sound/realtime.h"
#include "platform/sound/reversestream.h"
#include "platform/sound/sound.h"
#include "platform/sound/stream.h"
#include "platform/sound/tempostream.h"

namespace sound {

namespace {

Graph& graph() { return Graph::instance(); }

bool isStreamKind(Kind k)
{
    return k == Kind::Decoder || k == Kind::Reverse || k == Kind::Tempo || k == Kind::Mixer || k == Kind::Push;
}

// Looks a stream up; sets the error and returns nullptr on a bad handle.
Stream* findStream(Handle h)
{
    Object* o = graph().find(h);
    if (!o) { setError(Error::Handle); return nullptr; }
    if (!isStreamKind(o->kind)) { setError(Error::WrongKind); return nullptr; }
    return static_cast<Stream*>(o);
}

template <class T>
T* findAs(Handle h, Kind k)
{
    Object* o = graph().find(h);
    if (!o) { setError(Error::Handle); return nullptr; }
    if (o->kind != k) { setError(Error::WrongKind); return nullptr; }
    return static_cast<T*>(o);
}

Attachment* findAttachment(Handle h, Kind k)
{
    Object* o = graph().find(h);
    if (!o) { setError(Error::Handle); return nullptr; }
    if (o->kind != k && !(k == Kind::Fx && o->kind == Kind::Dsp)) { setError(Error::WrongKind); return nullptr; }
    return static_cast<Attachment*>(o);
}

bool ok() { setError(Error::Ok); return true; }

// Scratch blocks for renders, one per nesting level (callbacks may render again).
float* scratch(int depth)
{
    static std::vector<float> blocks[16];
    depth = std::clamp(depth, 0, 15);
    if (blocks[depth].empty())
        blocks[depth].assign(std::size_t(Stream::kMaxBlock) * 2, 0.0f);
    return blocks[depth].data();
}

// Allocates the first scratch blocks before any output thread needs them.
void prepareScratch()
{
    for (int d = 0; d < 4; ++d)
        scratch(d);
}

void freeStreamLocked(Stream* s);

void dropAttachments(Stream* s)
{
    for (SyncEntry* e : s->syncs)
        if (!e->dead) graph().remove(e);
    for (ProcessorEntry* e : s->processors)
        if (!e->dead) graph().remove(e);
    if (s->iterating == 0) {
        s->syncs.clear();
        s->processors.clear();
    }
}

void freeStreamLocked(Stream* s)
{
    NoSoundClock::instance().stop(s->handle);
    if (s->mixer)
        s->mixer->removeSource(s);
    if (s->kind == Kind::Mixer) {
        auto* m = static_cast<Mixer*>(s);
        for (Stream* src : m->sources())
            m->removeSource(src);
    }
    dropAttachments(s);
    if (s->owner) {
        s->owner->source = nullptr;
        s->owner = nullptr;
    }
    Stream* src = s->source;
    const bool freeSource = s->flags & FreeSource;
    if (src) {
        src->owner = nullptr;
        s->source = nullptr;
    }
    graph().remove(s);  // s may be gone from here on
    if (src && freeSource && !src->dead)
        freeStreamLocked(src);
}

float toFloat(std::int16_t v) { return float(v) * (1.0f / 32768.0f); }

std::int16_t toShort(float v)
{
    float x = std::nearbyint(v * 32768.0f);
    if (x > 32767.0f) return 32767;
    if (x < -32768.0f) return -32768;
    return std::int16_t(x);
}

}  // namespace

bool startOnDevice(Stream* s);
void stopOnDevice(Stream* s);

// Renders frames of s into out (stereo float, or mono when the stream is mono), with the
// stream's own volume and pan when it is played. Graph lock held.
int renderInto(Stream* s, float* out, int frames, bool applyVolume)
{
    RenderScope rs;
    int got = s->read(out, frames);
    if (got < frames)
        std::memset(out + 2 * got, 0, sizeof(float) * 2 * std::size_t(frames - got));
    if (applyVolume && !s->volume.sliding() && !s->pan.sliding()) {
        const float v = s->volume.value, p = s->pan.value;
        const float gl = v * (p > 0 ? 1 - p : 1), gr = v * (p < 0 ? 1 + p : 1);
        if (gl != 1.0f || gr != 1.0f)
            for (int k = 0; k < frames; ++k) {
                out[2 * k] *= gl;
                out[2 * k + 1] *= gr;
            }
    } else if (applyVolume) {
        for (int k = 0; k < frames; ++k) {
            float v = s->volume.sliding() ? s->volume.advance(1) : s->volume.value;
            float p = s->pan.sliding() ? s->pan.advance(1) : s->pan.value;
            out[2 * k] *= v * (p > 0 ? 1 - p : 1);
            out[2 * k + 1] *= v * (p < 0 ? 1 + p : 1);
        }
    }
    return got;
}

Kind kindOf(Handle h)
{
    GraphLock l(graph().mutex);
    Object* o = graph().find(h);
    return o ? o->kind : Kind::None;
}

bool freeStream(Handle h)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(h);
    if (!s) return false;
    freeStreamLocked(s);
    return ok();
}

void freeAll()
{
    GraphLock l(graph().mutex);
    NoSoundClock::instance().stopAll();
    std::vector<Handle> handles;
    for (Object* o : graph().all())
        handles.push_back(o->handle);
    for (Handle h : handles)  // streams first: they take their attachments and sources along
        if (Object* o = graph().find(h); o && isStreamKind(o->kind))
            freeStreamLocked(static_cast<Stream*>(o));
    for (Handle h : handles)
        if (Object* o = graph().find(h))
            graph().remove(o);
    setError(Error::Ok);
}

// ---- decoders

static Handle registerDecoder(Decoder* d, Error err)
{
    if (!d) { setError(err); return 0; }
    GraphLock l(graph().mutex);
    Handle h = graph().add(d);
    if (!h) { setError(Error::Memory); return 0; }
    setError(Error::Ok);
    return h;
}

Handle openFile(const std::string& path, unsigned flags)
{
    OpenOptions o;
    o.flags = flags;
    return openFile(path, o);
}

Handle openFile(const std::string& path, const OpenOptions& options)
{
    if (path.empty()) { setError(Error::FileOpen); return 0; }
    Error err = Error::Ok;
    Decoder* d = Decoder::open(path, nullptr, 0, options, err);
    return registerDecoder(d, err);
}

Handle openMemory(const void* data, std::size_t size, const OpenOptions& options)
{
    if (!data || size == 0) { setError(Error::Format); return 0; }
    Error err = Error::Ok;
    Decoder* d = Decoder::open({}, data, size, options, err);
    return registerDecoder(d, err);
}

bool getInfo(Handle h, StreamInfo& out)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(h);
    if (!s) return false;
    out = StreamInfo{};
    out.kind = s->kind;
    out.rate = s->rate;
    out.channels = s->outChannels();
    out.flags = s->flags;
    if (s->kind == Kind::Decoder) {
        auto* d = static_cast<Decoder*>(s);
        out.fileChannels = d->fileChannels;
        out.codec = d->codec;
    }
    return ok();
}

std::int64_t getLength(Handle h)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(h);
    if (!s) return -1;
    std::int64_t f = s->lengthFrames();
    if (f < 0) { setError(Error::Unsupported); return -1; }
    ok();
    return f * s->bytesPerFrame();
}

double bytesToSeconds(Handle h, std::int64_t bytes)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(h);
    if (!s) return -1;
    ok();
    return double(bytes / s->bytesPerFrame()) / double(s->rate);
}

std::int64_t secondsToBytes(Handle h, double seconds)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(h);
    if (!s) return -1;
    if (!(seconds >= 0)) { setError(Error::Param); return -1; }
    ok();
    return std::int64_t(std::floor(seconds * s->rate)) * s->bytesPerFrame();
}

// ---- reverse and tempo

static Stream* takeSource(Handle source, bool mayBeMixed = false)
{
    Stream* src = findStream(source);
    if (!src) return nullptr;
    if (!(src->flags & Decode)) { setError(Error::NotDecode); return nullptr; }
    if (src->owner || (src->mixer && !mayBeMixed)) { setError(Error::Busy); return nullptr; }
    if (src->lengthFrames() < 0) { setError(Error::Param); return nullptr; }
    return src;
}

// Streams and mixer slots are built before the graph lock is taken (their blocks are large
// enough to fault pages in); one that is not taken is destroyed after the lock is released.
static int rateOf(Handle source)
{
    GraphLock l(graph().mutex);
    Stream* src = findStream(source);
    return src ? src->rate : 0;
}

Handle createReverse(Handle source, double, unsigned flags)
{
    const int rate = rateOf(source);
    if (!rate) return 0;
    auto r = std::make_unique<ReverseStream>(rate, flags);
    GraphLock l(graph().mutex);
    Stream* src = takeSource(source);
    if (!src) return 0;
    r->attach(src);
    Handle h = graph().add(r.release());
    if (!h) { setError(Error::Memory); return 0; }
    ok();
    return h;
}

Handle createTempo(Handle source, unsigned flags)
{
    const int rate = rateOf(source);
    if (!rate) return 0;
    auto t = std::make_unique<TempoStream>(rate, flags & ~TakePlace);
    GraphLock l(graph().mutex);
    Stream* src = takeSource(source, flags & TakePlace);
    if (!src) return 0;
    Mixer* m = src->mixer;
    t->attach(src);
    if (m)
        m->replaceSource(src, t.get());
    Handle h = graph().add(t.release());
    if (!h) { setError(Error::Memory); return 0; }
    ok();
    return h;
}

Handle tempoSource(Handle tempo)
{
    GraphLock l(graph().mutex);
    auto* t = findAs<TempoStream>(tempo, Kind::Tempo);
    if (!t) return 0;
    if (!t->source) { setError(Error::Handle); return 0; }
    ok();
    return t->source->handle;
}

// ---- attributes

bool setAttribute(Handle h, Attribute a, float v)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(h);
    if (!s) return false;
    if (!std::isfinite(v)) return fail(Error::Param, false);
    switch (a) {
    case Attribute::Freq:
        if (v < 1 || v > 100000) return fail(Error::Param, false);
        s->freq.set(v);
        break;
    case Attribute::Volume:
        s->volume.set(std::max(0.0f, v));
        break;
    case Attribute::Pan:
        s->pan.set(std::clamp(v, -1.0f, 1.0f));
        break;
    case Attribute::Tempo:
        if (s->kind != Kind::Tempo) return fail(Error::WrongKind, false);
        static_cast<TempoStream*>(s)->setTempo(v);
        break;
    case Attribute::Direction:
        if (s->kind != Kind::Reverse) return fail(Error::WrongKind, false);
        static_cast<ReverseStream*>(s)->dir = v < 0 ? -1 : 1;
        break;
    }
    return ok();
}

bool getAttribute(Handle h, Attribute a, float& v)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(h);
    if (!s) return false;
    switch (a) {
    case Attribute::Freq: v = s->freq.value; break;
    case Attribute::Volume: v = s->volume.value; break;
    case Attribute::Pan: v = s->pan.value; break;
    case Attribute::Tempo:
        if (s->kind != Kind::Tempo) return fail(Error::WrongKind, false);
        v = static_cast<TempoStream*>(s)->tempo;
        break;
    case Attribute::Direction:
        if (s->kind != Kind::Reverse) return fail(Error::WrongKind, false);
        v = float(static_cast<ReverseStream*>(s)->dir);
        break;
    }
    return ok();
}

static Param* slidable(Stream* s, Attribute a)
{
    switch (a) {
    case Attribute::Freq: return &s->freq;
    case Attribute::Volume: return &s->volume;
    case Attribute::Pan: return &s->pan;
    default: return nullptr;
    }
}

// Slides run in the time of whoever mixes the stream: its mixer's rate, or its own rate when played.
static int mixRate(Stream* s) { return s->mixer ? s->mixer->rate : s->rate; }

bool slideAttribute(Handle h, Attribute a, float v, int ms)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(h);
    if (!s) return false;
    Param* p = slidable(s, a);
    if (!p) return fail(Error::Param, false);
    if (!std::isfinite(v)) return fail(Error::Param, false);
    if (a == Attribute::Freq) v = std::clamp(v, 1.0f, 100000.0f);
    if (a == Attribute::Volume) v = std::max(0.0f, v);
    if (a == Attribute::Pan) v = std::clamp(v, -1.0f, 1.0f);
    p->slide(v, std::int64_t(std::max(0, ms)) * mixRate(s) / 1000);
    return ok();
}

bool isSliding(Handle h, Attribute a)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(h);
    if (!s) return false;
    Param* p = slidable(s, a);
    if (!p) return fail(Error::Param, false);
    ok();
    return p->sliding();
}

// ---- mixers

Handle createMixer(int rate, int channels, unsigned flags)
{
    if (rate < 1 || rate > 384000 || (channels != 1 && channels != 2)) { setError(Error::Param); return 0; }
    auto m = std::make_unique<Mixer>(rate, channels, flags);
    GraphLock l(graph().mutex);
    prepareScratch();
    Handle h = graph().add(m.release());
    if (!h) { setError(Error::Memory); return 0; }
    ok();
    return h;
}

bool mixerAdd(Handle mixer, Handle source, unsigned flags)
{
    std::vector<float> slot = Mixer::slotBuffer();
    GraphLock l(graph().mutex);
    auto* m = findAs<Mixer>(mixer, Kind::Mixer);
    if (!m) return false;
    Stream* s = findStream(source);
    if (!s) return false;
    if (!(s->flags & Decode)) return fail(Error::NotDecode, false);
    if (s->mixer || s->owner) return fail(Error::AlreadyInMixer, false);
    for (Stream* up = m; up; up = up->mixer)  // no cycles
        if (up == s) return fail(Error::Param, false);
    m->add(s, flags, std::move(slot));
    return ok();
}

bool mixerRemove(Handle source)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(source);
    if (!s) return false;
    if (!s->mixer) return fail(Error::NotInMixer, false);
    s->mixer->removeSource(s);
    return ok();
}

bool mixerReplace(Handle old, Handle with)
{
    GraphLock l(graph().mutex);
    Stream* o = findStream(old);
    Stream* w = o ? findStream(with) : nullptr;
    if (!o || !w) return false;
    if (!o->mixer) return fail(Error::NotInMixer, false);
    if (!(w->flags & Decode)) return fail(Error::NotDecode, false);
    if (w->mixer) return fail(Error::AlreadyInMixer, false);
    if (w->owner && w->owner != o) return fail(Error::Busy, false);
    for (Stream* up = o->mixer; up; up = up->mixer)  // no cycles
        if (up == w) return fail(Error::Param, false);
    if (w->owner == o) {
        o->source = nullptr;
        w->owner = nullptr;
    }
    o->mixer->replaceSource(o, w);
    return ok();
}

Handle mixerOf(Handle source)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(source);
    if (!s) return 0;
    if (!s->mixer) { setError(Error::NotInMixer); return 0; }
    ok();
    return s->mixer->handle;
}

std::vector<Handle> mixerSources(Handle mixer)
{
    GraphLock l(graph().mutex);
    std::vector<Handle> v;
    auto* m = findAs<Mixer>(mixer, Kind::Mixer);
    if (!m) return v;
    for (Stream* s : m->sources())
        v.push_back(s->handle);
    ok();
    return v;
}

// ---- channel control

bool play(Handle h, bool restart)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(h);
    if (!s) return false;
    if (restart && !(s->flags & Decode))
        s->resetBuffers();
    s->playState = State::Playing;
    if (!(s->flags & Decode))
        return startOnDevice(s) ? ok() : false;
    return ok();
}

bool pause(Handle h)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(h);
    if (!s) return false;
    s->playState = State::Paused;
    if (!(s->flags & Decode))
        stopOnDevice(s);
    return ok();
}

bool stop(Handle h)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(h);
    if (!s) return false;
    s->playState = (s->flags & Decode) ? State::Paused : State::Stopped;
    if (!(s->flags & Decode))
        stopOnDevice(s);
    return ok();
}

State state(Handle h)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(h);
    if (!s) return State::Stopped;
    ok();
    return s->playState;
}

std::int64_t getPosition(Handle h)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(h);
    if (!s) return -1;
    ok();
    return s->positionFrames() * s->bytesPerFrame();
}

bool setPosition(Handle h, std::int64_t bytes)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(h);
    if (!s) return false;
    if (bytes < 0) return fail(Error::Position, false);
    std::int64_t len = s->lengthFrames();
    std::int64_t f = bytes / s->bytesPerFrame();
    if (len >= 0 && f > len) return fail(Error::Position, false);
    if (!s->seek(f)) return fail(Error::Position, false);
    for (Stream* o = s->owner; o; o = o->owner)
        o->resetBuffers();
    return ok();
}

namespace {
thread_local int userLocks = 0;
}

bool lock(Handle h, bool on)
{
    {
        GraphLock l(graph().mutex);
        if (!findStream(h)) return false;
    }
    if (on) {
        if (GraphMutex::holdsHere() == 0)
            forbidOnAudioThread("sound::lock");
        graph().mutex.lock();
        ++userLocks;
    } else {
        if (userLocks == 0) return fail(Error::Param, false);
        --userLocks;
        graph().mutex.unlock();
    }
    return ok();
}

// ---- syncs and DSP

Handle setSync(Handle h, SyncType type, std::int64_t position, SyncCallback cb, bool oneTime)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(h);
    if (!s) return 0;
    if (!cb || (type == SyncType::Position && position < 0)) { setError(Error::Param); return 0; }
    auto* e = new SyncEntry(s);
    e->type = type;
    e->frame = position / s->bytesPerFrame();
    e->oneTime = oneTime;
    e->callback = std::move(cb);
    Handle sh = graph().add(e);
    if (!sh) { setError(Error::Memory); return 0; }
    s->syncs.push_back(e);
    ok();
    return sh;
}

bool removeSync(Handle stream, Handle sync)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(stream);
    if (!s) return false;
    auto* e = static_cast<SyncEntry*>(findAttachment(sync, Kind::Sync));
    if (!e) return false;
    if (e->stream != s) return fail(Error::Handle, false);
    s->dropAttachment(e);
    graph().remove(e);
    return ok();
}

namespace {
class DspTap : public Processor {
public:
    DspTap(DspCallback cb) : cb_(std::move(cb)) {}
    void process(float* frames, int count, int) override { cb_(self, stream, frames, count); }
    Handle self = 0, stream = 0;
private:
    DspCallback cb_;
};
}  // namespace

Handle addProcessor(Handle stream, std::shared_ptr<Processor> p, int priority, Kind kind)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(stream);
    if (!s) return 0;
    if (!p || (kind != Kind::Fx && kind != Kind::Dsp && kind != Kind::Encoder)) { setError(Error::Param); return 0; }
    auto* e = new ProcessorEntry(kind, s);
    e->priority = priority;
    e->processor = std::move(p);
    Handle h = graph().add(e);
    if (!h) { setError(Error::Memory); return 0; }
    s->addProcessor(e);
    ok();
    return h;
}

bool removeProcessor(Handle stream, Handle proc)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(stream);
    if (!s) return false;
    Object* o = graph().find(proc);
    if (!o) return fail(Error::Handle, false);
    auto* e = dynamic_cast<ProcessorEntry*>(o);  // an input's encoder is no processor
    if (!e) return fail(Error::WrongKind, false);
    if (e->stream != s) return fail(Error::Handle, false);
    s->dropAttachment(e);
    graph().remove(e);
    return ok();
}

bool withProcessor(Handle proc, const std::function<void(Processor&)>& fn)
{
    GraphLock l(graph().mutex);
    Object* o = graph().find(proc);
    if (!o) return fail(Error::Handle, false);
    auto* e = dynamic_cast<ProcessorEntry*>(o);
    if (!e) return fail(Error::WrongKind, false);
    if (fn) fn(*e->processor);
    return ok();
}

bool resetProcessors(Handle stream)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(stream);
    if (!s) return false;
    for (ProcessorEntry* e : s->processors)
        if (!e->dead) e->processor->reset();
    return ok();
}

Handle streamOfProcessor(Handle proc)
{
    GraphLock l(graph().mutex);
    Object* o = graph().find(proc);
    if (!o) { setError(Error::Handle); return 0; }
    auto* e = dynamic_cast<ProcessorEntry*>(o);
    if (!e) { setError(Error::WrongKind); return 0; }
    ok();
    return e->stream->handle;
}

Handle setDsp(Handle stream, DspCallback cb, int priority)
{
    if (!cb) { setError(Error::Param); return 0; }
    GraphLock l(graph().mutex);
    auto tap = std::make_shared<DspTap>(std::move(cb));
    Handle h = addProcessor(stream, tap, priority, Kind::Dsp);
    if (h) {
        tap->self = h;
        tap->stream = stream;
    }
    return h;
}

bool removeDsp(Handle stream, Handle dsp)
{
    GraphLock l(graph().mutex);
    Object* o = graph().find(dsp);
    if (o && o->kind != Kind::Dsp) return fail(Error::WrongKind, false);
    return removeProcessor(stream, dsp);
}

// ---- push streams

Handle createPushStream(int rate, int channels, unsigned flags, int capacityFrames)
{
    if (rate < 1 || rate > 384000 || (channels != 1 && channels != 2)) { setError(Error::Param); return 0; }
    if (capacityFrames <= 0) capacityFrames = std::max(1024, rate / 5);
    auto p = std::make_unique<PushStream>(rate, channels, flags, capacityFrames);
    GraphLock l(graph().mutex);
    prepareScratch();
    Handle h = graph().add(p.release());
    if (!h) { setError(Error::Memory); return 0; }
    ok();
    return h;
}

int pushFloat(Handle h, const float* frames, int count)
{
    GraphLock l(graph().mutex);
    auto* p = findAs<PushStream>(h, Kind::Push);
    if (!p) return -1;
    if (!frames || count < 0) return fail(Error::Param, -1);
    ok();
    return p->push(frames, count);
}

int pushData(Handle h, const void* data, int bytes)
{
    GraphLock l(graph().mutex);
    auto* p = findAs<PushStream>(h, Kind::Push);
    if (!p) return -1;
    if (!data || bytes < 0) return fail(Error::Param, -1);
    const auto* in = static_cast<const std::int16_t*>(data);
    int frames = bytes / (2 * p->channels);
    float* buf = scratch(graph().renderDepth + 1);
    int q = p->queued();
    while (frames > 0) {
        int k = std::min(frames, Stream::kMaxBlock);
        for (int i = 0; i < k; ++i) {
            if (p->channels == 1) {
                buf[2 * i] = buf[2 * i + 1] = toFloat(in[i]);
            } else {
                buf[2 * i] = toFloat(in[2 * i]);
                buf[2 * i + 1] = toFloat(in[2 * i + 1]);
            }
        }
        q = p->push(buf, k);
        in += k * p->channels;
        frames -= k;
    }
    ok();
    return q;
}

int pushQueued(Handle h)
{
    GraphLock l(graph().mutex);
    auto* p = findAs<PushStream>(h, Kind::Push);
    if (!p) return -1;
    ok();
    return p->queued();
}

bool pushReady(Handle h)
{
    GraphLock l(graph().mutex);
    auto* p = findAs<PushStream>(h, Kind::Push);
    if (!p) return false;
    ok();
    return p->ready();
}

// ---- levels and FFT

bool getLevel(Handle h, Level& out)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(h);
    if (!s) return false;
    int n = std::clamp(s->rate / 50, 1, Stream::kMaxBlock);
    float* buf = scratch(graph().renderDepth + 1);
    s->recent(buf, n);
    float pl = 0, pr = 0;
    for (int i = 0; i < n; ++i) {
        pl = std::max(pl, std::fabs(buf[2 * i]));
        pr = std::max(pr, std::fabs(buf[2 * i + 1]));
    }
    out.left = int(std::min(32768.0f, std::nearbyint(pl * 32768.0f)));
    out.right = int(std::min(32768.0f, std::nearbyint(pr * 32768.0f)));
    return ok();
}

bool getFft(Handle h, float* out, int size)
{
    if (!out || size < 256 || size > Stream::kHistory || (size & (size - 1))) { setError(Error::Param); return false; }
    GraphLock l(graph().mutex);
    Stream* s = findStream(h);
    if (!s) return false;
    // kept for the life of the process (output threads may still ask at exit)
    static auto* plans = new std::map<int, kiss_fftr_cfg>;
    static auto& frames = *new std::vector<float>;
    static auto& mono = *new std::vector<float>;
    static auto& window = *new std::vector<float>;
    static auto& spec = *new std::vector<kiss_fft_cpx>;
    kiss_fftr_cfg& cfg = (*plans)[size];
    if (!cfg) cfg = kiss_fftr_alloc(size, 0, nullptr, nullptr);
    if (!cfg) return fail(Error::Memory, false);
    frames.resize(std::size_t(size) * 2);
    mono.resize(std::size_t(size));
    spec.resize(std::size_t(size) / 2 + 1);
    if (int(window.size()) != size) {
        window.resize(std::size_t(size));
        for (int i = 0; i < size; ++i)
            window[std::size_t(i)] = float(0.5 - 0.5 * std::cos(2 * M_PI * i / size));
    }
    s->recent(frames.data(), size);
    for (int i = 0; i < size; ++i)
        mono[std::size_t(i)] = 0.5f * (frames[2 * std::size_t(i)] + frames[2 * std::size_t(i) + 1]) * window[std::size_t(i)];
    kiss_fftr(cfg, mono.data(), spec.data());
    const float scale = 4.0f / float(size);  // window sum is size/2; a sine splits into two bins
    for (int k = 0; k <= size / 2; ++k)
        out[k] = std::hypot(spec[std::size_t(k)].r, spec[std::size_t(k)].i) * scale * (k == 0 || k == size / 2 ? 0.5f : 1.0f);
    return ok();
}

// ---- render

int getData(Handle h, void* buffer, int bytes)
{
    if (!renderingInRealTime)
        Decoder::awaitAhead(h, bytes);
    GraphLock l(graph().mutex);
    Stream* s = findStream(h);
    if (!s) return -1;
    if (!buffer || bytes < 0) return fail(Error::Param, -1);
    const bool fl = s->flags & FloatOut;
    const int ch = s->outChannels();
    const int fb = ch * (fl ? 4 : 2);
    int frames = bytes / fb;
    int done = 0;
    float* buf = scratch(graph().renderDepth + 1);
    RenderScope rs;  // s stays allocated until the scope ends, even if a callback frees it
    while (done < frames) {
        int k = std::min(frames - done, Stream::kMaxBlock);
        int got = s->read(buf, k);
        if (got <= 0) break;
        if (fl) {
            float* o = static_cast<float*>(buffer) + std::size_t(done) * ch;
            for (int i = 0; i < got; ++i) {
                if (ch == 1) o[i] = 0.5f * (buf[2 * i] + buf[2 * i + 1]);
                else { o[2 * i] = buf[2 * i]; o[2 * i + 1] = buf[2 * i + 1]; }
            }
        } else {
            std::int16_t* o = static_cast<std::int16_t*>(buffer) + std::size_t(done) * ch;
            for (int i = 0; i < got; ++i) {
                if (ch == 1) o[i] = toShort(0.5f * (buf[2 * i] + buf[2 * i + 1]));
                else { o[2 * i] = toShort(buf[2 * i]); o[2 * i + 1] = toShort(buf[2 * i + 1]); }
            }
        }
        done += got;
        if (got < k || s->dead) break;
    }
    ok();
    return done * fb;
}

int renderFloat(Handle h, float* out, int frames)
{
    GraphLock l(graph().mutex);
    Stream* s = findStream(h);
    if (!s) {
        if (out && frames > 0) std::memset(out, 0, sizeof(float) * std::size_t(frames) * 2);
        return -1;
    }
    if (!out || frames < 0) return fail(Error::Param, -1);
    const int ch = s->outChannels();
    float* buf = scratch(graph().renderDepth + 1);
    RenderScope rs;
    int done = 0, total = 0;
    while (done < frames) {
        int k = std::min(frames - done, Stream::kMaxBlock);
        int got = renderInto(s, buf, k, true);
        float* o = out + std::size_t(done) * ch;
        for (int i = 0; i < k; ++i) {
            if (ch == 1) o[i] = 0.5f * (buf[2 * i] + buf[2 * i + 1]);
            else { o[2 * i] = buf[2 * i]; o[2 * i + 1] = buf[2 * i + 1]; }
        }
        total += got;
        done += k;
        if (s->dead) break;
    }
    if (done < frames)
        std::memset(out + std::size_t(done) * ch, 0, sizeof(float) * std::size_t(frames - done) * ch);
    ok();
    return total;
}

}  // namespace sound
