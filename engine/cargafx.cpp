// Deck player: volume with the crossfader share, headphone level, EQ with kills, gain and
// the switchable effects. The effects sit on the reverse stream (Channel).
#include <algorithm>

#include "engine/audiodjbase.h"
#include "engine/carga.h"

using sound::Handle;

namespace {
constexpr int kKillBass = -25, kKillMid = -25, kKillTreble = -20;
constexpr int kEqMax = 10, kEqMin = -15;
constexpr float kEqCentre[3] = {125, 1000, 8000};
constexpr int kPrioVolume = 6, kPrioEq = 5, kPrioEcho = 4, kPrioFlanger = 3, kPrioWah = 2, kPrioReverb = 1;
}  // namespace

void carga::SetVolume(int v)
{
    PRecord& r = *basseqfx;
    r.vol = std::clamp(v, 0, 100);
    const float level = std::clamp(r.vol - r.crossfader, 0, 100) / 100.0f;
    sound::setAttribute(Mixer, sound::Attribute::Volume, level);
    switch (ncarga) {
    case 1: sound::setAttribute(changrabacion, sound::Attribute::Volume, level); break;
    case 2: sound::setAttribute(changrabacion2, sound::Attribute::Volume, level); break;
    case 3: sound::setAttribute(samgrabacion, sound::Attribute::Volume, r.vol / 100.0f); break;
    case 4: sound::setAttribute(samgrabacion2, sound::Attribute::Volume, r.vol / 100.0f); break;
    default: break;
    }
}

void carga::SetVolHead(int v)
{
    basseqfx->volheadphones = std::clamp(v, 0, 100);
    if (headphones)
        sound::setAttribute(ncarga == 1 ? chanheadphones.load() : chanheadphones2.load(), sound::Attribute::Volume,
                            basseqfx->volheadphones / 100.0f);
}

void carga::CreateFx()
{
    PRecord& r = *basseqfx;
    fxEQ = sound::addFx(Channel, sound::FxType::PeakEq, kPrioEq);
    const int gains[3] = {r.bas, r.mid, r.tre};
    for (int band = 0; band < 3; ++band) {
        sound::PeakEqParams p;
        p.band = band;
        p.bandwidth = 2.5f;
        p.q = 0;
        p.centerHz = kEqCentre[band];
        p.gainDb = float(gains[band]);
        p.channel = -1;
        sound::setFxParams(fxEQ, p);
    }
    fxvol1 = sound::addFx(Channel, sound::FxType::Volume, kPrioVolume);
    sound::VolumeParams v;
    sound::getFxParams(fxvol1, v);
    v.volume = r.gain / 10.0f;
    v.channel = -1;
    sound::setFxParams(fxvol1, v);
}

void carga::UpdateEQ(int band, float g)
{
    sound::PeakEqParams p;
    p.band = band;
    if (!sound::getFxParams(fxEQ, p)) return;
    p.band = band;
    p.gainDb = g;
    sound::setFxParams(fxEQ, p);
}

// Bass, mid and treble: at most +10 dB, at least -15, or the band's kill level while its
// kill switch is on; applied only when the value changes.
static int bandValue(int v, bool kill, int killDb) { return kill ? killDb : std::max(std::min(v, kEqMax), kEqMin); }

void carga::Setfbas(int v)
{
    const int value = bandValue(v, kb, kKillBass);
    if (value == basseqfx->bas.exchange(value)) return;
    UpdateEQ(0, float(value));
}

void carga::Setfmid(int v)
{
    const int value = bandValue(v, km, kKillMid);
    if (value == basseqfx->mid.exchange(value)) return;
    UpdateEQ(1, float(value));
}

void carga::Setftre(int v)
{
    const int value = bandValue(v, kt, kKillTreble);
    if (value == basseqfx->tre.exchange(value)) return;
    UpdateEQ(2, float(value));
}

void carga::SetfGain(int v)
{
    v = std::clamp(v, 0, 20);
    if (v == basseqfx->gain) return;
    basseqfx->gain = v;
    basseqfx->percgain = v / 10.0;
    sound::VolumeParams p;
    sound::getFxParams(fxvol1, p);
    p.volume = v / 10.0f;
    p.channel = -1;
    sound::setFxParams(fxvol1, p);
}

// A switch change adds the effect to the stream or takes it off; true while it is on.
bool carga::switchFx(Shared<bool>& sw, Shared<Handle>& fx, sound::FxType type, int priority, bool on)
{
    if (on != sw) {
        sw = on;
        if (on) {
            fx = sound::addFx(Channel, type, priority);
        } else {
            sound::removeFx(Channel, fx);
            fx = 0;
        }
    }
    return on;
}

void carga::UpdateFlange(float, float speed, bool on)
{
    if (!switchFx(flanger, FXFLANGER, sound::FxType::Flanger, kPrioFlanger, on)) return;
    flangerspeed = speed;
    sound::FlangerParams p;
    p.wetDry = 0.35f;
    p.speed = speed;
    p.channel = -1;
    sound::setFxParams(FXFLANGER, p);
}

void carga::UpdateEcho(float mix, float, float delay, bool on)
{
    if (on != echo2) {
        if (!on) {
            sound::removeFx(Channel, fxecho2);
            fxecho2 = 0;
        } else if (!fxecho2) {
            fxecho2 = sound::addFx(Channel, sound::FxType::Echo, kPrioEcho);
        }
        echo2 = on;
    }
    if (!on) return;
    echomix = mix;
    echodelay = delay;
    sound::EchoParams p;
    p.dryMix = 1.5f - mix;
    p.wetMix = mix;
    p.delay = delay;
    p.channel = -1;
    sound::setFxParams(fxecho2, p);
}

void carga::UpdateWah(float mix, float input, bool on)
{
    if (!switchFx(autowah3, FXWAH, sound::FxType::AutoWah, kPrioWah, on)) return;
    wahmix = mix;
    wahinput = input;
    sound::AutoWahParams p;
    p.dryMix = 1.5f - mix;
    p.wetMix = mix;
    p.feedback = (input * 0.42f + 300) / 1000 / 2;
    p.rate = 5.0f;
    p.range = 5.3f;
    p.freqHz = 100;
    p.channel = -1;
    sound::setFxParams(FXWAH, p);
}

void carga::UpdateReverb(float level, int delay, bool on)
{
    if (!switchFx(reverb, fxchorus, sound::FxType::Reverb, kPrioReverb, on)) return;
    reverblevel = level;
    reverbdelay = delay;
    sound::ReverbParams p;
    p.level = level - 0.35f;
    p.delayMs = delay;
    p.channel = -1;
    sound::setFxParams(fxchorus, p);
}

// An effect that is switched on when a track loads goes onto the new stream with its
// last settings.
void carga::addSwitchedFx()
{
    if (flanger) {
        flanger = false;
        UpdateFlange(0, flangerspeed, true);
    }
    if (echo2) {
        echo2 = false;
        fxecho2 = 0;
        UpdateEcho(echomix, 0, echodelay, true);
    }
    if (autowah3) {
        autowah3 = false;
        UpdateWah(wahmix, wahinput, true);
    }
    if (reverb) {
        reverb = false;
        UpdateReverb(reverblevel, reverbdelay, true);
    }
}
