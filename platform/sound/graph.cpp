#include "platform/sound/graph.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

#include <sched.h>

#include "platform/sound/realtime.h"

namespace sound {

namespace {

thread_local int holds = 0;
thread_local std::int64_t holdStartCpu = 0, holdStartWall = 0;
thread_local bool holdTimed = false;  // the outermost hold began while timing was on
thread_local const void* holdSite = nullptr;
thread_local std::vector<Object*> dying;  // what this thread destroys after its hold
std::atomic<GraphMutex::Timing*> timing{nullptr};

std::int64_t nowNs(clockid_t c)
{
    timespec ts{};
    clock_gettime(c, &ts);
    return std::int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

}  // namespace

bool realTimeChecks()
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    static const bool on = true;
#else
    static const bool on = [] {
        const char* v = std::getenv("OSTREL_RT_CHECKS");
        return v && *v && *v != '0';
    }();
#endif
    return on;
}

void forbidOnAudioThread(const char* what)
{
    if (renderingInRealTime && realTimeChecks()) {
        std::fprintf(stderr, "real-time rule broken on an audio thread: %s\n", what);
        std::abort();
    }
}

void GraphMutex::setTiming(Timing* t) { timing.store(t); }

// A hold by a non-audio thread is timed only when timing was on as it began.
void GraphMutex::startHold(Timing* t, const void* site)
{
    holdTimed = t && !renderingInRealTime;
    if (holdTimed) {
        holdSite = site;
        holdStartWall = nowNs(CLOCK_MONOTONIC);  // the CPU time read inside the wall time
        holdStartCpu = nowNs(CLOCK_THREAD_CPUTIME_ID);
    }
}

int GraphMutex::holdsHere() { return holds; }

namespace {

void cpuRelax()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

// An audio thread that went to sleep on the lock would wake only when the scheduler next
// gives it a core, which on a busy machine is milliseconds after the holder let go. Holds are
// short, so it keeps its core and tries again until the lock is free; only a hold far longer
// than any should be (a holder descheduled for a whole period) puts it to sleep.
constexpr std::int64_t kSpinNs = 4000000;

}  // namespace

// A thread that is preempted while it holds the lock keeps the audio threads waiting for as
// long as the scheduler leaves it off its core, milliseconds on a busy machine. Holds are a
// few microseconds, so a thread that has run for a while gives up its core before one and
// takes the lock at the start of a fresh time slice.
void GraphMutex::yieldBeforeHold()
{
    constexpr std::int64_t kFresh = 100000;
    thread_local std::int64_t lastYield = 0;
    const std::int64_t now = nowNs(CLOCK_MONOTONIC);
    if (now - lastYield < kFresh)
        return;
    sched_yield();
    lastYield = nowNs(CLOCK_MONOTONIC);
}

void GraphMutex::lockRealTime(Timing* t)
{
    if (m_.try_lock()) {
        if (t) t->audioWait(0);
        return;
    }
    const std::int64_t t0 = nowNs(CLOCK_MONOTONIC);
    for (;;) {
        for (int i = 0; i < 32; ++i)
            cpuRelax();
        if (m_.try_lock())
            break;
        if (nowNs(CLOCK_MONOTONIC) - t0 > kSpinNs) {
            m_.lock();
            break;
        }
    }
    if (t) t->audioWait(nowNs(CLOCK_MONOTONIC) - t0);
}

void GraphMutex::lock()
{
    Timing* t = timing.load(std::memory_order_relaxed);
    if (holds == 0 && renderingInRealTime) {
        lockRealTime(t);
    } else {
        if (holds == 0) yieldBeforeHold();
        m_.lock();
    }
    if (holds++ == 0)
        startHold(t, __builtin_return_address(0));
}

bool GraphMutex::try_lock()
{
    if (!m_.try_lock())
        return false;
    if (holds++ == 0)
        startHold(timing.load(std::memory_order_relaxed), __builtin_return_address(0));
    return true;
}

void GraphMutex::unlock()
{
    if (--holds > 0) {
        m_.unlock();
        return;
    }
    Graph& g = Graph::instance();
    if (renderingInRealTime) {
        g.reapRemoved();
        m_.unlock();
        return;
    }
    g.takeRemoved(dying);
    if (Timing* t = timing.load(std::memory_order_relaxed); t && holdTimed) {
        const std::int64_t cpu = nowNs(CLOCK_THREAD_CPUTIME_ID) - holdStartCpu;
        t->hold(cpu, nowNs(CLOCK_MONOTONIC) - holdStartWall, holdSite);
    }
    holdTimed = false;
    m_.unlock();
    if (!dying.empty()) {
        std::vector<Object*> d;
        d.swap(dying);
        for (Object* o : d)
            delete o;
        d.clear();
        d.swap(dying);  // keep the capacity for next time
    }
}

Graph::Graph()
{
    removed_.reserve(256);
    reaperQueue_.reserve(4096);
    std::thread([this] { reaperRun(); }).detach();  // lives as long as the process
}

Graph& Graph::instance()
{
    static Graph* g = new Graph;  // never destroyed: output threads may outlive static destructors
    return *g;
}

Handle Graph::add(Object* o)
{
    std::uint32_t idx;
    if (!free_.empty() && (free_.size() > 1024 || slots_.size() > 0xFFFF)) {
        idx = free_.front();
        free_.pop_front();
    } else if (slots_.size() <= 0xFFFF) {
        idx = std::uint32_t(slots_.size());
        slots_.push_back({});
    } else {
        delete o;
        return 0;
    }
    Slot& s = slots_[idx];
    s.obj = o;
    o->handle = (std::uint32_t(s.gen) << 16) | idx;
    return o->handle;
}

Object* Graph::find(Handle h) const
{
    std::uint32_t idx = h & 0xFFFF;
    if (h == 0 || idx == 0 || idx >= slots_.size())
        return nullptr;
    const Slot& s = slots_[idx];
    if (s.gen != (h >> 16) || !s.obj)
        return nullptr;
    return s.obj;
}

void Graph::remove(Object* o)
{
    std::uint32_t idx = o->handle & 0xFFFF;
    if (idx && idx < slots_.size() && slots_[idx].obj == o) {
        Slot& s = slots_[idx];
        s.obj = nullptr;
        s.gen = std::uint16_t(s.gen + 1 == 0 ? 1 : s.gen + 1);
        free_.push_back(idx);
    }
    o->dead = true;
    removed_.push_back(o);
}

namespace {
struct Discarded : Object {
    explicit Discarded(std::vector<float>&& b) : Object(Kind::None), block(std::move(b)) {}
    std::vector<float> block;
};
}  // namespace

void Graph::discard(std::vector<float>&& block)
{
    if (block.empty())
        return;
    auto* d = new Discarded(std::move(block));
    d->dead = true;
    removed_.push_back(d);
}

std::vector<Object*> Graph::all() const
{
    std::vector<Object*> v;
    for (const Slot& s : slots_)
        if (s.obj)
            v.push_back(s.obj);
    return v;
}

void Graph::takeRemoved(std::vector<Object*>& into)
{
    into.insert(into.end(), removed_.begin(), removed_.end());
    removed_.clear();
}

void Graph::reap(std::vector<Object*>& objects)
{
    if (objects.empty())
        return;
    {
        std::lock_guard<std::mutex> l(reaperMutex_);
        reaperQueue_.insert(reaperQueue_.end(), objects.begin(), objects.end());
        ++reaperPosted_;
    }
    objects.clear();
    reaperCv_.notify_one();
}

void Graph::drainReaper()
{
    std::unique_lock<std::mutex> l(reaperMutex_);
    const std::uint64_t target = reaperPosted_;
    reaperIdle_.wait(l, [&] { return reaperDone_ >= target; });
}

void Graph::reaperRun()
{
    std::vector<Object*> batch;
    batch.reserve(4096);
    for (;;) {
        std::uint64_t posted;
        {
            std::unique_lock<std::mutex> l(reaperMutex_);
            reaperCv_.wait(l, [&] { return !reaperQueue_.empty(); });
            batch.swap(reaperQueue_);
            posted = reaperPosted_;
        }
        for (Object* o : batch)
            delete o;
        batch.clear();
        {
            std::lock_guard<std::mutex> l(reaperMutex_);
            if (reaperQueue_.capacity() < 4096)
                reaperQueue_.reserve(4096);
            reaperDone_ = posted;
        }
        reaperIdle_.notify_all();
    }
}

}  // namespace sound
