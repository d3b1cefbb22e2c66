// The one lock over the sound graph, the handle table and the reaper.
//
// Nothing is destroyed under the graph lock. remove() takes an object out of the handle table
// and out of the graph; the object itself is destroyed once the thread that removed it ends its
// outermost hold of the lock: by that thread when it is not an audio thread, by the reaper
// thread otherwise. So a stream freed by a callback during a render stays allocated until the
// render is over, and no free, join or flush of a destroyed object holds up an audio callback.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sound/sound.h"

namespace sound {

class Object {
public:
    explicit Object(Kind k) : kind(k) {}
    virtual ~Object() = default;
    const Kind kind;
    Handle handle = 0;
    bool dead = false;  // removed; destroyed after the remover's outermost hold of the lock
};

// A recursive mutex that counts this thread's holds; the outermost unlock hands what was
// removed under it to destruction outside the lock. An audio thread waits for it spinning,
// not sleeping.
class GraphMutex {
public:
    void lock();
    void unlock();
    bool try_lock();
    static int holdsHere();  // this thread's holds, 0 when it does not hold the lock

    // Times each hold by a non-audio thread (its thread CPU time and wall time) and each wait
    // of an audio thread for the lock, for the benchmark. Off by default; the figures go to the
    // recorder given. hold() is called by the holder just before it lets go, so the recorder
    // may look at the holder's stack; `site` is the code address that took the lock.
    struct Timing {
        virtual ~Timing() = default;
        virtual void audioWait(std::int64_t ns) = 0;
        virtual void hold(std::int64_t cpuNs, std::int64_t wallNs, const void* site) = 0;
    };
    static void setTiming(Timing* t);

private:
    static void startHold(Timing* t, const void* site);
    void lockRealTime(Timing* t);
    static void yieldBeforeHold();

    std::recursive_mutex m_;
};

class Graph {
public:
    static Graph& instance();

    GraphMutex mutex;

    Handle add(Object* o);                      // takes ownership
    Object* find(Handle h) const;               // nullptr for 0, stale or freed
    void remove(Object* o);                     // drops the handle; o is destroyed after the hold
    void discard(std::vector<float>&& block);   // freed after the hold, like a removed object
    std::vector<Object*> all() const;

    int renderDepth = 0;                        // renders running on the lock holder's thread
    void endRender() { --renderDepth; }

    // The objects removed under the hold that is ending, taken with the lock held.
    void takeRemoved(std::vector<Object*>& into);
    // Destroys objects on the reaper thread (from an audio thread: never blocks for long).
    void reap(std::vector<Object*>& objects);
    void reapRemoved() { reap(removed_); }
    // Waits until the reaper has destroyed everything handed to it so far (tests).
    void drainReaper();

private:
    Graph();
    void reaperRun();

    struct Slot {
        std::uint16_t gen = 1;
        Object* obj = nullptr;
    };
    std::vector<Slot> slots_{1};                // slot 0 is never used: handle 0 is invalid
    std::deque<std::uint32_t> free_;            // reused oldest first, so a stale handle stays stale
    std::vector<Object*> removed_;

    std::mutex reaperMutex_;
    std::condition_variable reaperCv_, reaperIdle_;
    std::vector<Object*> reaperQueue_;
    std::uint64_t reaperPosted_ = 0, reaperDone_ = 0;
};

using GraphLock = std::lock_guard<GraphMutex>;

// Counts a render on this thread (nested renders use scratch blocks of their own); the lock
// must be held.
class RenderScope {
public:
    RenderScope() { ++Graph::instance().renderDepth; }
    ~RenderScope() { Graph::instance().endRender(); }
};

}  // namespace sound
