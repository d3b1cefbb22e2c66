// Deck player: the search window, the stop to the start, the loop-start seek, re-attaching
// the output, the position in milliseconds, and the reverse toggles. Nothing in the program
// calls these yet.
#include <algorithm>

#include "engine/carga.h"
#include "engine/decktime.h"

using sound::Handle;

namespace {
constexpr int64_t kWindow = 40000;
constexpr int64_t kWindowStep = 2500;
}  // namespace

void carga::searchWindow(int64_t step)
{
    if (!loaded) return;
    PRecord& r = *basseqfx;
    if (search && r.Fstatus == sPlay) {
        const int64_t start = std::clamp<int64_t>(fsearini + step, 0, r.length);
        fsearini = start;
        fsearfin = start + kWindow;
        SetPosition(start);
    } else if (r.Fstatus == sPause) {
        const int64_t start = Getposition();
        search = true;
        fsearini = start;
        fsearfin = start + kWindow;
        Play();
    }
}

void carga::posmas() { searchWindow(kWindowStep); }

void carga::posmenos() { searchWindow(-kWindowStep); }

void carga::Stopinicio()
{
    if (!loaded) return;
    Stop();
    SetPosition(0);
    search = false;
}

void carga::SetLoopPosition()
{
    if (!loaded) return;
    SetPosition(syncloop[0]);
}

void carga::actheads()
{
    const Handle mix = Mixer, master = CMaster;
    if (!mix || !master) return;
    sound::mixerRemove(mix);
    sound::mixerAdd(master, mix, sound::NoRampIn);
}

int64_t carga::GetSeconds()
{
    const Handle s = activeStream();
    const int64_t p = sound::getPosition(s);
    if (p < 0) return 0;
    const double secs = sound::bytesToSeconds(s, p);
    return secs < 0 ? 0 : roundEven(secs * 1000);
}

void carga::Reverse()
{
    if (!loaded) return;
    Reverse2(reversing ? 0 : 1);
    if (basseqfx->Fstatus == sPlay) actheads();
}

void carga::Reverse3(int mode)
{
    if (!loaded) return;
    if (mode == 1) {
        SetPosition(basseqfx->length);
        Reverse2(1);
    } else {
        Reverse2(0);
        SetPosition(0);
    }
}

int carga::SetPitchSlider(float rate) const
{
    const float f = freqchan;
    if (!(f > 0)) return 63;
    return static_cast<int>(roundEven(127 - 63.0 * rate / f));
}
