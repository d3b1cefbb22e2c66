// Playing a non-decoding stream: on the no-sound device our clock pulls it; on a real device
// the output code, through the hooks it installed, opens an output that pulls it.
#include "platform/sound/errorstate.h"
#include "platform/sound/graph.h"
#include "platform/sound/nosoundclock.h"
#include "platform/sound/stream.h"

namespace sound {

namespace {
DeviceHooks& hooks()
{
    static DeviceHooks h;
    return h;
}
}  // namespace

void setDeviceHooks(DeviceHooks h)
{
    GraphLock l(Graph::instance().mutex);
    hooks() = std::move(h);
}

bool setStreamDevice(Handle h, DeviceRef device, const OutputRoute& route)
{
    GraphLock l(Graph::instance().mutex);
    Object* o = Graph::instance().find(h);
    auto* s = dynamic_cast<Stream*>(o);
    if (!s) return fail(o ? Error::WrongKind : Error::Handle, false);
    if (s->flags & Decode) return fail(Error::Param, false);
    s->device = device;
    s->route = route;
    setError(Error::Ok);
    return true;
}

bool getStreamDevice(Handle h, DeviceRef& device, OutputRoute& route)
{
    GraphLock l(Graph::instance().mutex);
    Object* o = Graph::instance().find(h);
    auto* s = dynamic_cast<Stream*>(o);
    if (!s) return fail(o ? Error::WrongKind : Error::Handle, false);
    device = s->device;
    route = s->route;
    setError(Error::Ok);
    return true;
}

bool startOnDevice(Stream* s)
{
    if (s->device.api == DeviceApi::NoSound) {
        NoSoundClock::instance().start(s->handle);
        return true;
    }
    if (!hooks().start)
        return fail(Error::Init, false);
    if (!hooks().start(s->handle, s->device, s->route)) {
        s->playState = State::Stopped;
        if (lastError() == Error::Ok) setError(Error::Device);
        return false;
    }
    return true;
}

void stopOnDevice(Stream* s)
{
    if (s->device.api == DeviceApi::NoSound) {
        NoSoundClock::instance().stop(s->handle);
        return;
    }
    if (hooks().stop)
        hooks().stop(s->handle);
}

}  // namespace sound
