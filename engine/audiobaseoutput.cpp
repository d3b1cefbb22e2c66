// The engine: outputs on ALSA ("DirectSound") and JACK ("ASIO") devices in the six routing
// modes, their rebuilds, and the offline render of tests and benchmarks.
#include <algorithm>
#include <set>
#include <thread>

#include <QCoreApplication>
#include <QTimer>

#include "engine/audiobase.h"
#include "engine/audiodjbase.h"
#include "engine/carga.h"
#include "engine/deckmessagebox.h"
#include "engine/mainservices.h"

using sound::DeviceApi;
using sound::DeviceRef;
using sound::Handle;
using sound::OutputRoute;
using sound::Side;

namespace {

bool mastermode(int mode) { return mode == 3 || mode == 4 || mode == 6; }
bool singlechannel(int mode) { return mode == 1 || mode == 4; }

// single-channel modes: 0 left, 1 right, 2 both
float panof(int choice) { return choice == 0 ? -1.0f : choice == 1 ? 1.0f : 0.0f; }

OutputRoute pairroute(int pair) { return OutputRoute{std::clamp(pair, 0, 8), Side::Pair, -1}; }
OutputRoute channelroute(int ch) { return OutputRoute{0, Side::Pair, std::max(ch, 0)}; }

std::array<Handle, 6> buses()
{
    return {chanheadphones.load(), chanheadphones2.load(), changrabacion.load(),
            changrabacion2.load(), samgrabacion.load(), samgrabacion2.load()};
}

}  // namespace

DeviceRef audiobase::dsdevice(int row) const
{
    const int n = soundcfg->dsnum[size_t(row)] + 1;
    return n <= 0 ? DeviceRef{DeviceApi::NoSound, 0} : DeviceRef{DeviceApi::Alsa, n};
}

DeviceRef audiobase::asiodevice(int row) const { return {DeviceApi::Jack, soundcfg->asnum[size_t(row)]}; }

// Stops and frees the outputs the last set-up built (described by `old`).
void audiobase::releaseoutputs(const PSoundConfig& old)
{
    recorderstart_.cancel();
    std::set<Handle> streams;
    for (int n = 1; n <= 4; ++n)
        if (carga* d = deck(n)) streams.insert(d->CMaster.load());
    streams.insert(Master.load());
    streams.insert(headphones.load());
    streams.insert(Grabacion.load());
    streams.erase(0);
    for (const Output& o : outs_)
        if (o.output) sound::closeOutput(o.output);
    for (Handle h : streams) sound::stop(h);
    if (old.devicemode == 0) {
        sound::freeDevice({DeviceApi::Jack, old.asnum[0]});
        if (old.devicework == 5 || old.devicework == 6) sound::freeDevice({DeviceApi::Jack, old.asnum[1]});
        std::erase_if(used_, [](const DeviceRef& d) { return d.api == DeviceApi::Jack; });
    }
    for (Handle h : streams) sound::freeStream(h);
    outs_.clear();
    for (int n = 1; n <= 4; ++n)
        if (carga* d = deck(n)) d->CMaster = 0;
    Master = 0;
    headphones = 0;
    Grabacion = 0;
    for (auto& h : nchan) h = 0;
    for (auto& h : nchan2) h = 0;
}

void audiobase::createbuses()
{
    for (Shared<Handle>* bus : {&chanheadphones, &chanheadphones2, &changrabacion, &changrabacion2, &samgrabacion,
                                &samgrabacion2})
        if (!*bus) *bus = sound::createPushStream(kBusRate, 2, sound::Decode);
}

Handle audiobase::outputmixer(bool asio, int rate, int channels)
{
    const unsigned flags = sound::NonStop | (asio || offlinerender ? unsigned(sound::Decode) : 0u);
    return sound::createMixer(rate > 0 ? rate : kBusRate, channels, flags);
}

void audiobase::route(bool asio, Handle mixer, DeviceRef device, const OutputRoute& where, float pan,
                      std::array<Shared<Handle>, 9>* feed, int feedslot)
{
    Output o;
    o.stream = mixer;
    o.device = device;
    o.where = where;
    o.asio = asio;
    outs_.push_back(o);
    sound::setAttribute(mixer, sound::Attribute::Pan, pan);
    if (feed && feedslot >= 0 && feedslot < int(feed->size())) (*feed)[size_t(feedslot)] = mixer;
    if (!asio && !offlinerender) sound::setStreamDevice(mixer, device, where);
}

