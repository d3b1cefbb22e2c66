// Effects, sampler, automix and recording actions: the echo, flange and wah buttons, the effect
// beat buttons and their stepping, the dry/wet and parameter dials, the sampler pads and volumes,
// automix and the recording button.
#include <algorithm>

#include "controllers/dispatch/actiondispatcher.h"
#include "controllers/dispatch/controllersurface.h"
#include "controllers/dispatch/controllervalues.h"
#include "controllers/dispatch/deckbuttons.h"
#include "controllers/dispatch/dispatcherstate.h"
#include "controllers/dispatch/potrules.h"

using namespace deckbuttons;

namespace {

using C = SurfaceControl;
using V = ControllerValues;

struct Pot {
    int code;
    int V::*global;
    SurfaceControl control;
    int span, step;
    bool wrap;
};

constexpr Pot kPots[] = {
    {127, &V::quordry1, C::dry1, 1000, 20, false},          // POTDRYWETA
    {128, &V::quorpara1, C::wet1, 925, 20, true},           // POTPARAMA
    {129, &V::quorsam1, C::samplevolume, 100, 1, false},    // POTSAMPLERA
    {136, &V::quordry2, C::dry2, 1000, 20, false},          // POTDRYWETB
    {137, &V::quorpara2, C::wet2, 925, 10, true},           // POTPARAMB
    {138, &V::quorsam2, C::samplevolume2, 100, 1, true},    // POTSAMPLERB
    {140, &V::quorpara1, C::wet1, 925, 20, true},           // POTFADEOUT: both parameters
    {141, &V::quordry1, C::dry1, 1000, 20, false},          // POTFADEIN: both dry/wet
    {207, &V::quorsam1, C::samplevolume, 100, 1, false},    // POTBOTHVOLSAM: both samplers
};

}  // namespace

void ActionDispatcher::addEffectsActions()
{
    for (const Pot& p : kPots) set(p.code, &ActionDispatcher::effectsPotAction, 0, p.code);
    for (int k = 0; k < 3; ++k) {
        set(74 + k, &ActionDispatcher::effectButtonAction, 0, k);  // BTNFX1A, BTNFX2A, BTNFX3A
        set(89 + k, &ActionDispatcher::effectButtonAction, 1, k);  // BTNFX1B, BTNFX2B, BTNFX3B
    }
    for (int n = 1; n <= 5; ++n) {
        set(76 + n, &ActionDispatcher::effectBeatAction, 0, n);  // BTNFXSYNC1A..5A
        set(91 + n, &ActionDispatcher::effectBeatAction, 1, n);  // BTNFXSYNC1B..5B
    }
    for (int n = 1; n <= 7; ++n) {
        set(81 + n, &ActionDispatcher::samplerPadAction, 0, n);  // BTNSAMPLER1A..6A, BTNSAMPLERSTOPA
        set(96 + n, &ActionDispatcher::samplerPadAction, 1, n);  // BTNSAMPLER1B..6B, BTNSAMPLERSTOPB
    }
    set(182, &ActionDispatcher::effectBeatPotAction, 0);  // POTTIMEFXA
    set(183, &ActionDispatcher::effectBeatPotAction, 1);  // POTTIMEFXB
    set(73, &ActionDispatcher::plainButtonAction, 0, int(SurfaceButton::auto_enable));  // BTNAUTOMIX
    set(214, &ActionDispatcher::plainButtonAction, 0, int(SurfaceButton::REC));         // BTNREC
}

void ActionDispatcher::effectsPotAction(TInfo& e, int, int code)
{
    const Pot* p = std::find_if(std::begin(kPots), std::end(kPots), [&](const Pot& q) { return q.code == code; });
    int& global = values_.*p->global;
    const int min = surface_.Min(p->control), max = surface_.Max(p->control);
    if (code == 140 && !PotRules::relative(e)) {
        // both parameters, written only when the value differs from the deck A dial
        if (const std::optional<int> v = PotRules::absolute(e, p->span); v && *v != surface_.Position(C::wet1))
            values_.quorpara1 = values_.quorpara2 = *v;
        return;
    }
    PotRules::apply(global, e, p->span, p->step, min, max, surface_.Position(p->control), p->wrap);
    if (code == 140) values_.quorpara2 = values_.quorpara1;
    if (code == 141) values_.quordry2 = values_.quordry1;
    if (code == 207 || (code == 129 && e.rangelo == 2)) values_.quorsam2 = values_.quorsam1;
}

void ActionDispatcher::effectButtonAction(TInfo& e, int deck, int k)
{
    if (e.valor == kPress) surface_.MouseDown(kEffect[deck][k]);
}

void ActionDispatcher::pressBeat(int deck, int n)
{
    n = std::clamp(n, 1, 5);
    (deck == 0 ? state_.fx1 : state_.fx2) = n;
    surface_.MouseDown(kBeat[deck][n - 1]);
}

// the second beat index, stepped by the time-effect buttons and pots
void ActionDispatcher::stepEffectBeat(int deck, bool up)
{
    int& lf = deck == 0 ? state_.LF1 : state_.LF2;
    lf = std::clamp(lf + (up ? 1 : -1), 1, 5);
    pressBeat(deck, lf);
}

void ActionDispatcher::effectBeatAction(TInfo& e, int deck, int n)
{
    if (e.valor == kPress) {
        pressBeat(deck, n);
    } else if (e.valor == kAlternate && (n == 1 || n == 5)) {
        const int fx = deck == 0 ? state_.fx1 : state_.fx2;
        pressBeat(deck, std::clamp(fx + (n == 5 ? 1 : -1), 1, 5));
    }
}

void ActionDispatcher::effectBeatPotAction(TInfo& e, int deck, int)
{
    if (PotRules::relative(e)) {
        stepEffectBeat(deck, PotRules::up(e));
        return;
    }
    const std::optional<int> index = PotRules::effectBeatIndex(e);
    if (!index) return;
    (deck == 0 ? state_.vfxa : state_.vfxb) = *index;
    pressBeat(deck, *index <= 0 ? 1 : (*index <= 3 ? *index + 1 : 5));
}

void ActionDispatcher::samplerPadAction(TInfo& e, int deck, int n)
{
    if (e.valor == kPress) surface_.MouseDown(kPad[deck][n - 1]);
}

void ActionDispatcher::plainButtonAction(TInfo& e, int, int button)
{
    if (e.valor == kPress) surface_.MouseDown(SurfaceButton(button));
}
