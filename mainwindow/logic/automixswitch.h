// The automix section: the automix switch (auto_enable), mix now, the fade times (ffout, ffin)
// and the shuffle view of the Playlists panel (random, newlist). Starting automix checks the
// playlist, chooses the entry that comes next, loads or starts the decks and hands the fade
// times to the engine; the engine's tick and the status timer's walk do the rest.
//
// Starting goes on in continuations: 100 ms after the press deck B's step runs, and when deck B
// must load it first waits for deck A's load-finished notice (loadFinished). A failed deck-A
// load is the status timer's walk to mend (it loads the next entry); the wait goes on for the
// entry loaded next. Deck A not loaded within 10 s switches automix off with a message; a press
// during the wait switches automix off and drops the continuation. UI thread only.
#pragma once

#include <functional>
#include <optional>

#include <QString>

class ButtonView;
class LabelView;
class PositionView;
class SongGrid;

// What the automix section reaches beyond its own controls.
class AutomixHost {
public:
    virtual ~AutomixHost() = default;
    // the engine's automix fields
    virtual bool autoenable() const = 0;
    virtual void setAutoenable(bool on) = 0;
    virtual void setFades(int dr, int lr) = 0;
    virtual void setFadeOut(int dr) = 0;
    virtual void setFadeIn(int lr) = 0;
    // mix now: the engine's mix progress (mix1to2, newdl, newdr) to 0; and its request flag
    virtual void resetMix() = 0;
    virtual void toggleMixnow() = 0;
    // the decks
    virtual bool stopped(int deck) const = 0;
    virtual bool loaded(int deck) const = 0;
    virtual void setLoaded(int deck, bool loaded) = 0;
    virtual void play(int deck) = 0;
    // btnload1MouseDown / btnload2MouseDown from the Playlists grid, which becomes the load source
    virtual void load(int deck) = 0;
    // the browser shows the Playlists panel alone
    virtual void playlistsAlone() = 0;
    // the Playlists panel's shuffle view
    virtual bool shuttle() const = 0;
    virtual void shuttlepress(bool on) = 0;
    // the timed warning box (3 s) and a plain message
    virtual void warning(const QString& text) = 0;
    virtual void message(const QString& text) = 0;
};

class AutomixSwitch {
public:
    static constexpr int kSettleMs = 100;
    static constexpr int kDeckALimitMs = 10000;
    static QString tooFewText() { return QStringLiteral("You need 3 or more Audio files to activate !  "); }
    static QString deckAFailedText() { return QStringLiteral("Deck A could not be loaded: automix is off.  "); }

    explicit AutomixSwitch(AutomixHost& host) : host_(host) {}

    // controls
    SongGrid* playlist = nullptr;         // the Playlists grid (sg)
    ButtonView* auto_enable = nullptr;
    ButtonView* random = nullptr;
    LabelView *track1 = nullptr, *track2 = nullptr;
    LabelView *laut_t1 = nullptr, *laut_t2 = nullptr;
    PositionView *ffout = nullptr, *ffin = nullptr;
    LabelView *lfout = nullptr, *lfin = nullptr;
    int* primeraautomix = nullptr;        // the song loader's

    // the walk state the status timer reads and advances; the window points these at the walk's
    int CURRENTPLAYNUMBER = 1;
    bool currentplayfinded = false;
    int* number = &CURRENTPLAYNUMBER;
    bool* found = &currentplayfinded;

    // Runs `f` after `ms` on the UI thread (a single-shot timer); tests give their own.
    std::function<void(int ms, std::function<void()> f)> after;

    void auto_enableMouseDown();
    void mixnowMouseDown();
    void ffoutChange();
    void ffinChange();
    void randomMouseDown();
    void randomMouseUp();
    void newlistMouseDown();

    // The song loader's notice that a load of `deck` ended (loaded: it holds the new track).
    void loadFinished(int deck, bool loaded);
    // A start is under way (between the press and deck B's step).
    bool starting() const { return phase_ != Phase::idle; }

    // A label's entry number: 0 for "----", none for a text that is no number.
    static std::optional<int> entryOf(const QString& label);

private:
    enum class Phase { idle, settle, waitDeckA };
    void switchOff();
    void deckBStep();
    void loadDeckB();
    void finishStart();
    // the first row from row 1 whose order cell is `number`, 0 when none
    int rowOf(int number) const;
    void selectCurrent();
    void schedule(int ms, std::function<void()> f);

    AutomixHost& host_;
    Phase phase_ = Phase::idle;
    unsigned generation_ = 0;  // continuations of an older generation do nothing
    int a_ = 0, b_ = 0;
};