// The recorder runs on the clock of the decks it records, so that the buses between them
// neither run dry nor overflow: on the device of row 0 (heard nowhere, at volume 0) when that
// runs at the buses' rate, else on the no-sound clock.
void audiobase::buildrecorder(DeviceRef device)
{
    const Handle g = sound::createMixer(kBusRate, 2, sound::NonStop | (offlinerender ? unsigned(sound::Decode) : 0u));
    sound::setAttribute(g, sound::Attribute::Volume, 0);
    if (!offlinerender) sound::setStreamDevice(g, device, channelroute(0));
    for (Handle bus : recordbuses())
        sound::mixerAdd(g, bus, sound::Buffered | sound::NoRampIn);
    Grabacion = g;
}

// The routing table of both driver modes. rates: the actual rates of the devices of rows 0, 1.
void audiobase::buildrouting(bool asio, const std::array<int, 2>& rates)
{
    PSoundConfig& c = *soundcfg;
    const int mode = std::clamp(c.devicework.load(), 1, 6);
    const int ch0 = asio ? c.aschan[0] : c.dschan[0];
    const int ch1 = asio ? c.aschan[1] : c.dschan[1];
    const DeviceRef d0 = asio ? asiodevice(0) : dsdevice(0);
    const DeviceRef d1 = asio ? asiodevice(1) : dsdevice(1);
    const int r0 = asio ? rates[0] : kBusRate;
    const int r1 = asio ? rates[1] : kBusRate;
    const bool master = mastermode(mode);
    const bool mono = asio && singlechannel(mode);

    // where a row's stream lands: a channel (JACK single-channel), a pair, or pair 0 with a pan
    auto where = [&](int choice) {
        return mono ? channelroute(choice) : singlechannel(mode) ? pairroute(0) : pairroute(choice);
    };
    auto panfor = [&](int choice) { return !asio && singlechannel(mode) ? panof(choice) : 0.0f; };

    Handle hp = 0;
    if (master) {
        const Handle m = outputmixer(asio, r0, mono ? 1 : 2);
        Master = m;
        route(asio, m, d0, where(ch0), panfor(ch0), &nchan, asio ? ch0 : -1);
        for (int n = 1; n <= 4; ++n)
            if (carga* d = deck(n)) d->CMaster = m;
        const DeviceRef hd = mode == 6 ? d1 : d0;
        hp = outputmixer(asio, mode == 6 ? r1 : r0, mono ? 1 : 2);
        route(asio, hp, hd, where(ch1), panfor(ch1), mode == 6 ? &nchan2 : &nchan, asio ? ch1 : -1);
    } else {
        const Handle a = outputmixer(asio, r0, mono ? 1 : 2);
        const DeviceRef bd = mode == 5 ? d1 : d0;
        const Handle b = outputmixer(asio, mode == 5 ? r1 : r0, mono ? 1 : 2);
        // JACK single channel: deck A on the first channel, deck B on the second, whatever is chosen
        route(asio, a, d0, mono ? channelroute(0) : where(ch0), panfor(ch0), &nchan, asio ? (mono ? 0 : ch0) : -1);
        route(asio, b, bd, mono ? channelroute(1) : where(ch1), panfor(ch1), mode == 5 ? &nchan2 : &nchan,
              asio ? (mono ? 1 : ch1) : -1);
        if (carga1) carga1->CMaster = a;
        if (carga3) carga3->CMaster = a;
        if (carga2) carga2->CMaster = b;
        if (carga4) carga4->CMaster = b;
        // the cue has no output of its own here: its mixer runs silent
        hp = outputmixer(asio, kBusRate, asio ? 1 : 2);
        if (asio) sound::setAttribute(hp, sound::Attribute::Volume, 0);
        else route(asio, hp, d0, pairroute(0), 0, nullptr, -1);
    }
    for (Handle bus : {chanheadphones.load(), chanheadphones2.load()})
        sound::mixerAdd(hp, bus, sound::NoRampIn);
    headphones = hp;
    buildrecorder(r0 == kBusRate ? d0 : DeviceRef{DeviceApi::NoSound, 0});

    usemaster = master;
    useheadphones = master;
    if (carga1) carga1->headphones = asio ? true : master;
    if (carga2) carga2->headphones = asio ? false : master;
}

