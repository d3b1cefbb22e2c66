// Deck player: speed slider and pitch range, keylock tempo, scratch, reverse, brake and bend.
// Speed is a negative sample rate: dmcslider = -(playback rate in Hz).
#include <algorithm>
#include <cmath>

#include "engine/audiodjbase.h"
#include "engine/bpmresult.h"
#include "engine/carga.h"
#include "engine/decktime.h"
#include "engine/speedslider.h"

using sound::Handle;

namespace {
constexpr int kBendMax = 3612;
constexpr float kBrakeFloor = 200;
}  // namespace

void carga::SetSpeed(float rate)
{
    if (keylock && ChannelTempo)
        sound::setAttribute(ChannelTempo, sound::Attribute::Tempo, (rate / freqchan - 1) * 100);
    else
        sound::setAttribute(Channel, sound::Attribute::Freq, rate);
}

void carga::SetDmcSlider(int a)
{
    if (-a > -dmcslidermax) a = dmcslidermax;
    if (-a < -dmcslidermin) a = dmcslidermin;
    if (!Channel) return;
    dmcslider = a;
    SetSpeed(float(-a));
    PRecord& r = *basseqfx;
    if (bpmresult::known(fbpm)) {
        fabpm = -double(dmcslider) * fbpm / freq;
        mfxsec = 60.0 / fbpm;
        mfxmsec = static_cast<int>(roundEven(60000.0 / fbpm));
    } else {
        fabpm = 0;
        mfxsec = 0;
        mfxmsec = 0;
    }
    r.bpm = formatFixed(fabpm, 3, 3);
    r.bpmn = static_cast<int>(roundEven(fabpm * 10));
}

void carga::applySpeedTexts(double rate)
{
    PRecord& r = *basseqfx;
    if (freq <= 0) return;
    vpitch = float(rate * 100 / freq - 100);
    r.pitch = formatFixed(vpitch, 2, 2);
    r.pitchn = static_cast<int>(roundEven(vpitch * 10.0));
}

void carga::SetSlider(int val)
{
    if (!Channel) return;
    const int64_t slowest = roundEven(minp * freq);
    const int64_t fastest = roundEven(maxp * freq);
    const int64_t rate = slowest + roundEven(double(fastest - slowest) * (127 - val) / 127);
    if (sliders) {
        sliderdmc = static_cast<int>(-rate);
        SetDmcSlider(static_cast<int>(-rate));
    } else if (127 - val == sliderpos) {
        sliders = true;
    }
    applySpeedTexts(double(rate));
    slider = val;
}

void carga::SetSliders(bool b)
{
    if (!loaded || b == sliders) return;
    if (!b && dmcsliderdif != 0)
        sliderpos = static_cast<int>(
            roundEven(double(dmcslidermin - sliderdmc) * 127 / -double(dmcsliderdif)));
    sliders = b;
}

int carga::SetPitchv(int x)
{
    if (x == tpitch) return slider == 0 ? 63 : slider.load();
    double rate;
    if (loaded) {
        rate = -double(dmcslider);
    } else {
        freq = 44100;
        rate = 44100;
    }
    tpitch = x;
    maxp = 1 + x / 100.0;
    minp = 1 - x / 100.0;
    dmcslidermax = static_cast<int>(roundEven(-(maxp * freq)));
    dmcslidermin = static_cast<int>(roundEven(-(minp * freq)));
    dmcsliderdif = static_cast<int>(roundEven(-(maxp * freq - minp * freq)));
    if (vdmcslider) {
        vdmcslider->setRange(dmcslidermax, dmcslidermin);
        if (!loaded) vdmcslider->setPosition((dmcslidermax + dmcslidermin) / 2);
    }
    const double fastest = -double(dmcslidermax), slowest = -double(dmcslidermin);
    rate = std::clamp(rate, slowest, fastest);
    const int g = fastest > slowest ? static_cast<int>(roundEven((rate - slowest) * 127 / (fastest - slowest))) : 63;
    slider = g;
    return 127 - g;
}

void carga::setDirection(int dir)
{
    sound::setAttribute(Channel, sound::Attribute::Direction, dir < 0 ? -1.0f : 1.0f);
}

void carga::Reverse2(int mode)
{
    const bool back = mode == 1;
    if (back == reversing) return;
    const Handle dirStream = keylock && ChannelTempo ? sound::tempoSource(ChannelTempo) : Channel.load();
    if (back && sound::getPosition(activeStream()) == 0) return;
    if (basseqfx->loop) {
        removeLoopSyncs();
        carga* self = this;
        lsync = sound::setSync(activeStream(), sound::SyncType::Position,
                               back ? syncloop[0].load() : syncloop[1].load(),
                               [self](Handle, Handle stream, int64_t) { self->loopSync(stream); });
    }
    reversing = back;
    sound::setAttribute(dirStream, sound::Attribute::Direction, back ? -1.0f : 1.0f);
}

