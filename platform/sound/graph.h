// The one lock over the sound graph, the handle table and the deferred deletion of objects
// freed while a render runs on this thread (a callback may free the stream being mixed).
#pragma once

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
    bool dead = false;  // freed while a render was running; deleted when it ends
};

class Graph {
public:
    static Graph& instance();

    std::recursive_mutex mutex;

    Handle add(Object* o);                      // takes ownership
    Object* find(Handle h) const;               // nullptr for 0, stale or freed
    void remove(Object* o);                     // drops the handle and deletes (or defers) o
    std::vector<Object*> all() const;

    int renderDepth = 0;                        // renders running on the lock holder's thread
    void endRender();                           // deletes what was freed during the render

private:
    struct Slot {
        std::uint16_t gen = 1;
        Object* obj = nullptr;
    };
    std::vector<Slot> slots_{1};                // slot 0 is never used: handle 0 is invalid
    std::deque<std::uint32_t> free_;            // reused oldest first, so a stale handle stays stale
    std::vector<Object*> graveyard_;
};

using GraphLock = std::lock_guard<std::recursive_mutex>;

// Counts a render on this thread for the deferred deletion; the lock must be held.
class RenderScope {
public:
    RenderScope() { ++Graph::instance().renderDepth; }
    ~RenderScope() { Graph::instance().endRender(); }
};

}  // namespace sound