bool audiobase::startoutputs()
{
    if (offlinerender) return true;
    bool running = true;
    for (Output& o : outs_) {
        if (o.asio) {
            if (o.output) sound::closeOutput(o.output);
            o.output = sound::openOutput(o.device, o.stream, o.where);
            if (!o.output && sound::lastError() != sound::Error::Param) running = false;
        } else if (!sound::play(o.stream, true)) {
            // channels the device lacks: the mix runs on (cue, recording) and is heard nowhere
            sound::setStreamDevice(o.stream, {DeviceApi::NoSound, 0});
            sound::play(o.stream, true);
        }
    }
    return running;
}

void audiobase::snapshot()
{
    PSoundConfig& o = *oldsoundcfg;
    const PSoundConfig& c = *soundcfg;
    o.devicemode = c.devicemode.load();
    o.devicework = c.devicework.load();
    for (size_t i = 0; i < 3; ++i) {
        o.dsnum[i] = c.dsnum[i].load();
        o.dschan[i] = c.dschan[i].load();
        o.asnum[i] = c.asnum[i].load();
        o.aschan[i] = c.aschan[i].load();
    }
}

void audiobase::createtimer()
{
    if (fchangetimer) return;
    fchangetimer = new QTimer(winhandle ? winhandle->owner() : nullptr);
    fchangetimer->setInterval(5);
    QObject::connect(fchangetimer, &QTimer::timeout, [this] { OnChangeTimer(); });
    if (QCoreApplication::instance()) fchangetimer->start();
}

// Each main deck's copy into its headphone bus exists exactly while the routing has a cue output.
void audiobase::headphonetaps(bool on)
{
    for (int n = 1; n <= 2; ++n) {
        carga* d = deck(n);
        if (!d) continue;
        Shared<Handle>& tap = n == 1 ? d->rotdsp : d->rotdsp2;
        const Handle mixer = d->Mixer;
        if (const Handle old = tap.exchange(0)) sound::removeDsp(mixer, old);
        if (!on || !mixer) continue;
        const Handle bus = n == 1 ? chanheadphones.load() : chanheadphones2.load();
        sound::lock(mixer, true);
        tap = sound::setDsp(mixer, [bus](Handle, Handle, float* f, int k) { sound::pushFloat(bus, f, k); }, 0);
        sound::lock(mixer, false);
    }
}

bool audiobase::initds()
{
    releaseoutputs(*oldsoundcfg);
    const int mode = std::clamp(soundcfg->devicework.load(), 1, 6);
    const int rows = mode == 5 ? 3 : mode == 6 ? 2 : 1;
    bool opened = true;
    if (!offlinerender) {
        // a card the new routing leaves out is let go
        std::vector<DeviceRef> keep;
        for (int row = 0; row < rows; ++row) keep.push_back(dsdevice(row));
        std::erase_if(used_, [&](const DeviceRef& d) {
            const bool drop = d.api == DeviceApi::Alsa && std::find(keep.begin(), keep.end(), d) == keep.end();
            if (drop) sound::freeDevice(d);
            return drop;
        });
        const int up = carga1 ? carga1->configup : 8, bu = carga1 ? carga1->configbu : 100;
        for (int row = 0; row < rows; ++row) {
            const DeviceRef d = dsdevice(row);
            // a device that is gone or refuses to open leaves its output silent; the others play
            if (!sound::initDevice(d, kBusRate, up, bu)) {
                opened = false;
                // with no device chosen yet (a first start) the configuration dialog, which opens
                // at the first activation, is the answer: a box naming no device would only
                // stand in its way
                const QString name = soundcfg->dsname[size_t(row)].get();
                if (!name.isEmpty() && name != QLatin1String("-")) message(QStringLiteral("Can't start sound device %1 !  ").arg(name));
            } else if (std::find(used_.begin(), used_.end(), d) == used_.end()) {
                used_.push_back(d);
            }
        }
    }
    sound::initDevice({DeviceApi::NoSound, 0}, kBusRate);
    createbuses();
    buildrouting(false, {kBusRate, kBusRate});
    headphonetaps(useheadphones);
    startoutputs();
    sound::setAttribute(Grabacion, sound::Attribute::Volume, 0);
    snapshot();
    createtimer();
    return opened;
}

