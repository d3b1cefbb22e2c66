// Hot cue and loop actions: loop in, out and exit, the eight loop lengths, stepping through lengths
// and hot cues, the hot cue memory and delete modes, the manual-loop variants and the cue-mode
// switches. They press the deck's own hot cue and loop buttons.
#include <algorithm>

#include "controllers/dispatch/actiondispatcher.h"
#include "controllers/dispatch/controllersurface.h"
#include "controllers/dispatch/deckbuttons.h"
#include "controllers/dispatch/dispatcherstate.h"
#include "controllers/dispatch/potrules.h"

using namespace deckbuttons;

void ActionDispatcher::addHotCueLoopActions()
{
    set(8, &ActionDispatcher::loopInAction, 0);    // BTNLOOPINA
    set(42, &ActionDispatcher::loopInAction, 1);   // BTNLOOPINB
    set(9, &ActionDispatcher::loopOutAction, 0);   // BTNLOOPOUTA
    set(43, &ActionDispatcher::loopOutAction, 1);  // BTNLOOPOUTB
    set(10, &ActionDispatcher::loopExitAction, 0); // BTNLOOPEXITA
    set(44, &ActionDispatcher::loopExitAction, 1); // BTNLOOPEXITB
    // BTNAUTOLOOPA1..7, BTNAUTOLOOPB1..7, BTNAUTOLOOPA8, BTNAUTOLOOPB8: the length's number
    for (int n = 1; n <= 7; ++n) {
        set(10 + n, &ActionDispatcher::autoloopAction, 0, n);
        set(44 + n, &ActionDispatcher::autoloopAction, 1, n);
    }
    set(246, &ActionDispatcher::autoloopAction, 0, 8);
    set(247, &ActionDispatcher::autoloopAction, 1, 8);
    set(18, &ActionDispatcher::cueMemoryAction, 0);   // BTNCUEMEMA
    set(52, &ActionDispatcher::cueMemoryAction, 1);   // BTNCUEMEMB
    set(196, &ActionDispatcher::cueDeleteAction, 0);  // BTNCUEDELA
    set(197, &ActionDispatcher::cueDeleteAction, 1);  // BTNCUEDELB
    for (int n = 1; n <= 6; ++n) {                    // BTNCUE1A..6A, BTNCUE1B..6B
        set(18 + n, &ActionDispatcher::hotCueAction, 0, n);
        set(52 + n, &ActionDispatcher::hotCueAction, 1, n);
    }
    set(69, &ActionDispatcher::nextHotCueAction, 0);      // BTNSEARCHMASA
    set(70, &ActionDispatcher::previousHotCueAction, 0);  // BTNSEARCHMENOSA
    set(71, &ActionDispatcher::nextHotCueAction, 1);      // BTNSEARCHMASB
    set(72, &ActionDispatcher::previousHotCueAction, 1);  // BTNSEARCHMENOSB
    set(109, &ActionDispatcher::loopManualAction, 0);     // BTNAUTOLOOPMASA
    set(115, &ActionDispatcher::loopManualAction, 1);     // BTNAUTOLOOPMASB
    set(167, &ActionDispatcher::autoloopPotAction, 0);    // POTAUTOLOOPA
    set(168, &ActionDispatcher::autoloopPotAction, 1);    // POTAUTOLOOPB
    set(171, &ActionDispatcher::selectFxLoopAction, 0);   // BTNSELFXLOOPA
    set(174, &ActionDispatcher::selectFxLoopAction, 1);   // BTNSELFXLOOPB
    set(177, &ActionDispatcher::timeFxUpAction, 0);       // BTNTIMEFXMASA
    set(178, &ActionDispatcher::timeFxDownAction, 0);     // BTNTIMEFXMENOSA
    set(179, &ActionDispatcher::timeFxUpAction, 1);       // BTNTIMEFXMASB
    set(180, &ActionDispatcher::timeFxDownAction, 1);     // BTNTIMEFXMENOSB
    set(199, &ActionDispatcher::autoloopInAction, 0);     // BTNAUTOLOOPINA
    set(200, &ActionDispatcher::autoloopInAction, 1);     // BTNAUTOLOOPINB
    set(216, &ActionDispatcher::selectManualAction, 0);   // BTNSLOOPA
    set(225, &ActionDispatcher::selectManualAction, 1);   // BTNSLOOPB
    for (int n = 1; n <= 3; ++n) {                        // BTNLOOPA1..3, BTNLOOPB1..3
        set(216 + n, &ActionDispatcher::manualLoopAction, 0, n);
        set(225 + n, &ActionDispatcher::manualLoopAction, 1, n);
    }
    set(264, &ActionDispatcher::hotCueModeAction, 0);  // BTNHOTCUEA
    set(265, &ActionDispatcher::hotCueModeAction, 1);  // BTNHOTCUEB
}