void carga::SetScratch(double v)
{
    PRecord& r = *basseqfx;
    scratching = true;
    if (keylock) {
        oldkeylock = true;
        setkeylock(false);
        keylock = false;
    }
    if (r.Fstatus != sPlay && std::fabs(v) > 1 && !ssearch) {
        ssearch = true;
        r.oldstatus = r.Fstatus.load();
        cplay();
    }
    if (v < 0) {
        if (Getposition() < 1000) {
            v = -v;
        } else if (!reversing) {
            setDirection(-1);
            reversing = true;
            changedir = true;
        }
    } else if (v > 0 && reversing) {
        setDirection(1);
        reversing = false;
        changedir = true;
    }
    sound::slideAttribute(Channel, sound::Attribute::Freq, float(std::clamp(std::fabs(v), 1.0, 100000.0)), 25);
}

void carga::SetScratchOff()
{
    PRecord& r = *basseqfx;
    if (ssearch) {
        fcue1 = Getposition();
        cargacue = 0;
        ssearch = false;
        actcues();
    }
    r.Fstatus = r.oldlstatus.load();
    if (reversing) {
        setDirection(1);
        reversing = false;
    }
    if (oldkeylock) {
        setkeylock(true);
        oldkeylock = false;
    } else {
        sound::setAttribute(Channel, sound::Attribute::Freq, float(-dmcslider));
    }
    sound::slideAttribute(Channel, sound::Attribute::Freq, float(-dmcslider), 1);
    if (r.Fstatus != sPlay) cpause();
    scratching = false;
}

void carga::setparada(bool on)
{
    if (on == parada) return;
    if (on) {
        const int secs = scfg ? scfg->brake.load() : 0;
        // no brake time: come to rest at the next tick
        brakefreq = secs > 0 ? float(-dmcslider) / (secs * 40.0f) : float(-dmcslider);
        brakeperc = freqchan.load();
        parada = true;
    } else {
        parada = false;
        removeparada();
        const int s = slider;
        SetSlider(s - 1);
        SetSlider(s);
    }
}

void carga::removeparada()
{
    if (keylock && ChannelTempo) {
        sound::setAttribute(ChannelTempo, sound::Attribute::Freq, freqchan);
        sound::setAttribute(ChannelTempo, sound::Attribute::Tempo, float((-dmcslider / freqchan - 1) * 100));
    }
}

void carga::brakeStep()
{
    if (!parada) return;
    float step = brakefreq;
    if (!std::isfinite(step) || step <= 0) step = float(-dmcslider);
    if (keylock && ChannelTempo) {
        brakeperc = brakeperc - step;
        if (std::fabs(brakeperc) >= kBrakeFloor) {
            sound::setAttribute(ChannelTempo, sound::Attribute::Freq, brakeperc);
            return;
        }
        parada = false;
        Pause();
        brakeperc = float(-dmcslider);
        sound::setAttribute(ChannelTempo, sound::Attribute::Freq, freqchan);
        sound::setAttribute(ChannelTempo, sound::Attribute::Tempo, float((-dmcslider / freqchan - 1) * 100));
    } else {
        float f = 0;
        sound::getAttribute(Channel, sound::Attribute::Freq, f);
        f = std::fabs(f) - step;
        if (f >= kBrakeFloor) {
            sound::setAttribute(Channel, sound::Attribute::Freq, f);
            return;
        }
        parada = false;
        Pause();
        sound::setAttribute(Channel, sound::Attribute::Freq, float(-dmcslider));
    }
}

void carga::pitchbending_on(Tbusca direction)
{
    fpitchbended = 1;
    modopitch = direction;
}

void carga::pitchbending_off() { fpitchbended = 0; }

void carga::bendStep()
{
    if (fpitchbended > 0) {
        bending = true;
        fpitchbended = std::min(fpitchbended + valorbend, kBendMax);
        const double base = std::abs(dmcslider.load());
        const double rate = modopitch == sMas ? base + fpitchbended : base - fpitchbended;
        SetSpeed(float(rate));
        applySpeedTexts(rate);
    } else if (bending) {
        bending = false;
        SetSpeed(float(-dmcslider));
        applySpeedTexts(-double(dmcslider));
    }
}