bool audiobase::asiocheck(int mode, std::array<int, 2>& rates)
{
    // prepares the device of a row: its actual rate and how many output channels it has
    auto prepare = [&](int row, int& outputs) {
        const DeviceRef d = asiodevice(row);
        outputs = 0;
        if (!sound::initDevice(d, kBusRate)) return;
        if (std::find(used_.begin(), used_.end(), d) == used_.end()) used_.push_back(d);
        rates[size_t(row)] = sound::deviceRate(d);
        sound::DeviceInfo info;
        if (sound::getDeviceInfo(d, info)) outputs = info.outputChannels;
    };
    const PSoundConfig& c = *soundcfg;
    int outs0 = 0, outs1 = 0;
    prepare(0, outs0);
    rates[1] = rates[0];
    if (singlechannel(mode)) return std::min(2, outs0) >= 1;
    const int p0 = std::min(outs0 / 2, 3);
    if (mode == 2) return !((c.aschan[1] == 3 && p0 < 3) || (c.aschan[1] == 2 && p0 < 2)) && p0 >= 1;
    if (mode == 3) return p0 >= 2;
    prepare(1, outs1);
    const int p1 = std::min(outs1 / 2, 3);
    for (int p : {p0, p1})
        if ((c.aschan[0] == 3 && p < 3) || (c.aschan[0] == 2 && p < 2) || p < 1) return false;
    return true;
}

bool audiobase::initasio()
{
    releaseoutputs(*oldsoundcfg);
    // the sound cards of the other driver mode are let go
    std::erase_if(used_, [](const DeviceRef& d) {
        const bool alsa = d.api == DeviceApi::Alsa;
        if (alsa) sound::freeDevice(d);
        return alsa;
    });
    createbuses();
    const int mode = std::clamp(soundcfg->devicework.load(), 1, 6);
    std::array<int, 2> rates{kBusRate, kBusRate};
    bool ok = offlinerender || asiocheck(mode, rates);
    if (ok) {
        sound::initDevice({DeviceApi::NoSound, 0}, kBusRate);
        buildrouting(true, rates);
        headphonetaps(useheadphones);
        sound::setAttribute(headphones, sound::Attribute::Volume, mastermode(mode) ? 1.0f : 0.0f);
        // a route on channels the device lacks stays silent; a device that does not run fails
        ok = startoutputs();
        sound::setAttribute(Grabacion, sound::Attribute::Volume, 0);
    }
    if (!ok) {
        if (adjmessage)
            adjmessage->MessageDlg(QStringLiteral("Warning "), QStringLiteral("Can't start JACK Output !  "), 0, 0, 1);
        else
            message(QStringLiteral("Can't start JACK Output !  "));
        if (outs_.empty()) {
            for (const DeviceRef& d : used_)
                if (d.api == DeviceApi::Jack) sound::freeDevice(d);
            std::erase_if(used_, [](const DeviceRef& d) { return d.api == DeviceApi::Jack; });
        }
    }
    snapshot();
    if (ok) createtimer();
    return ok;
}

// Decks that were playing play on through the new outputs.
void audiobase::keepplaying()
{
    if (isplay1 && carga1) {
        carga1->cpause();
        carga1->cplay();
    }
    if (isplay2 && carga2) {
        carga2->cpause();
        carga2->cplay();
    }
}

// After a rebuild each headphone bus goes to what the cue gives it: the deck's headphone
// volume while it is cued on a routing with a cue output, silence otherwise.
void audiobase::restorecue()
{
    for (int n = 1; n <= 2; ++n) {
        carga* d = deck(n);
        const bool cued = useheadphones && d && d->headphones;
        const float level = cued ? d->basseqfx->volheadphones / 100.0f : 0.0f;
        sound::slideAttribute(n == 1 ? chanheadphones.load() : chanheadphones2.load(), sound::Attribute::Volume, level, 1);
    }
}

void audiobase::desinitds()
{
    isplay1 = false;
    isplay2 = false;
    for (Handle bus : {chanheadphones.load(), chanheadphones2.load()})
        if (bus) sound::setPosition(bus, 0);
    isplay1 = carga1 && carga1->basseqfx->Fstatus == sPlay;
    isplay2 = carga2 && carga2->basseqfx->Fstatus == sPlay;
    initds();
    restorecue();
    keepplaying();
}

