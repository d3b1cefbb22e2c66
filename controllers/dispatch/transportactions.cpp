// Deck transport actions: play, cue, pause, load, sync, reverse and brake of deck A and deck B.
// Each presses the deck's own button as the mouse does.
#include "controllers/dispatch/actiondispatcher.h"

#include "controllers/dispatch/controllersurface.h"
#include "controllers/dispatch/deckbuttons.h"
#include "controllers/dispatch/dispatcherstate.h"

using namespace deckbuttons;

void ActionDispatcher::addTransportActions()
{
    // code of deck A, code of deck B, action
    static constexpr struct {
        int a, b;
        Action run;
    } kTable[] = {
        {1, 35, &ActionDispatcher::playAction},     // BTNPLAYA, BTNPLAYB
        {2, 36, &ActionDispatcher::cueAction},      // BTNCUEA, BTNCUEB
        {3, 37, &ActionDispatcher::pauseAction},    // BTNPAUSEA, BTNPAUSEB
        {4, 38, &ActionDispatcher::loadAction},     // BTNLOADA, BTNLOADB
        {5, 39, &ActionDispatcher::syncAction},     // BTNSYNCA, BTNSYNCB
        {6, 40, &ActionDispatcher::reverseAction},  // BTNREVA, BTNREVB
        {7, 41, &ActionDispatcher::brakeAction},    // BTNBRAKEA, BTNBRAKEB
    };
    for (const auto& row : kTable) {
        set(row.a, row.run, 0);
        set(row.b, row.run, 1);
    }
}

void ActionDispatcher::playAction(TInfo& e, int deck, int)
{
    if (e.valor == kPress) {
        surface_.MouseDown(kPlay[deck]);
    } else if (e.valor == kAlternate) {
        // a second press kind that pauses a playing deck, unless it is searching
        if (surface_.deckPlaying(deck) && !surface_.deckSearchMode(deck)) surface_.MouseDown(kPause[deck]);
        else surface_.MouseDown(kPlay[deck]);
    }
}

void ActionDispatcher::cueAction(TInfo& e, int deck, int)
{
    if (e.valor == kPress) surface_.MouseDown(kCue[deck]);
    else if (e.valor == kAlternate) surface_.Click(kCue[deck]);
    else if (e.valor == kRelease) surface_.MouseUp(kCue[deck]);
}

void ActionDispatcher::pauseAction(TInfo& e, int deck, int)
{
    if (e.valor == kPress) surface_.MouseDown(kPause[deck]);
}

void ActionDispatcher::loadAction(TInfo& e, int deck, int)
{
    if (e.valor == kPress) {
        surface_.MouseDown(kLoad[deck]);
    } else if (e.valor == kAlternate) {
        if (state_.seledirectorio != 0) alternateLoadSelect(deck);
        else surface_.MouseDown(kLoad[deck]);
    }
}

void ActionDispatcher::syncAction(TInfo& e, int deck, int)
{
    if (e.valor == kPress) surface_.MouseDown(kSync[deck]);
}

// Reverse hold: after the first alternate press (63) the deck's reverse mode stays 63, and then a
// press switches reverse on and the following release switches it off again.
void ActionDispatcher::reverseAction(TInfo& e, int deck, int)
{
    int& mode = deck == 0 ? state_.revmodea : state_.revmodeb;
    if (e.valor == kAlternate) mode = kAlternate;
    if (mode == kAlternate) {
        const bool down = surface_.Down(kReverse[deck]);
        if ((e.valor == kAlternate && down) || (e.valor == kRelease && !down)) return;
        surface_.MouseDown(kReverse[deck]);
    }
    if (e.valor == kPress) surface_.MouseDown(kReverse[deck]);
}

void ActionDispatcher::brakeAction(TInfo& e, int deck, int)
{
    if (e.valor == kPress) surface_.MouseDown(kBrake[deck]);
}
