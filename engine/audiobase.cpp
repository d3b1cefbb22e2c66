// The engine: construction, device lists, tempo libraries and shut-down.
#include "engine/audiobase.h"

#include <QCoreApplication>
#include <QTimer>
#include <QtGlobal>

#include "engine/audiodjbase.h"
#include "platform/bpm/bpmlibrary.h"
#include "engine/carga.h"
#include "engine/dsdevicename.h"
#include "engine/mainservices.h"
#include "engine/tdamepicos.h"
#include "engine/microsf.h"

using sound::DeviceApi;
using sound::DeviceRef;
using sound::Handle;

audiobase::audiobase(MainServices* owner)
    : soundcfg(std::make_unique<PSoundConfig>()), oldsoundcfg(std::make_unique<PSoundConfig>()), winhandle(owner)
{
    softversion = QStringLiteral("2.0.1");
    volgraba = 100;

    // entry by entry, each from a fresh load; a missing library leaves its entry points empty
    auto entry = [](const char* lib, const char* name, std::shared_ptr<BpmLibrary>& handle) {
        handle = BpmLibrary::load(QString::fromLatin1(lib));
        return handle ? handle->lookup(QString::fromLatin1(name)) : BpmEntryPoints{};
    };
    if (!LlamarDLL3) LlamarDLL3 = entry("ostrellibrary.dll", "DameBpm", DLL3).DameBpm;
    if (!LlamarDLL2) LlamarDLL2 = entry("ostrellibrary.dll", "Decode", DLL2).Decode;
    if (!LlamarDLL) LlamarDLL = entry("ostrellibrary.dll", "Init", DLL).Init;
    if (!LlamarDLL13) LlamarDLL13 = entry("ostrellibrary2.dll", "DameBpm", DLL13).DameBpm;
    if (!LlamarDLL12) LlamarDLL12 = entry("ostrellibrary2.dll", "Decode", DLL12).Decode;
    if (!LlamarDLL1) LlamarDLL1 = entry("ostrellibrary2.dll", "Init", DLL1).Init;

    QObject* ui = winhandle ? winhandle->owner() : nullptr;
    onda1_ = std::make_unique<TDamepicos>(bpmdeck(1), QStringLiteral("ostrel1"), ui);
    onda1_->OnConteo = [this] { conteo(); };
    creo_onda = onda1_.get();
    onda2_ = std::make_unique<TDamepicos>(bpmdeck(2), QStringLiteral("ostrel2"), ui);
    onda2_->OnConteo = [this] { conteo(); };
    creo_onda2 = onda2_.get();
}

void audiobase::conteo()
{
    if (visual) visual->muevelo();
}

audiobase::~audiobase()
{
    // the grids the decks write into were handed over by this engine: no deck tick may reach
    // them after it
    msgfiles = nullptr;
    msgplay = nullptr;
    msgexplo = nullptr;
    recorderstart_.cancel();
    // the inputs call back into this object
    for (Handle r : {recchan.exchange(0), rdschan.exchange(0)})
        if (r) sound::stopRecord(r);
    delete fchangetimer;
    for (TDamepicos* w : {onda1_.get(), onda2_.get()})
        if (w) w->fin();
    if (const Handle e = encoder.exchange(0)) sound::stopEncoder(e);
    for (const Output& o : outs_)
        if (o.output) sound::closeOutput(o.output);
    for (Handle h : {Master.load(), headphones.load(), Grabacion.load()})
        if (h) sound::freeStream(h);
    for (int n = 1; n <= 4; ++n)
        if (carga* d = deck(n)) {
            if (d->CMaster) sound::freeStream(d->CMaster);
            d->CMaster = 0;
        }
    for (const DeviceRef& d : used_) sound::freeDevice(d);
}

BpmEntryPoints audiobase::bpmdeck(int n) const
{
    BpmEntryPoints e;
    e.Init = n == 1 ? LlamarDLL : LlamarDLL1;
    e.Decode = n == 1 ? LlamarDLL2 : LlamarDLL12;
    e.DameBpm = n == 1 ? LlamarDLL3 : LlamarDLL13;
    return e;
}

carga* audiobase::deck(int n) const
{
    switch (n) {
    case 1: return carga1;
    case 2: return carga2;
    case 3: return carga3;
    case 4: return carga4;
    default: return nullptr;
    }
}

void audiobase::message(const QString& text)
{
    if (ShowMessage) ShowMessage(text);
    else qWarning("%s", qPrintable(text));
}

// ------------------------------------------------------------------------------------------
// Device lists

void audiobase::dameasio()
{
    // the lists can only be read again while no stream of ours is open; else the last reading stands
    sound::refreshDevices();
    listaasio.clear();
    listaasioincha.clear();
    listaasiooutcha.clear();
    asiodevices = -1;
    const int n = sound::deviceCount(DeviceApi::Jack);
    for (int i = 0; i < n; ++i) {
        sound::DeviceInfo info;
        if (!sound::getDeviceInfo({DeviceApi::Jack, i}, info)) break;
        asiodevices = i;
        listaasio.push_back(QString::fromStdString(info.name));
        listaasioincha.push_back(info.inputChannels);
        listaasiooutcha.push_back(info.outputChannels);
    }
}

void audiobase::dameds(bool reread)
{
    sound::initDevice({DeviceApi::NoSound, 0}, kBusRate);
    if (reread) sound::refreshDevices();
    listads.assign(1, QString());
    listadsincha.assign(1, 0);
    listadsoutcha.assign(1, 0);
    dsdevices = 0;
    const int n = sound::deviceCount(DeviceApi::Alsa);
    for (int i = 1; i <= n; ++i) {
        sound::DeviceInfo info;
        if (!sound::getDeviceInfo({DeviceApi::Alsa, i}, info)) break;
        listads.push_back(dsdevicename(listads, RTrim(QString::fromStdString(info.name))));
        listadsincha.push_back(0);
        listadsoutcha.push_back(info.outputChannels);
        dsdevices = i;
    }

    listards.clear();
    dsrdevices = -1;
    recds = 0;
    const int r = sound::recordDeviceCount();
    for (int i = 0; i < r; ++i) {
        sound::DeviceInfo info;
        if (!sound::getRecordDeviceInfo(i, info)) break;
        dsrdevices = i;
        listards.push_back(QString::fromStdString(info.name));
        if (info.isDefault) recds = i;
    }
}

void audiobase::panicasio()
{
    for (int i = 1, n = sound::deviceCount(DeviceApi::Alsa); i <= n; ++i) sound::freeDevice({DeviceApi::Alsa, i});
    dameasio();
}

void audiobase::panicds() { dameds(); }

void audiobase::Ponsgs()
{
    msgfiles = sgfiles;
    msgplay = sgplay;
    msgexplo = sgexplo;
}

void audiobase::desinit()
{
    if (fchangetimer) fchangetimer->stop();
    if (visual) visual->suspender();
    recorderstart_.cancel();
    if (const Handle e = encoder.exchange(0)) sound::stopEncoder(e);
    grabando = false;
    estagrabando = false;
    for (int n = 1; n <= 4; ++n) {
        carga* d = deck(n);
        if (!d) continue;
        d->cstop();
        d->Unload();
        if (d->fchangetimer) d->fchangetimer->stop();
    }
    carga1 = carga2 = carga3 = carga4 = nullptr;
    for (const Output& o : outs_)
        if (o.output) sound::closeOutput(o.output);
    outs_.clear();
    for (const DeviceRef& d : used_) sound::freeDevice(d);
    used_.clear();
}