void audiobase::desinitasio()
{
    isplay1 = carga1 && carga1->basseqfx->Fstatus == sPlay;
    isplay2 = carga2 && carga2->basseqfx->Fstatus == sPlay;
    initasio();
    keepplaying();
}

bool audiobase::stopcargas()
{
    std::array<Shared<int>*, 4> modes{&mode1, &mode2, &mode3, &mode4};
    for (int n = 1; n <= 4; ++n) {
        carga* d = deck(n);
        const TBassStatus st = d ? d->basseqfx->Fstatus.load() : sStop;
        *modes[size_t(n - 1)] = !d ? 0 : st == sPlay ? 1 : st == sPause ? 2 : 3;
    }
    for (int n = 1; n <= 4; ++n)
        if (carga* d = deck(n)) d->cpause();
    for (int n = 1; n <= 4; ++n)
        if (carga* d = deck(n); d && d->Mixer) sound::mixerRemove(d->Mixer);
    for (Handle bus : buses())
        if (bus) sound::mixerRemove(bus);
    for (Output& o : outs_) {
        if (o.output) sound::closeOutput(o.output);
        o.output = 0;
    }
    for (int i = 1, n = sound::deviceCount(DeviceApi::Alsa); i <= n; ++i) sound::freeDevice({DeviceApi::Alsa, i});
    if (oldsoundcfg->devicemode == 0) {
        sound::freeDevice({DeviceApi::Jack, oldsoundcfg->asnum[0]});
        if (oldsoundcfg->devicework == 5 || oldsoundcfg->devicework == 6)
            sound::freeDevice({DeviceApi::Jack, oldsoundcfg->asnum[1]});
    }
    stoppedcarga = true;
    return true;
}

bool audiobase::playcargas()
{
    if (!stoppedcarga) return false;
    stoppedcarga = false;
    if (!offlinerender) {
        for (const DeviceRef& d : used_) sound::initDevice(d, kBusRate);
        startoutputs();
    }
    // the buses go back where the routing put them
    if (const Handle hp = headphones)
        for (Handle bus : {chanheadphones.load(), chanheadphones2.load()})
            if (bus && !sound::mixerOf(bus)) sound::mixerAdd(hp, bus, sound::NoRampIn);
    if (const Handle g = Grabacion)
        for (Handle bus : recordbuses())
            if (bus && !sound::mixerOf(bus)) sound::mixerAdd(g, bus, sound::Buffered | sound::NoRampIn);
    const std::array<int, 4> modes{mode1, mode2, mode3, mode4};
    for (int n = 1; n <= 4; ++n) {
        carga* d = deck(n);
        if (!d) continue;
        const int m = modes[size_t(n - 1)];
        if (m == 1) d->cplay();
        else if (m == 2) d->cpause();
        else if (m > 2) d->cstop();
    }
    return true;
}

std::vector<Handle> audiobase::outputs() const
{
    std::vector<Handle> v;
    for (const Output& o : outs_) v.push_back(o.stream);
    return v;
}

void audiobase::render(int frames, std::vector<float>* first)
{
    constexpr int kBlock = 1024;
    // The encoder's writer empties its ring of a few seconds only every 50 ms or so: offline,
    // the recording is written out every tenth of a second of sound, so that it loses nothing.
    constexpr int kFlushFrames = kBusRate / 10;
    std::vector<float> buf(size_t(kBlock) * 2);
    for (int done = 0; done < frames;) {
        const int k = std::min(kBlock, frames - done);
        for (size_t i = 0; i < outs_.size(); ++i) {
            sound::renderFloat(outs_[i].stream, buf.data(), k);
            if (i == 0 && first) {
                sound::StreamInfo info;
                sound::getInfo(outs_[i].stream, info);
                first->insert(first->end(), buf.begin(), buf.begin() + std::ptrdiff_t(k) * info.channels);
            }
        }
        if (grabando && Grabacion) {
            sound::renderFloat(Grabacion, buf.data(), k);
            pacedframes_ += k;
            if (pacedframes_ >= kFlushFrames) {
                if (const Handle e = encoder.load()) sound::flushEncoder(e);
                pacedframes_ = 0;
            }
        }
        done += k;
    }
}
