// Mixer actions: channel volumes, EQ, kills, gain, crossfader, headphone cue and volumes, the
// headphone split (which also moves single-deck controllers to the other deck) and the recording
// volume. Pots only write the controller value globals; the 10 ms copy moves the controls.
#include <algorithm>

#include "controllers/controllertables.h"
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

// the plain pots: global, control, absolute span, relative step
struct Pot {
    int code;
    int V::*global;
    SurfaceControl control;
    int span;
};

constexpr Pot kPots[] = {
    {122, &V::quorvol1, C::trackvolume, 127},  {131, &V::quorvol2, C::trackvolume2, 127},  // POTVOLUMENA/B
    {123, &V::quorbass1, C::bas1, 30},         {132, &V::quorbass2, C::bas2, 30},          // POTBASSA/B
    {124, &V::quormid1, C::mid1, 30},          {133, &V::quormid2, C::mid2, 30},           // POTMIDA/B
    {125, &V::quortre1, C::tre1, 30},          {134, &V::quortre2, C::tre2, 30},           // POTHIGHA/B
    {153, &V::quorheada, C::volhead1, 100},    {154, &V::quorheadb, C::volhead2, 100},     // POTHEADA/B
    {213, &V::quorvolrec, C::volrec, 100},                                                 // POTVOLREC
};

enum Special { gainA = 126, gainB = 135, crossfader = 139, headMix = 155, headMaster = 156 };

}  // namespace

void ActionDispatcher::addMixerActions()
{
    for (const Pot& p : kPots) set(p.code, &ActionDispatcher::mixerPotAction, 0, p.code);
    for (int code : {gainA, gainB, crossfader, headMix, headMaster}) set(code, &ActionDispatcher::mixerPotAction, 0, code);
    for (int k = 0; k < 3; ++k) {
        set(31 + k, &ActionDispatcher::killAction, 0, k);  // BTNKILLBASA, BTNKILLMEDA, BTNKILLHIGHA
        set(65 + k, &ActionDispatcher::killAction, 1, k);  // BTNKILLBASB, BTNKILLMEDB, BTNKILLHIGHB
    }
    set(34, &ActionDispatcher::headphoneAction, 0);        // BTNHEADPHA
    set(68, &ActionDispatcher::headphoneAction, 1);        // BTNHEADPHB
    set(108, &ActionDispatcher::phonesSplitAction, 0);     // BTNPHONESSPLIT
    set(236, &ActionDispatcher::headVolumeStepAction, 0, -5);  // BTNMENOSHEAD
    set(237, &ActionDispatcher::headVolumeStepAction, 0, 5);   // BTNMASHEAD
}

