#include "platform/sound/graph.h"

namespace sound {

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
    if (renderDepth > 0)
        graveyard_.push_back(o);
    else
        delete o;
}

std::vector<Object*> Graph::all() const
{
    std::vector<Object*> v;
    for (const Slot& s : slots_)
        if (s.obj)
            v.push_back(s.obj);
    return v;
}

void Graph::endRender()
{
    if (--renderDepth > 0 || graveyard_.empty())
        return;
    std::vector<Object*> g;
    g.swap(graveyard_);
    for (Object* o : g)
        delete o;
}

}  // namespace sound
