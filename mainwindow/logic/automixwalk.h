// The automix walk: which playlist entry a deck loads next when automix asks for one
// ("CARGACANCION1" when deck A reached its end or failed to load, "ECARGACANCION1" when the
// row's file was missing; deck B's words end in 2). It looks for the playlist order number after
// the decks' own (the labels track1, track2), wraps to the top past the last row, and presses
// the deck's LOAD on the row found.
//
// Labels that are no number ("----", "New") read as 0. Every row index is checked against the
// grid: an empty or too short playlist stops automix with the load source restored, and loads
// nothing. UI thread only.
#pragma once

#include <functional>

#include <QString>

class DeckControls;
class LabelView;
class LoadSource;
class SongGrid;

class AutomixWalk {
public:
    AutomixWalk(DeckControls& deckA, DeckControls& deckB, LoadSource& source);

    SongGrid* playlist = nullptr;        // the Playlists panel's grid
    LabelView* laut_t1 = nullptr;        // the automix panel's track counters
    LabelView* laut_t2 = nullptr;

    struct Hooks {
        std::function<void(int deck)> btnloadMouseDown;  // LOAD of the deck
        std::function<void()> automixOff;                // automix off, its button up
    };
    Hooks hooks;

    int CURRENTPLAYNUMBER = 0;
    bool currentplayfinded = false;
    // where the walk keeps them: its own fields, or the automix switch's, which sets them when
    // automix starts
    int* cpn = &CURRENTPLAYNUMBER;
    bool* found = &currentplayfinded;
    int pasafinautomix = 0;  // the deck whose missing-file step wrapped past the end, 0 none

    // One step for deck 1 or 2; missingFile for the "ECARGACANCION" words. Whether a load was
    // started.
    bool step(int deck, bool missingFile);

    // A label or cell read as a whole number; anything else is 0.
    static int number(const QString& text);
    static QString threeDigits(int n);

private:
    // column 1 (the order number) of row r, or -1 when r is not a row of the playlist
    int orderAt(int r) const;
    bool stop(SongGrid* restore);
    DeckControls& a_;
    DeckControls& b_;
    LoadSource& source_;
};
