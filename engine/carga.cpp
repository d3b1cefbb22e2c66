// Deck player: construction, second load stage, unload, reload, keylock routing,
// transport, positions, cues and loops.
#include "engine/carga.h"

#include <cmath>
#include <cstdlib>
#include <optional>

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include "engine/audiodjbase.h"
#include "engine/bpmresult.h"
#include "engine/decktemposcan.h"
#include "engine/decktime.h"
#include "engine/peakscache.h"
#include "engine/speedslider.h"

using sound::Handle;

namespace {
constexpr int64_t kSearchStep = 125000;
constexpr int64_t kSearchWindow = 25000;
constexpr int kPeakBytes = 2048;

PeakBufferPtr zeroBuffer(size_t n) { return std::make_shared<PeakBuffer>(n); }
}  // namespace

carga::carga(PSoundConfig* config, int nc)
    : scfg(config), ncarga(nc), record_(std::make_unique<PRecord>()), bpmscan_(std::make_unique<DeckTempoScan>())
{
    basseqfx = record_.get();
    if (scfg && nc >= 1 && nc <= 4) device = scfg->asnum[nc - 1].load();

    PRecord& r = *basseqfx;
    r.elapsed = QStringLiteral("0:00:00:00");
    r.remain = QStringLiteral("0:00:00:00");
    r.fduratotal = QStringLiteral("00:00:00");
    r.tbrake = 140;
    r.surface = 480;
    r.percgain = 1.0;
    r.crossfader = 0;
    r.volheadphones = 100;
    r.pnewl = zeroBuffer(2 * 480 + 2);
    r.ratio = 10;
    slider = 63;

    fchangetimer = new QTimer();
    fchangetimer->setInterval(25);
    QObject::connect(fchangetimer, &QTimer::timeout, [this] { fchangetimerTimer(); });
    if (QCoreApplication::instance()) fchangetimer->start();
    setccarga(nc, this);
}

carga::~carga()
{
    bpmscan_->stop();
    if (ccarga(ncarga) == this) setccarga(ncarga, nullptr);
    delete fchangetimer;
    stopWorker();
    std::lock_guard<std::recursive_mutex> l(loadLock_);
    for (Handle h : {ChannelTempo.load(), Channel.load(), Mixer.load(), CMaster.load()})
        if (h) sound::freeStream(h);
}

int carga::mixerRate()
{
    for (Handle bus : {chanheadphones.load(), chanheadphones2.load(), changrabacion.load()}) {
        sound::StreamInfo info;
        if (bus && sound::getInfo(bus, info) && info.rate > 0) return info.rate;
    }
    return kBusRate;
}

Handle carga::activeStream() const { return keylock && ChannelTempo ? ChannelTempo.load() : Channel.load(); }

void carga::stopWorker()
{
    if (PeaksWorker* w = worker()) w->fin();
}

// ------------------------------------------------------------------------------------------
// Load chain

void carga::Load2(const QString& path)
{
    PRecord& r = *basseqfx;
    const QString cacheFile = PeaksCache::fileFor(path);

    fbpm = r.tag[0].load();
    maxp = 1 + tpitch / 100.0;
    minp = 1 - tpitch / 100.0;
    dmcslidermax = static_cast<int>(roundEven(-(maxp * freq)));
    dmcslidermin = static_cast<int>(roundEven(-(minp * freq)));
    dmcsliderdif = static_cast<int>(roundEven(-(maxp * freq - minp * freq)));
    if (vdmcslider) vdmcslider->setRange(dmcslidermax, dmcslidermin);
    const int s = slider;
    SetSlider(s - 1);
    SetSlider(s + 1);
    SetSlider(s);
    r.Fstatus = sStop;
    cargacue = 0;
    SetSlider(s);

    wdpics[0] = 0;
    wdpics[1] = 0;
    conteo = (r.tag[0] == 0.0);
    actcues();
    r.ratio = 0;
    offset = static_cast<int>(roundEven(static_cast<double>(r.length) / kPeakBytes));

    dibujo = true;
    if (QFile::exists(cacheFile)) readpeaks(cacheFile);
    if (dibujo) {
        const int surface = r.surface;
        r.wavebufL = zeroBuffer(2 * size_t(offset) + 4 * size_t(surface));
        r.wavebufR = zeroBuffer(2 * size_t(offset) + 4 * size_t(surface));
        r.pnewl = zeroBuffer(4 * size_t(surface));
    }

    if (firstload) {
        stopWorker();
        PeaksWorker* w = worker();
        if (w && (conteo || dibujo)) {
            conteo = true;
            w->init(offset, r.surface, path, &wdpics, r.wavebufL.get(), r.wavebufR.get(), r.pnewl.get(),
                    conteo, dibujo);
            if (r.ratio == 0) r.ratio = offset.load();
            w->resume();
        }
    }
    CreateFx();
    addSwitchedFx();
    actcues();
}