void ActionDispatcher::mixerPotAction(TInfo& e, int, int code)
{
    const auto bounds = [&](SurfaceControl c) { return std::pair{surface_.Min(c), surface_.Max(c)}; };
    for (const Pot& p : kPots) {
        if (p.code != code) continue;
        const auto [min, max] = bounds(p.control);
        if (PotRules::relative(e)) {
            values_.*p.global = PotRules::step(values_.*p.global, PotRules::up(e), 1, min, max);
        } else if (std::optional<int> v = PotRules::absolute(e, p.span)) {
            // the channel volumes are limited to their fader's travel
            if (p.span == 127) v = std::clamp(*v, 0, 127);
            PotRules::writeIfMoved(values_.*p.global, *v, surface_.Position(p.control));
        }
        return;
    }

    if (code == gainA || code == gainB) {
        const int deck = code == gainA ? 0 : 1;
        const C dial = deck == 0 ? C::gain1 : C::gain2;
        int& gain = deck == 0 ? values_.quorgain1 : values_.quorgain2;
        if (PotRules::relative(e)) {
            bool up;
            if (e.rangelo == e.rangeup) {
                // a pot that sends its raw position: the direction comes from the last one
                int& old = deck == 0 ? values_.oldgain1 : values_.oldgain2;
                up = e.valor > old;
                old = e.valor;
            } else {
                up = PotRules::up(e);
            }
            const auto [min, max] = bounds(dial);
            gain = PotRules::step(gain, up, 1, min, max);
            return;
        }
        // deck B's gain pot scales by 127 whatever its full scale is
        TInfo scaled = e;
        if (deck == 1) scaled.value = 127;
        if (const std::optional<int> v = PotRules::absolute(scaled, 20)) PotRules::writeIfMoved(gain, *v, surface_.Position(dial));
        return;
    }

    if (code == crossfader) {
        const auto [min, max] = bounds(C::crossfader);
        if (PotRules::relative(e)) {
            values_.quorcross = PotRules::step(values_.quorcross, PotRules::up(e), e.value, min, max);
        } else if (const std::optional<int> c = PotRules::absolute(e, 128)) {
            if (*c != surface_.Position(C::crossfader) + 1) values_.quorcross = *c - 1;
        }
        return;
    }

    const auto [minA, maxA] = bounds(C::volhead1);
    const auto [minB, maxB] = bounds(C::volhead2);
    if (code == headMix) {
        if (PotRules::relative(e)) {
            const bool up = PotRules::up(e);
            values_.quorheada = PotRules::step(values_.quorheada, up, 1, minA, maxA);
            values_.quorheadb = PotRules::step(values_.quorheadb, !up, 1, minB, maxB);
        } else if (const std::optional<int> mix = PotRules::absolute(e, 100)) {
            values_.quorheadmix = *mix;
            values_.quorheada = 100 - *mix;
            values_.quorheadb = *mix;
        }
        return;
    }
    if (code == headMaster) {
        if (PotRules::relative(e)) {
            values_.quorheada = PotRules::step(values_.quorheada, PotRules::up(e), 1, minA, maxA);
            values_.quorheadb = values_.quorheada;
        } else if (const std::optional<int> mix = PotRules::absolute(e, 100)) {
            values_.quorheadmix = *mix;
            values_.quorheada = values_.quorheadb = *mix;
        }
    }
}

void ActionDispatcher::killAction(TInfo& e, int deck, int band)
{
    if (e.valor != kPress) return;
    const SurfaceButton b = kKill[deck][band];
    surface_.SetDown(b, !surface_.Down(b));
    surface_.MouseDown(b);
}

void ActionDispatcher::headphoneAction(TInfo& e, int deck, int)
{
    if (e.valor == kPress) surface_.MouseDown(kHead[deck]);
}

// The cue moves to the other deck, and with it every single-deck controller layer.
void ActionDispatcher::phonesSplitAction(TInfo& e, int, int)
{
    if (e.valor != kPress) return;
    const bool toB = surface_.deckHeadphones(0);
    const int layer = toB ? 1 : 0;
    surface_.setheadphones(!toB, 1);
    surface_.setheadphones(toB, 2);
    surface_.SetDown(SurfaceButton::heada, !toB);
    surface_.SetDown(SurfaceButton::headb, toB);
    (toB ? state_.scrollpos1 : state_.scrollpos2) = 0;
    if (tables_.hd.modo == 0) state_.hidcarga = layer;
    if (tables_.hd2.modo == 0) state_.hidcarga2 = layer;
    if (tables_.hdm.modo == 0) state_.mhidcarga = layer;
    if (tables_.hdm2.modo == 0) state_.mhidcarga2 = layer;
    if (tables_.hdm.modo == 0 || tables_.hdm2.modo == 0) state_.luces.clear();
    (toB ? state_.scrollpos2 : state_.scrollpos1) = 0;
    // the deck that lost the controllers re-arms its pitch pick-up
    const int left = toB ? 0 : 1;
    surface_.deckSetSliders(left, false);
    surface_.setdecksliders(left, false);
}

void ActionDispatcher::headVolumeStepAction(TInfo& e, int, int step)
{
    if (e.valor != kPress) return;
    values_.quorheada = std::clamp(values_.quorheada + step, surface_.Min(C::volhead1), surface_.Max(C::volhead1));
    values_.quorheadb = values_.quorheada;
}
