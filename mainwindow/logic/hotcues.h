// Hot cues and loops: the six hot cue buttons with their memory and delete modes and the
// hot/normal switch, loop in, loop out, reloop and the eight loop-length buttons, and the light
// routines lucescues / lucesloop. One implementation for both decks (cue11MouseDown for deck A,
// cue21MouseDown for deck B, ...). A slot n keeps point A in tag slot n and point B in slot n + 6
// of the deck's record: A 0 empty, B 0 a hot cue, else a hot loop from A to B. UI thread only.
#pragma once

#include <functional>

#include <QString>

class DeckControls;

class HotCues {
public:
    HotCues(DeckControls& deckA, DeckControls& deckB);

    struct Hooks {
        std::function<void(int deck)> salvacues;        // the deck's cues into the grids and the database
        std::function<void(DeckControls&)> btnplayMouseDown;  // the deck's PLAY handler
    };
    Hooks hooks;

    void memoryMouseDown(DeckControls& d);
    void deleteMouseDown(DeckControls& d);
    // cue11MouseDown / cue21MouseDown, slot 1 .. 6 (the sender's Tag)
    void cueMouseDown(DeckControls& d, int slot);
    void loopaMouseDown(DeckControls& d);
    void loopbMouseDown(DeckControls& d);
    void loopreloopMouseDown(DeckControls& d);
    // R1MouseDown / l1MouseDown and their releases, N 1 .. 8 (the sender's Tag)
    void loopLengthMouseDown(DeckControls& d, int n);
    void loopLengthMouseUp(DeckControls& d, int n);
    void lucescues();
    void lucesloop();

    // beats of the loop-length buttons by Tag 1 .. 8
    static double beatsOf(int n);
    // the shortest hot loop a press on a stopped deck starts: more than this many bytes
    static int shortestHotLoop(int deck) { return deck == 1 ? 18000 : 12000; }
    // the slot's graphic: look 0 empty, 1 hot cue, 2 hot loop ("cb1.bmp", "cav3.bmp", ...)
    static QString cueGraphic(int deck, int slot, int look);

private:
    void lights();
    DeckControls& a_;
    DeckControls& b_;
};

class PRecord;
class SongGrid;
// Every row of the grid that holds `file` takes the deck's twelve cue values (whole numbers).
void refreshCueRows(SongGrid& grid, const QString& file, const PRecord& deck);
