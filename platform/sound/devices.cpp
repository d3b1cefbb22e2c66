// The device calls of sound.h over PortAudio: ALSA PCMs for {Alsa, 1..n}, JACK clients for
// {Jack, 0..n-1}; {NoSound, 0} belongs to the no-sound clock.
//
// Lock order: the device table's mutex is never held while the graph lock is taken, and no
// PortAudio stream is stopped or closed under either (its callback takes the graph lock).
#include <algorithm>
#include <map>
#include <vector>
#include <memory>
#include <mutex>

#include "platform/sound/devicecatalog.h"
#include "platform/sound/errorstate.h"
#include "platform/sound/graph.h"
#include "platform/sound/alsaoutput.h"
#include "platform/sound/jackoutput.h"
#include "platform/sound/logicaloutput.h"
#include "platform/sound/outputdevice.h"

namespace sound {

namespace {

struct DeviceTable {
    std::mutex m;
    std::map<std::pair<int, int>, std::shared_ptr<OutputDevice>> open;
    std::map<Handle, Handle> placed;  // stream played on a device -> its output
    bool hooked = false;
};

DeviceTable& table()
{
    static DeviceTable* t = new DeviceTable;  // output callbacks may outlive static destructors
    return *t;
}

std::pair<int, int> key(DeviceRef d) { return {int(d.api), d.index}; }

bool isNoSound(DeviceRef d) { return d.api == DeviceApi::NoSound && d.index == 0; }

// the catalogue entry of a device, or an error
Error lookup(DeviceRef d, DeviceEntry& out)
{
    auto& cat = DeviceCatalog::instance();
    if (!cat.ensureRead()) return Error::Driver;
    if (d.api == DeviceApi::Alsa) {
        auto list = cat.outputs(HostKind::Alsa);
        if (d.index < 1 || d.index > int(list.size())) return Error::Device;
        out = list[size_t(d.index - 1)];
        return Error::Ok;
    }
    if (d.api == DeviceApi::Jack) {
        auto list = cat.outputs(HostKind::Jack);
        if (list.empty()) return Error::NoServer;
        if (d.index < 0 || d.index >= int(list.size())) return Error::Device;
        out = list[size_t(d.index)];
        return Error::Ok;
    }
    return Error::Device;
}

std::shared_ptr<OutputDevice> findOpen(DeviceRef d)
{
    std::lock_guard<std::mutex> l(table().m);
    auto it = table().open.find(key(d));
    return it == table().open.end() ? nullptr : it->second;
}

bool startPlaced(Handle stream, DeviceRef device, const OutputRoute& route)
{
    Handle existing = 0;
    {
        std::lock_guard<std::mutex> l(table().m);
        auto it = table().placed.find(stream);
        if (it != table().placed.end()) existing = it->second;
    }
    if (existing && kindOf(existing) == Kind::Output) return pauseOutput(existing, false);
    Handle out = openOutput(device, stream, route);
    if (!out) return false;
    std::lock_guard<std::mutex> l(table().m);
    table().placed[stream] = out;
    return true;
}

bool stopPlaced(Handle stream)
{
    Handle out = 0;
    {
        std::lock_guard<std::mutex> l(table().m);
        auto it = table().placed.find(stream);
        if (it == table().placed.end()) return true;
        out = it->second;
        table().placed.erase(it);
    }
    closeOutput(out);
    return true;
}

void installHooks()
{
    {
        std::lock_guard<std::mutex> l(table().m);
        if (table().hooked) return;
        table().hooked = true;
    }
    setDeviceHooks({startPlaced, stopPlaced});
}

}  // namespace

bool refreshDevices()
{
    installHooks();
    auto& cat = DeviceCatalog::instance();
    if (cat.openStreams() > 0) return fail(Error::Busy, false);
    if (!cat.refresh()) return fail(cat.openStreams() > 0 ? Error::Busy : Error::Driver, false);
    setError(Error::Ok);
    return true;
}

int deviceCount(DeviceApi api)
{
    if (api == DeviceApi::NoSound) return 1;
    auto& cat = DeviceCatalog::instance();
    if (!cat.ensureRead()) return fail(Error::Driver, 0);
    setError(Error::Ok);
    return int(cat.outputs(api == DeviceApi::Alsa ? HostKind::Alsa : HostKind::Jack).size());
}

bool getDeviceInfo(DeviceRef device, DeviceInfo& out)
{
    if (isNoSound(device)) {
        out = DeviceInfo{"No sound", 2, 0, 44100, true, false};
        setError(Error::Ok);
        return true;
    }
    DeviceEntry e;
    if (Error err = lookup(device, e); err != Error::Ok) return fail(err, false);
    out.name = e.name;
    out.outputChannels = e.outputChannels;
    out.inputChannels = e.inputChannels;
    out.rate = e.rate;
    out.isDefault = device.api == DeviceApi::Alsa ? e.name == "default" : e.name == "system";
    auto d = findOpen(device);
    out.initialised = d && d->isOpen();
    if (out.initialised) out.rate = d->rate();
    setError(Error::Ok);
    return true;
}

bool initDevice(DeviceRef device, int rate, int periodMs, int bufferMs)
{
    installHooks();
    if (isNoSound(device)) return (setError(Error::Ok), true);
    if (findOpen(device)) return (setError(Error::Ok), true);
    DeviceEntry e;
    if (Error err = lookup(device, e); err != Error::Ok) return fail(err, false);
    std::shared_ptr<OutputDevice> d;
    if (device.api == DeviceApi::Alsa) d = std::make_shared<AlsaOutput>(e);
    else d = std::make_shared<JackOutput>(e, DeviceCatalog::instance().jackServer());
    if (Error err = d->open(rate, periodMs, bufferMs); err != Error::Ok) {
        d->close();
        return fail(err, false);
    }
    {
        std::lock_guard<std::mutex> l(table().m);
        auto [it, fresh] = table().open.emplace(key(device), d);
        if (!fresh) {
            // another thread initialised it meanwhile: keep theirs
            d->close();
        }
    }
    setError(Error::Ok);
    return true;
}

bool freeDevice(DeviceRef device)
{
    if (isNoSound(device)) return (setError(Error::Ok), true);
    std::shared_ptr<OutputDevice> d;
    {
        std::lock_guard<std::mutex> l(table().m);
        auto it = table().open.find(key(device));
        if (it == table().open.end()) return fail(Error::Init, false);
        d = it->second;
        table().open.erase(it);
    }
    d->stop();
    std::vector<Handle> closed;
    {
        GraphLock l(Graph::instance().mutex);
        for (Object* o : Graph::instance().all()) {
            auto out = dynamic_cast<LogicalOutput*>(o);
            if (out && out->device == d) {
                closed.push_back(out->handle);
                out->device.reset();
                Graph::instance().remove(out);
            }
        }
    }
    {
        std::lock_guard<std::mutex> l(table().m);
        for (auto it = table().placed.begin(); it != table().placed.end();)
            it = std::find(closed.begin(), closed.end(), it->second) != closed.end() ? table().placed.erase(it)
                                                                                     : std::next(it);
    }
    d->close();
    setError(Error::Ok);
    return true;
}

bool startDevice(DeviceRef device)
{
    if (isNoSound(device)) return (setError(Error::Ok), true);
    auto d = findOpen(device);
    if (!d) return fail(Error::Init, false);
    Error err = d->start();
    return err == Error::Ok ? (setError(Error::Ok), true) : fail(err, false);
}

bool stopDevice(DeviceRef device)
{
    if (isNoSound(device)) return (setError(Error::Ok), true);
    auto d = findOpen(device);
    if (!d) return fail(Error::Init, false);
    Error err = d->stop();
    return err == Error::Ok ? (setError(Error::Ok), true) : fail(err, false);
}

int deviceRate(DeviceRef device)
{
    if (isNoSound(device)) return (setError(Error::Ok), 44100);
    if (auto d = findOpen(device)) return (setError(Error::Ok), d->rate());
    DeviceEntry e;
    if (Error err = lookup(device, e); err != Error::Ok) return fail(err, 0);
    // a JACK server's rate is known before its client opens; ALSA runs at what it is asked
    setError(Error::Ok);
    return device.api == DeviceApi::Jack ? int(e.rate) : 0;
}

bool getDeviceStats(DeviceRef device, DeviceStats& out)
{
    auto d = findOpen(device);
    if (!d) return fail(Error::Init, false);
    d->stats(out);
    setError(Error::Ok);
    return true;
}

Handle openOutput(DeviceRef device, Handle stream, const OutputRoute& route)
{
    StreamInfo info;
    if (!getInfo(stream, info)) return 0;
    auto d = findOpen(device);
    if (!d) return fail(isNoSound(device) ? Error::Param : Error::Init, Handle(0));
    if (d->lost()) return fail(Error::Device, Handle(0));

    int first = 0;
    OutputDevice::Mode mode = OutputDevice::Mode::Stereo;
    if (route.channel >= 0) {
        first = route.channel;
        mode = OutputDevice::Mode::Mono;
    } else {
        first = 2 * route.pair;
        switch (route.side) {
        case Side::Pair:
        case Side::Both: break;
        case Side::Left: mode = OutputDevice::Mode::Mono; break;
        case Side::Right: mode = OutputDevice::Mode::Mono; first += 1; break;
        }
    }
    if (route.pair < 0) return fail(Error::Param, Handle(0));
    const int slot = d->addRoute(stream, info.channels, first, mode, false);
    if (slot < 0) return fail(Error::Param, Handle(0));

    GraphLock l(Graph::instance().mutex);
    Handle h = Graph::instance().add(new LogicalOutput(d, device, stream, slot));
    if (!h) return fail(Error::Memory, Handle(0));
    setError(Error::Ok);
    return h;
}

bool closeOutput(Handle output)
{
    GraphLock l(Graph::instance().mutex);
    Object* o = Graph::instance().find(output);
    auto out = dynamic_cast<LogicalOutput*>(o);
    if (!out) return fail(o ? Error::WrongKind : Error::Handle, false);
    Graph::instance().remove(out);
    setError(Error::Ok);
    return true;
}

bool pauseOutput(Handle output, bool paused)
{
    GraphLock l(Graph::instance().mutex);
    Object* o = Graph::instance().find(output);
    auto out = dynamic_cast<LogicalOutput*>(o);
    if (!out) return fail(o ? Error::WrongKind : Error::Handle, false);
    if (!out->device) return fail(Error::Init, false);
    out->device->pauseRoute(out->slot, paused);
    setError(Error::Ok);
    return true;
}

}  // namespace sound