void carga::readpeaks(const QString& cacheFile)
{
    PRecord& r = *basseqfx;
    // a cache of another file of the same name has another point count: rescan
    const std::optional<QByteArray> pairs = PeaksCache::read(cacheFile, r.length);
    if (!pairs || pairs->isEmpty()) return;
    const QByteArray& data = *pairs;
    const int64_t points = data.size() / 8;

    const int surface = std::max(1, r.surface.load());
    const int64_t c = std::max<int64_t>(1, points / surface);
    auto wl = zeroBuffer(points + 4 * size_t(surface));
    auto wr = zeroBuffer(points + 4 * size_t(surface));
    auto ov = zeroBuffer(4 * size_t(surface));
    int64_t sumFirst = 0, sumSecond = 0, j = 0;
    for (int64_t p = 0; p < points; ++p) {
        const int32_t first = PeaksCache::pairValue(data, p, 0), second = PeaksCache::pairValue(data, p, 1);
        wl->set(2 * surface + p, static_cast<int16_t>(first & 0xFFFF));
        wr->set(2 * surface + p, static_cast<int16_t>(second & 0xFFFF));
        sumFirst += std::abs(first);
        sumSecond += std::abs(second);
        if (j * c == p) {
            if (j < surface) {
                ov->set(2 * j, static_cast<int16_t>(sumSecond / c));
                ov->set(2 * j + 1, static_cast<int16_t>(sumFirst / c));
            }
            sumFirst = sumSecond = 0;
            ++j;
        }
    }
    r.peaks = data;
    r.ratio = static_cast<int>(points);
    r.wavebufL = wl;
    r.wavebufR = wr;
    r.pnewl = ov;
    r.drawfirsttime = true;
    actcues();
    dibujo = false;
}

void carga::Unload()
{
    std::lock_guard<std::recursive_mutex> l(loadLock_);
    stopWorker();
    bpmscan_->stop();
    PRecord& r = *basseqfx;
    r.tiempopcm = 1;
    parada = false;
    r.loop = false;
    fcue1 = 0;
    loaded = false;
    r.loaded = false;
    sliders = true;
    syncloop[0] = 100;
    syncloop[1] = 100;
    const Handle ch = Channel;
    if (flanger && FXFLANGER) sound::removeFx(ch, FXFLANGER);
    if (echo2 && fxecho2) sound::removeFx(ch, fxecho2);
    if (reverb && fxchorus) sound::removeFx(ch, fxchorus);
    if (autowah3 && FXWAH) sound::removeFx(ch, FXWAH);
    FXFLANGER = 0;
    fxecho2 = 0;
    fxchorus = 0;
    FXWAH = 0;
    fxEQ = 0;
    fxvol1 = 0;
    lsync = 0;
    if (ChannelTempo) sound::freeStream(ChannelTempo);
    if (ch) sound::freeStream(ch);
    ChannelTempo = 0;
    Channel = 0;
    origstream = 0;
}

void carga::reloadcancion()
{
    std::lock_guard<std::recursive_mutex> l(loadLock_);
    if (!loaded) return;
    const int64_t pos = Getposition();
    cstop();
    setkeylock(false);
    keylock = false;
    const TBassStatus st = basseqfx->Fstatus;
    cstop();
    Unload();
    if (!openChain(filename, true)) return;
    reversing = false;
    setDirection(1);
    cstop();
    Load2(filename);
    SetDmcSlider(dmcslider);
    basseqfx->showwave = true;
    loaded = true;
    basseqfx->loaded = true;
    SetPosition(pos);
    if (st == sPlay) {
        Play();
    } else if (st == sPause) {
        basseqfx->Fstatus = sPause;
    } else {
        basseqfx->Fstatus = sStop;
    }
    SetPosition(pos);
}