// ---- the steps the actions share

void ActionDispatcher::pressLength(int deck, int n)
{
    n = std::clamp(n, 1, 8);
    (deck == 0 ? state_.lo1 : state_.lo2) = n;
    surface_.MouseDown(kLength[deck][n - 1]);
}

void ActionDispatcher::stepLength(int deck, bool up)
{
    const int lo = deck == 0 ? state_.lo1 : state_.lo2;
    pressLength(deck, std::clamp(lo + (up ? 1 : -1), 1, 8));
}

// a 4-beat loop (length 5) where a step has no loop to work on
void ActionDispatcher::defaultLoop(int deck) { pressLength(deck, 5); }

void ActionDispatcher::stepOrDefault(int deck, bool up)
{
    if (surface_.deckLoopActive(deck)) stepLength(deck, up);
    else defaultLoop(deck);
}

void ActionDispatcher::pressHotCue(int deck, int slot) { surface_.MouseDown(kHotCue[deck][std::clamp(slot, 1, 6) - 1]); }

void ActionDispatcher::reloop(int deck) { surface_.MouseDown(kReloop[deck]); }

// ---- actions

void ActionDispatcher::loopInAction(TInfo& e, int deck, int)
{
    if (e.valor != kPress) return;
    if (deck == 0 && state_.loopmanuala) {
        if (surface_.deckLoopActive(deck)) stepLength(deck, false);
    } else {
        surface_.MouseDown(kLoopIn[deck]);
    }
}

void ActionDispatcher::loopOutAction(TInfo& e, int deck, int)
{
    const bool manual = deck == 0 && state_.loopmanuala;
    const bool active = surface_.deckLoopActive(deck);
    if (e.valor == kPress) {
        if (!manual) surface_.MouseDown(kLoopOut[deck]);
        else if (active) reloop(deck);
        else pressLength(deck, 4);
    } else if (e.valor == kAlternate && !manual) {
        if (active) reloop(deck);
        else surface_.MouseDown(kLoopOut[deck]);
    }
}

void ActionDispatcher::loopExitAction(TInfo& e, int deck, int)
{
    if (e.valor != kPress) return;
    if (deck == 0 && state_.loopmanuala) {
        if (surface_.deckLoopActive(deck)) stepLength(deck, true);
    } else {
        reloop(deck);
    }
}

void ActionDispatcher::autoloopAction(TInfo& e, int deck, int n)
{
    if (e.valor == kPress) {
        pressLength(deck, n);
    } else if (e.valor == kAlternate) {
        if (n == 1) stepOrDefault(deck, false);
        else if (n == 7) stepOrDefault(deck, true);
        else if (n == 4) surface_.deckLoopActive(deck) ? reloop(deck) : defaultLoop(deck);
    } else if (e.valor == kRelease && n != 4) {
        surface_.MouseUp(kLength[deck][n - 1]);
    }
}

void ActionDispatcher::cueMemoryAction(TInfo& e, int deck, int)
{
    if (e.valor == kPress) surface_.MouseDown(kMemory[deck]);
}

void ActionDispatcher::cueDeleteAction(TInfo& e, int deck, int)
{
    if (e.valor == kPress) surface_.MouseDown(kDelete[deck]);
}

void ActionDispatcher::hotCueAction(TInfo& e, int deck, int n)
{
    if (e.valor == kPress) pressHotCue(deck, n);
}

