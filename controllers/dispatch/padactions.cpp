// Pad mode and selector actions: what each deck's shared pads do (sampler pads, effects, hot cues
// or loops), the mode names the controller displays show, and the shared pad presses.
#include "controllers/dispatch/actiondispatcher.h"
#include "controllers/dispatch/controllersurface.h"
#include "controllers/dispatch/deckbuttons.h"
#include "controllers/dispatch/dispatcherstate.h"

using namespace deckbuttons;

namespace {

const char* const kTexts[2][4] = {{"A SAMPLER ", "A EFFECTS ", "A CUES    ", "A LOOPS   "},
                                  {"B SAMPLER ", "B EFFECTS ", "B CUES    ", "B LOOPS   "}};

}  // namespace

void ActionDispatcher::addPadActions()
{
    set(157, &ActionDispatcher::selectorAction, 0);  // BTNSELECTORA
    set(158, &ActionDispatcher::selectorAction, 1);  // BTNSELECTORB
    for (int n = 0; n <= 3; ++n) {
        set(238 + n, &ActionDispatcher::selectModeAction, 0, n);  // BTNSELECTA0..3
        set(242 + n, &ActionDispatcher::selectModeAction, 1, n);  // BTNSELECTB0..3
    }
    // BTNPANELCUESA, BTNPANELLOOPA, BTNPANELPLAYERA, BTNPANELSAMPLERA and deck B's: the mode each sets
    constexpr int kPanelModes[] = {0, 3, 1, 2};
    for (int k = 0; k < 4; ++k) {
        set(254 + k, &ActionDispatcher::panelModeAction, 0, kPanelModes[k]);
        set(258 + k, &ActionDispatcher::panelModeAction, 1, kPanelModes[k]);
    }
    for (int n = 1; n <= 4; ++n) {
        set(158 + n, &ActionDispatcher::genericPadAction, 0, n);  // BTNBLANCOA1..4
        set(162 + n, &ActionDispatcher::genericPadAction, 1, n);  // BTNBLANCOB1..4
    }
    set(172, &ActionDispatcher::selectCueSamplerAction, 0);  // BTNSELCUESAMA
    set(175, &ActionDispatcher::selectCueSamplerAction, 1);  // BTNSELCUESAMB
    for (int n = 1; n <= 6; ++n) {
        set(183 + n, &ActionDispatcher::cueSamplerPadAction, 0, n);  // BTNCUESAM1A..6A
        set(189 + n, &ActionDispatcher::cueSamplerPadAction, 1, n);  // BTNCUESAM1B..6B
    }
    set(220, &ActionDispatcher::fxCueSelectAction, 0, 1);  // BTNFCSELFA
    set(221, &ActionDispatcher::fxCueSelectAction, 0, 0);  // BTNFCSELCA
    set(229, &ActionDispatcher::fxCueSelectAction, 1, 1);  // BTNFCSELFB
    set(230, &ActionDispatcher::fxCueSelectAction, 1, 0);  // BTNFCSELCB
    for (int n = 1; n <= 3; ++n) {
        set(221 + n, &ActionDispatcher::fxCuePadAction, 0, n);  // BTNFCSELA1..3
        set(230 + n, &ActionDispatcher::fxCuePadAction, 1, n);  // BTNFCSELB1..3
    }
}

// The mode and, for modes 0 to 3, its name; any other mode keeps the old name.
void ActionDispatcher::setMode(int deck, int mode)
{
    (deck == 0 ? state_.selectora : state_.selectorb) = mode;
    if (mode >= 0 && mode <= 3) (deck == 0 ? state_.selectatxt : state_.selectbtxt) = QString::fromLatin1(kTexts[deck][mode]);
}

void ActionDispatcher::restartScroll(int deck)
{
    (deck == 0 ? state_.scrollpos1 : state_.scrollpos2) = 0;
    (deck == 0 ? state_.changedis1 : state_.changedis2) = 0;
}

void ActionDispatcher::selectorAction(TInfo& e, int deck, int)
{
    if (e.rangelo >= 1) {
        // a two-position switch acts on both decks, and only when its row says 2
        if (e.rangelo != 2) return;
        const int mode = e.valor > 0 ? 1 : 0;
        for (int d = 0; d < 2; ++d) {
            setMode(d, mode);
            restartScroll(d);
        }
        return;
    }
    int mode = deck == 0 ? state_.selectora : state_.selectorb;
    if (mode == -1) mode = 0;
    // 127 cycles all four modes, 63 the first three, 32 the first two; mixing them can pass the end
    if (e.valor == kPress) {
        if (++mode == 4) mode = 0;
    } else if (e.valor == kAlternate) {
        if (++mode == 3) mode = 0;
    } else if (e.valor == kThird) {
        if (++mode == 2) mode = 0;
    }
    setMode(deck, mode);
    restartScroll(deck);
}

void ActionDispatcher::selectModeAction(TInfo& e, int deck, int n)
{
    if (e.valor == kPress) {
        setMode(deck, n);
    } else if (e.valor == kAlternate) {
        // toggles between effects and its own mode (BTNSELECTA0 and A1 between sampler and effects)
        const int own = n <= 1 ? 0 : n;
        const int mode = deck == 0 ? state_.selectora : state_.selectorb;
        setMode(deck, mode == own ? 1 : own);
    }
}

void ActionDispatcher::panelModeAction(TInfo&, int deck, int mode) { (deck == 0 ? state_.selectora : state_.selectorb) = mode; }

void ActionDispatcher::genericPadAction(TInfo& e, int deck, int n)
{
    if (e.valor != kPress) return;
    switch (deck == 0 ? state_.selectora : state_.selectorb) {
    case 0: surface_.MouseDown(kPad[deck][n - 1]); break;
    case 1:
        if (n <= 3) surface_.MouseDown(kEffect[deck][n - 1]);
        break;
    case 2: pressHotCue(deck, n); break;
    case 3:
        if (n <= 3) surface_.MouseDown(n == 1 ? kLoopIn[deck] : n == 2 ? kLoopOut[deck] : kReloop[deck]);
        break;
    default: break;
    }
}

void ActionDispatcher::selectCueSamplerAction(TInfo& e, int deck, int)
{
    if (e.valor != kPress) return;
    int& f = deck == 0 ? state_.selecuesama : state_.selecuesamb;
    f = f == 0 ? 1 : 0;
}

void ActionDispatcher::cueSamplerPadAction(TInfo& e, int deck, int n)
{
    if (e.valor != kPress) return;
    if ((deck == 0 ? state_.selecuesama : state_.selecuesamb) == 1) surface_.MouseDown(kPad[deck][n - 1]);
    else pressHotCue(deck, n);
}

// effects (1) or hot cues (0) on the three effect-or-cue pads; every change sends all lights again
void ActionDispatcher::fxCueSelectAction(TInfo& e, int deck, int effects)
{
    bool& f = deck == 0 ? state_.selefxcuea : state_.selefxcueb;
    if (effects) {
        if (e.valor == kPress) f = true;
        else if (e.valor == kAlternate) f = !f;
        else return;
    } else if (e.valor == kPress) {
        f = false;
    }
    state_.luces.clear();
}

void ActionDispatcher::fxCuePadAction(TInfo& e, int deck, int n)
{
    if (e.valor != kPress) return;
    if (deck == 0 ? state_.selefxcuea : state_.selefxcueb) surface_.MouseDown(kEffect[deck][n - 1]);
    else pressHotCue(deck, n);
}
