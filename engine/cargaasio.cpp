#include "engine/cargaasio.h"

#include <algorithm>

#include "engine/audiodjbase.h"
#include "engine/deckmessagebox.h"
#include "engine/decktime.h"

using sound::Handle;

cargaasio::cargaasio(PSoundConfig* config, int nc) : carga(config, nc) {}

cargaasio::~cargaasio() = default;

bool cargaasio::Load(const QString& path)
{
    std::lock_guard<std::recursive_mutex> l(loadLock_);
    return ncarga == 3 || ncarga == 4 ? loadSampler(path) : loadDeck(path);
}

void carga::addTap(Handle mixer, Shared<Handle>& tap, Handle bus)
{
    sound::lock(mixer, true);
    tap = sound::setDsp(
        mixer, [bus](Handle, Handle, float* frames, int n) { sound::pushFloat(bus, frames, n); }, 0);
    sound::lock(mixer, false);
}

void carga::removeTap(Handle mixer, Shared<Handle>& tap)
{
    if (const Handle h = tap.exchange(0)) sound::removeDsp(mixer, h);
}

// The box goes to the UI thread and nobody waits for it: the loading thread holds loadLock_,
// which the UI thread takes to unload.
void carga::postmessage(const QString& caption, const QString& text, int timeoutMs, int defaultButton, int buttons)
{
    postMessageDlg(message1, caption, text, timeoutMs, defaultButton, buttons);
}

void cargaasio::ensureOutputMixer()
{
    if (CMaster) return;
    if (offlinerender) {
        CMaster = sound::createMixer(mixerRate(), 2, sound::NonStop | sound::Decode);
        return;
    }
    const Handle m = sound::createMixer(mixerRate(), 2, sound::NonStop);
    const sound::DeviceRef dev = device > 0 ? sound::DeviceRef{sound::DeviceApi::Alsa, device}
                                            : sound::DeviceRef{sound::DeviceApi::NoSound, 0};
    sound::setStreamDevice(m, dev);
    sound::play(m);
    CMaster = m;
}

bool cargaasio::loadSampler(const QString& path)
{
    PRecord& r = *basseqfx;
    if (r.Fstatus != sStop) cstop();
    Unload();
    loaded = false;
    r.loaded = false;
    const Handle dec = sound::openFile(path.toStdString(), sound::Decode);
    if (!dec) return false;
    sound::StreamInfo info;
    sound::getInfo(dec, info);
    const int64_t length = sound::getLength(dec);
    r.length = length;
    r.ratio = static_cast<int>(roundEven(length / 4096.0));
    r.lengthms = roundEven(sound::bytesToSeconds(dec, length) * 1000);
    r.tiempopos = 0;
    r.fmlopsec = static_cast<double>(sound::secondsToBytes(dec, 60));
    freq = float(info.rate);
    freqchan = float(info.rate);
    filename = path;
    Channel = dec;
    origstream = dec;
    if (!Mixer) {
        Mixer = sound::createMixer(mixerRate(), 2, sound::Decode);
        if (estagrabando) addTap(Mixer, ncarga == 3 ? recsam : recsam2,
                                 ncarga == 3 ? samgrabacion.load() : samgrabacion2.load());
        sound::play(Mixer);
    }
    ensureOutputMixer();
    sound::mixerAdd(Mixer, dec, sound::NoRampIn);
    sound::mixerAdd(CMaster, Mixer, sound::NoRampIn);
    sound::setAttribute(Mixer, sound::Attribute::Volume, r.vol / 100.0f);
    r.Fstatus = sStop;
    loaded = true;
    r.loaded = true;
    return true;
}