// Only the six hot-cue buttons are ever pressed: a current cue outside 1..6 counts as its nearest end.
void ActionDispatcher::nextHotCueAction(TInfo& e, int deck, int)
{
    if (e.valor != kPress) return;
    int c = std::clamp(surface_.deckcargacue(deck), 1, 6) + 1;
    if (c > 6) c = 1;
    surface_.setdeckcargacue(deck, c);
    pressHotCue(deck, c);
}

void ActionDispatcher::previousHotCueAction(TInfo& e, int deck, int)
{
    if (e.valor != kPress) return;
    int c = std::clamp(surface_.deckcargacue(deck), 1, 6) - 1;
    if (c < 1) c = 6;
    surface_.setdeckcargacue(deck, c);
    pressHotCue(deck, c);
}

// Deck B's flag is toggled too, though no deck B action reads it.
void ActionDispatcher::loopManualAction(TInfo& e, int deck, int)
{
    if (e.valor != kAlternate) return;
    bool& manual = deck == 0 ? state_.loopmanuala : state_.loopmanualb;
    manual = !manual;
}

void ActionDispatcher::autoloopPotAction(TInfo& e, int deck, int)
{
    if (PotRules::relative(e)) {
        const bool up = !(e.valor < e.range);
        if (surface_.deckLoopActive(deck)) stepLength(deck, up);
        else pressLength(deck, 4);
        return;
    }
    const std::optional<int> index = PotRules::autoloopIndex(e);
    if (!index) return;
    (deck == 0 ? state_.vauta : state_.vautb) = *index;
    pressLength(deck, *index <= 0 ? 1 : (*index <= 6 ? *index + 1 : 8));
}

void ActionDispatcher::selectFxLoopAction(TInfo& e, int deck, int)
{
    if (e.valor != kPress) return;
    int& f = deck == 0 ? state_.selefxloopa : state_.selefxloopb;
    f = f == 0 ? 1 : 0;
}

void ActionDispatcher::timeFxUpAction(TInfo& e, int deck, int)
{
    if (e.valor != kPress) return;
    if ((deck == 0 ? state_.selefxloopa : state_.selefxloopb) != 0) {
        stepEffectBeat(deck, true);
        return;
    }
    int& lo = deck == 0 ? state_.lo1 : state_.lo2;
    lo = std::min(lo + 1, 8);
    if (surface_.deckLoopActive(deck)) pressLength(deck, lo);
}

void ActionDispatcher::timeFxDownAction(TInfo& e, int deck, int)
{
    if (e.valor != kPress) return;
    if ((deck == 0 ? state_.selefxloopa : state_.selefxloopb) != 0) {
        stepEffectBeat(deck, false);
        return;
    }
    int& lo = deck == 0 ? state_.lo1 : state_.lo2;
    lo = std::max(lo - 1, 1);
    if (surface_.deckLoopActive(deck)) pressLength(deck, lo);
}

void ActionDispatcher::autoloopInAction(TInfo& e, int deck, int)
{
    if (e.valor != kPress) return;
    if (surface_.deckLoopActive(deck)) reloop(deck);
    else pressLength(deck, deck == 0 ? state_.lo1 : state_.lo2);
}

void ActionDispatcher::selectManualAction(TInfo& e, int deck, int)
{
    if (e.valor != kPress) return;
    int& f = deck == 0 ? state_.selefxmanuala : state_.selefxmanualb;
    f = f == 0 ? 1 : 0;
}

// BTNLOOPA1..3: loop in, out, reloop; in the manual form step down, reloop, step up
void ActionDispatcher::manualLoopAction(TInfo& e, int deck, int n)
{
    if (e.valor != kPress) return;
    if ((deck == 0 ? state_.selefxmanuala : state_.selefxmanualb) == 0) {
        surface_.MouseDown(n == 1 ? kLoopIn[deck] : n == 2 ? kLoopOut[deck] : kReloop[deck]);
    } else if (n == 2) {
        surface_.deckLoopActive(deck) ? reloop(deck) : defaultLoop(deck);
    } else {
        stepOrDefault(deck, n == 3);
    }
}

void ActionDispatcher::hotCueModeAction(TInfo& e, int deck, int)
{
    if (e.valor == kPress) surface_.SetDown(kHotMode[deck], !surface_.Down(kHotMode[deck]));
}
