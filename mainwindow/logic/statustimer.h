// The status timer Timer1 (50 ms): the clock, the hot cue and loop lights, the deck texts and
// every button that mirrors the decks' or the engine's state; then the Hint mailbox. The mailbox
// is a FIFO: each tick takes every word waiting, in the order posted, each distinct refresh and
// automix word once. "NOKEY" and "KEY" set the keyboard focus state, which the tick applies on
// every tick until the other word arrives. UI thread only.
#pragma once

#include <functional>

#include <QLocale>
#include <QString>
#include <QTime>

class AutomixWalk;
class ButtonView;
class ControlView;
class DeckControls;
class HintMailbox;
class HotCues;
class LabelView;

class StatusTimer {
public:
    StatusTimer(DeckControls& deckA, DeckControls& deckB, HintMailbox& mailbox, AutomixWalk& walk, HotCues& cues);

    LabelView* Timet = nullptr;           // the clock
    ButtonView* VsButton3 = nullptr;      // the keyboard button
    ControlView* imgplay1 = nullptr;      // deck A's play image
    ControlView* implay2 = nullptr;       // deck B's

    struct Hooks {
        std::function<QTime()> now;                          // empty: the system clock
        std::function<bool()> iskeyboard;                    // the user's keyboard switch
        std::function<void(const QString& word)> followHint; // the keyboard focus word, every tick
        std::function<bool(int deck)> blink;                 // blinka / blinkb
        std::function<void(int deck, bool playcount)> salvatag;  // the deck's file refreshed in the grids
        std::function<void(int deck, bool on)> fxswitch;     // fxa / fxb
        std::function<void(int deck, const QString& remain, const QString& elapsed)> meter;  // vu1 / vu2
        // the samplers, the recording button and the view buttons: the effects' and views' own
        std::function<void()> others;
    };
    Hooks hooks;
    QLocale locale;

    // Timer1Timer
    void tick();
    // step 21: the mailbox alone
    void mailbox();

    // "hh:mm:ss", 24-hour, with the locale's time separator
    static QString clockText(const QTime& t, const QLocale& locale);
    // the keyboard focus word last seen ("NOKEY", "KEY"), empty before either came
    QString focusWord;

private:
    void deckLights(DeckControls& d);
    DeckControls& a_;
    DeckControls& b_;
    HintMailbox& mailbox_;
    AutomixWalk& walk_;
    HotCues& cues_;
};