// The tempo stream takes the reverse stream as its only source, so it exists only while
// keylock is on: switching on builds it over Channel, in Channel's place in the deck mixer,
// switching off puts Channel back at the position heard and frees it. The stream is built
// before the hold on the graph and destroyed after it, so the hold covers only the swap.
void carga::setkeylock(bool on)
{
    if (!loaded) return;
    // without tempo streams keylock cannot be had: leave the deck playing as it is
    if (!tempoallowed) return;
    const Handle ch = Channel, mix = Mixer;
    Handle built = 0;
    if (on && !ChannelTempo) {
        built = sound::createTempo(ch, sound::Decode | sound::TakePlace);
        if (built) {
            ChannelTempo = built;
            srcchan = ch;
            ++howkeyon;
        }
    }
    sound::lock(mix, true);
    if (on) {
        if (built && !sound::mixerOf(built))  // Channel was in no mixer
            sound::mixerAdd(mix, built, sound::NoRampIn | sound::Buffered);
        if (ChannelTempo) {
            keylock = true;
            sound::setAttribute(ch, sound::Attribute::Freq, freqchan);
            sound::setAttribute(ChannelTempo, sound::Attribute::Tempo, float((-dmcslider / freqchan - 1) * 100));
            sound::setAttribute(ChannelTempo, sound::Attribute::Freq, freqchan);
        }
    } else {
        keylock = false;
        if (const Handle tempo = ChannelTempo.exchange(0)) {
            const int64_t pos = sound::getPosition(tempo);
            const bool replaced = sound::mixerReplace(tempo, ch);
            sound::freeStream(tempo);  // destroyed when this thread lets go of the graph
            if (!replaced) sound::mixerAdd(mix, ch, sound::NoRampIn | sound::Buffered);
            if (pos >= 0) sound::setPosition(ch, pos);
            ++howkeyoff;
        }
        sound::setAttribute(ch, sound::Attribute::Freq, float(-dmcslider));
    }
    sound::lock(mix, false);
    if (basseqfx->loop) {
        removeLoopSyncs();
        Setloops(ncarga);
    }
}

// ------------------------------------------------------------------------------------------
// Transport, positions and cues

void carga::Play()
{
    if (!loaded) return;
    PRecord& r = *basseqfx;
    switch (r.Fstatus.load()) {
    case sStop:
        cambia = 1;
        r.Fstatus = sPlay;
        cplay();
        break;
    case sPause:
        if (ssearch) {
            ssearch = false;
            SetSpeed(float(-dmcslider));
        }
        r.Fstatus = sPlay;
        cplay();
        break;
    case sPlay:
        if (ssearch) {
            fsearini = fcue1.load();
            ssearch = false;
            SetSpeed(float(-dmcslider));
        }
        r.Fstatus = sPause;
        cpause();
        break;
    default:
        break;
    }
}

void carga::Pause()
{
    if (!loaded) return;
    const TBassStatus st = basseqfx->Fstatus;
    if (st == sPlay || st == sPause) Play();
}

void carga::Stop()
{
    if (!loaded) return;
    PRecord& r = *basseqfx;
    if (parada) {
        removeparada();
        SetSpeed(float(-dmcslider));
        parada = false;
    }
    if (r.loop) {
        fcue1 = syncloop[0].load();
    } else if (!ssearch && cargacue > 0 && cargacue < tagslot::size) {
        const double t = r.tag[cargacue];
        if (static_cast<int64_t>(t) != fcue1) fcue1 = roundEven(t);
    }
    cstop();
    r.Fstatus = sStop;
    cambia = 2;
    scpaused = true;
}

void carga::PlayCue(int)
{
    if (!loaded) return;
    PRecord& r = *basseqfx;
    if (r.Fstatus != sPlay) {
        cambia = 1;
        r.Fstatus = sPlay;
        cplay();
    }
    SetPosition(fcue1);
}

void carga::SetPosition(int64_t x)
{
    const Handle s = activeStream();
    if (!s) return;
    const int64_t length = basseqfx->length;
    // a refused position leaves the stream at the end, where the end guard stops the deck
    if (!sound::setPosition(s, x)) sound::setPosition(s, length);
    setkeyl = false;
}

int64_t carga::Getposition()
{
    const int64_t p = sound::getPosition(activeStream());
    if (p >= 0) basseqfx->tiempopcm = p;
    return p < 0 ? 0 : p;
}

void carga::SetPositionm(int64_t x, int64_t width)
{
    if (width <= 0) return;
    SetPosition(roundEven(static_cast<double>(basseqfx->length) * x / width));
}

void carga::SetPositions(int delta, int)
{
    searching = true;
    const int64_t length = basseqfx->length;
    int64_t target = basseqfx->tiempopcm + (delta > 0 ? kSearchStep : -kSearchStep);
    if (target > length) target = length;
    if (target < 0) target = 0;
    fsearini = target;
    fsearfin = target + kSearchWindow;
    SetPosition(target);
}

