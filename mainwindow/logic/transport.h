// The deck transport controls' handlers: play, pause, cue (press, release, click), reverse,
// brake, key lock, pitch bend, beat match, the pitch slider and its range menu, seeking and the
// three jog mode buttons. One implementation for both decks: each handler takes the deck's
// controls (deckA for btnplay1MouseDown, deckB for btnplay2MouseDown, ...). A press handler runs
// before the button flips its own down state. UI thread only.
#pragma once

#include <functional>

class DeckControls;
class LoadSource;

class Transport {
public:
    Transport(DeckControls& deckA, DeckControls& deckB, LoadSource& source);

    // What other concerns of the window own; empty ones do nothing.
    struct Hooks {
        std::function<void()> automixOff;     // automix off, its button up, the playlist tree enabled
        std::function<void()> bmixMouseDown;  // the mixer view in the centre
        std::function<void()> bfxMouseDown;   // the effects view in the centre
        std::function<bool()> bfxDown;        // the effects view is shown
        std::function<bool()> modemax;        // the wide window mode
        std::function<void()> lucesloop;      // the loop lights
    };
    Hooks hooks;

    void btnplayMouseDown(DeckControls& d);
    void btnpauseMouseDown(DeckControls& d);
    void btncueMouseDown(DeckControls& d);
    void btncueMouseUp(DeckControls& d);
    void btncueClick(DeckControls& d);
    void reverseMouseDown(DeckControls& d);
    // A brake time of 0 or below gives no brake step: the press changes nothing.
    void brakeMouseDown(DeckControls& d);
    void keyMouseDown(DeckControls& d);
    void bendmasMouseDown(DeckControls& d);
    void bendmasMouseUp(DeckControls& d);
    void bendmenosMouseDown(DeckControls& d);
    void bendmenosMouseUp(DeckControls& d);
    void matchMouseDown(DeckControls& d);
    void trackfrequencyChange(DeckControls& d);
    // N41Click / MenuItem1Click: the range in percent from the item's Tag.
    void pitchRange(DeckControls& d, int range);
    // pro1MouseDown, displaypeq1MouseDown: seeks to x / width of the track.
    void seek(DeckControls& d, int x, int width);
    void scratchMouseDown(DeckControls& d);
    void searchMouseDown(DeckControls& d);
    void effectsMouseDown(DeckControls& d);

    // A running loop left by a transport or jog step: loopexit, the loop buttons' tags 0, the
    // selected loop length cleared, the loop lights redone.
    void leaveLoop(DeckControls& d);

private:
    DeckControls& other(const DeckControls& d);
    void endSearch(DeckControls& d, bool clearWheel);
    void showMixerUnlessEffects();
    DeckControls& a_;
    DeckControls& b_;
    LoadSource& source_;
};