bool cargaasio::openChain(const QString& path, bool reload)
{
    PRecord& r = *basseqfx;
    const Handle dec = sound::openFile(path.toStdString(), sound::Decode | sound::Prescan);
    origstream = dec;
    sound::StreamInfo info;
    if (dec) sound::getInfo(dec, info);
    freq = float(info.rate);
    float v = 1, p = 0;
    sound::getAttribute(dec, sound::Attribute::Volume, v);
    sound::getAttribute(dec, sound::Attribute::Pan, p);
    vol = v;
    pan = p;
    freqchan = freq.load();
    dioerror = false;
    if (!dec) {
        loading = false;
        postmessage(QStringLiteral("Warning "), QStringLiteral("Audio format not sopported !  "), 1000, 1, 1);
        dioerror = true;
        return false;
    }

    const int64_t length = sound::getLength(dec);
    r.length = length;
    r.ratio = static_cast<int>(roundEven(length / 4096.0));
    r.lengthms = roundEven(sound::bytesToSeconds(dec, length) * 1000);
    r.tiempopos = 0;
    r.fmlopsec = static_cast<double>(std::abs(sound::secondsToBytes(dec, 60)));
    dame_tiempo();
    r.duration = r.remain.get();

    const unsigned loopFlag = reload && !(scfg && scfg->usekeylock) ? unsigned(sound::Loop) : 0u;
    const Handle ch = sound::createReverse(dec, 0.1, sound::Decode | sound::FreeSource | loopFlag);
    if (!ch) {
        sound::freeStream(dec);
        origstream = 0;
        loading = false;
        return false;
    }
    Channel = ch;
    ChannelTempo = 0;
    tempoallowed = scfg && scfg->usekeylock;
    fbassplaymode = sStereo;

    if (!Mixer) {
        const Handle m = sound::createMixer(mixerRate(), 2, sound::Decode);
        Mixer = m;
        if (useheadphones)
            addTap(m, ncarga == 1 ? rotdsp : rotdsp2, ncarga == 1 ? chanheadphones.load() : chanheadphones2.load());
        if (estagrabando)
            addTap(m, ncarga == 1 ? recdsp : recdsp2, ncarga == 1 ? changrabacion.load() : changrabacion2.load());
    }
    const Handle mix = Mixer;
    const Handle ownBus = ncarga == 1 ? chanheadphones.load() : chanheadphones2.load();
    float busVolume = 1;
    sound::getAttribute(ownBus, sound::Attribute::Volume, busVolume);
    sound::slideAttribute(mix, sound::Attribute::Volume, 0, 1);
    if (ownBus) sound::slideAttribute(ownBus, sound::Attribute::Volume, 0, 1);

    sound::mixerAdd(mix, ch, sound::NoRampIn | sound::Buffered);
    sound::play(mix);
    ensureOutputMixer();
    sound::mixerAdd(CMaster, mix, sound::NoRampIn);
    sound::setAttribute(ch, sound::Attribute::Direction, 1);
    Setloops(ncarga);

    if (!reload) {
        reversing = false;
        setDirection(1);
        cstop();
        Load2(path);
        SetDmcSlider(dmcslider);
        r.showwave = true;
    }
    // a reload brings the deck back to its level too, or it would stay silent
    const int level = std::clamp(r.vol - r.crossfader, 0, 100);
    sound::slideAttribute(mix, sound::Attribute::Volume, level / 100.0f, 100);
    if (useheadphones && headphones && ownBus) sound::slideAttribute(ownBus, sound::Attribute::Volume, busVolume, 100);
    return true;
}

bool cargaasio::loadDeck(const QString& path)
{
    PRecord& r = *basseqfx;
    loading = true;
    if (filename.get().isEmpty()) filename = path;
    const int surface = r.surface;
    if (surface > 0) {
        mpos = -1;
        pmpos = 289;
        // the overview is sized from the current width, which may exceed the default
        PeakBufferPtr ov = r.pnewl.get();
        if (!ov || ov->size() < 4 * size_t(surface)) r.pnewl = std::make_shared<PeakBuffer>(4 * size_t(surface));
        else
            for (size_t i = 0; i < 2 * size_t(surface); ++i) ov->set(i, 0);
    }
    loaded = false;
    r.loaded = false;
    r.showwave = false;
    parada = false;
    r.loop = false;
    fcue1 = 0;
    sliders = true;
    if (r.Fstatus != sStop) cstop();
    Unload();

    if (!openChain(filename, false)) return false;

    loaded = true;
    r.loaded = true;
    setkeylock(keylock);
    loading = false;
    firstload = true;
    return true;
}

void cargaasio::cplay()
{
    sound::resetProcessors(Mixer);
    sound::resetProcessors(Channel);
    sound::mixerAdd(CMaster, Mixer, 0);
}

void cargaasio::cpause()
{
    const Handle s = activeStream();
    const int64_t p = sound::getPosition(s);
    if (p >= 0) {
        pausepos = p;
        sound::setPosition(s, 0);
        sound::setPosition(s, pausepos);
    }
    sound::setPosition(Mixer, 0);
    sound::mixerRemove(Mixer);
}

void cargaasio::cstop()
{
    if (reversing) Reverse2(0);
    SetPosition(fcue1);
    sound::mixerRemove(Mixer);
}