void carga::actcues()
{
    PRecord& r = *basseqfx;
    const int64_t length = r.length;
    const int64_t surface = r.surface;
    for (int i = 0; i < 12; ++i) {
        const double t = r.tag[i + 1];
        if (t > 0 && length > 0) {
            r.cue[i] = roundEven(t) * r.ratio / length + surface / 2;
            r.cuep[i] = roundEven(surface * t) / length;
        } else {
            r.cue[i] = 0;
            r.cuep[i] = 0;
        }
    }
}

// ------------------------------------------------------------------------------------------
// Loops

void carga::removeLoopSyncs()
{
    const Handle s = lsync.exchange(0);
    if (!s) return;
    sound::removeSync(Channel, s);
    sound::removeSync(ChannelTempo, s);
}

void carga::loopSync(Handle stream)
{
    if (ncarga == 3 || ncarga == 4) {
        if (!sound::setPosition(stream, 0)) sound::setPosition(stream, 100);
        return;
    }
    const int64_t target = reversing ? syncloop[1].load() : syncloop[0].load();
    if (!sound::setPosition(stream, target)) sound::setPosition(stream, 100);
}

void carga::Setloops(int)
{
    PRecord& r = *basseqfx;
    const int64_t start = syncloop[0], end = syncloop[1];
    const bool ok = keylock && reversing ? start > 0 && end > 0 : start > 0 && start < end;
    if (ok) {
        const Handle s = activeStream();
        removeLoopSyncs();
        auto cb = [this](Handle, Handle stream, int64_t) { loopSync(stream); };
        if (r.loop) {
            lsync = sound::setSync(s, sound::SyncType::Position, reversing ? start : end, cb);
            syncnow = false;
        } else {
            lsync = sound::setSync(s, sound::SyncType::End, 0, cb);
        }
    }
    const int64_t length = r.length, ratio = r.ratio, surface = r.surface;
    auto marks = [&](int64_t pos, int wave, int over) {
        if (pos > 0 && length > 0) {
            r.loo[wave] = pos * ratio / length + surface / 2;
            r.loo[over] = pos * surface / length;
        } else {
            r.loo[wave] = 0;
            r.loo[over] = 0;
        }
    };
    marks(start, 0, 2);
    marks(end, 1, 3);
}

void carga::loopmenos()
{
    if (!loaded || basseqfx->Fstatus != sPlay) return;
    const int64_t pos = Getposition();
    if (!reversing) {
        syncloop[1] = 0;
        syncloop[0] = pos;
    } else {
        syncloop[0] = 0;
        syncloop[1] = pos;
    }
    Setloops(ncarga);
}

void carga::loopmas()
{
    if (!loaded || basseqfx->Fstatus != sPlay) return;
    const int64_t pos = Getposition();
    int64_t target;
    if (!reversing) {
        syncloop[1] = pos;
        target = syncloop[0];
    } else {
        syncloop[0] = pos;
        target = syncloop[1];
    }
    SetPosition(target);
    removeLoopSyncs();
    basseqfx->loop = true;
    Setloops(ncarga);
    fcue1 = target;
}

void carga::loop4(double beats)
{
    if (!loaded || !bpmresult::known(fbpm)) return;
    PRecord& r = *basseqfx;
    const int64_t len = roundEven(beats * r.fmlopsec / fbpm);
    const bool playing = r.Fstatus == sPlay;
    const int64_t pos = Getposition();
    if (!reversing) {
        int64_t start = r.loop ? syncloop[0].load() : pos;
        if (!playing && start == 0) start = 40;
        syncloop[0] = start;
        syncloop[1] = start + len;
        r.loop = true;
        if (playing) {
            syncnow = true;
        } else {
            syncnow = false;
            Setloops(ncarga);
        }
        fcue1 = start;
    } else {
        const int64_t end = r.loop ? syncloop[1].load() : pos;
        syncloop[1] = end;
        syncloop[0] = end - len;
        r.loop = true;
        if (playing) {
            syncnow = true;
        } else {
            syncnow = false;
            Setloops(ncarga);
            fcue1 = end;
        }
    }
}

void carga::loopexit()
{
    PRecord& r = *basseqfx;
    if (r.loop) {
        r.loop = false;
        removeLoopSyncs();
        r.freloop = syncloop[1] > syncloop[0];
        const Handle s = activeStream();
        const int passes = reversing ? 2 : 1;
        for (int i = 0; i < passes; ++i) {
            const int64_t p = sound::getPosition(s);
            if (p >= 0) sound::setPosition(s, p);
        }
    } else if (syncloop[0] < syncloop[1]) {
        SetPosition(syncloop[0]);
        r.loop = true;
        if (fcue1 != syncloop[0]) fcue1 = syncloop[0].load();
        Setloops(ncarga);
    }
}
