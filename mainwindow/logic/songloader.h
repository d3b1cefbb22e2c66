// Puts a track on deck A or deck B: the LOAD buttons (btnload1MouseDown / btnload2MouseDown),
// a grid row dragged onto a deck (drag1DragDrop / drag2DragDrop), files dropped on the window
// (through the hidden grid sgdrag) and the demo songs offered at start-up.
//
// A load reads the load source's current row, copied when LOAD is pressed, and runs in order:
// a worker thread checks that the file exists; the UI thread refuses what cannot or must not be
// loaded, unloads the deck, fills its record, marks the file in the panels and adds the track to
// the CURRENT playlist; a worker thread calls the deck's Load (twice, 10 ms apart, onto an empty
// deck); then one UI step brings the deck to a clean stop at its cue point. The deck's pending
// flag is set when LOAD is pressed and cleared in the UI step that ends the load (the same step
// that posts its mailbox word), so a second LOAD of that deck in between is refused. Loads of
// deck A and deck B run side by side. Lives on the UI thread.
#pragma once

#include <array>
#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>

class BrowserPanel;
class DeckControls;
class LoadSource;
class MainServices;
class MixerControls;
class PlaylistPanel;
class SongGrid;

class SongLoader : public QObject {
public:
    SongLoader(DeckControls& deckA, DeckControls& deckB, MixerControls& mixer, LoadSource& source,
               MainServices& main);
    ~SongLoader() override;

    // the panels (any may be null) and the hidden grid of dropped files
    PlaylistPanel* ep3 = nullptr;
    BrowserPanel* ep = nullptr;
    BrowserPanel* ep2 = nullptr;
    SongGrid* sgdrag = nullptr;

    // Steps that other parts of the window own; empty ones do nothing.
    struct Hooks {
        std::function<void()> updatemidilights;
        std::function<void(int deck)> trackfrequencyChange;  // the deck's pitch slider handler
        std::function<void(int deck)> lucescues;
        std::function<void(int deck)> lucesloop;
        // the controller display text of the deck: artist + " - " + title, scrolled from 0
        std::function<void(int deck, const QString& text)> scroll;
    };
    Hooks hooks;
    // Whether a file lies on a CD-ROM (a mount whose file system is iso9660 or udf).
    std::function<bool(const QString& path)> isCdrom;
    // Told on the UI thread when a load of deck ends (loaded: the deck holds the new track).
    std::function<void(int deck, bool loaded)> onLoadFinished;

    // primeraautomix: the automix switch sets 1 for the deck that starts the mix (1 deck A,
    // 2 deck B); the load that finds automix on with both decks stopped plays its deck on 1.
    int primeraautomix = 0;

    // LOAD: btnload1MouseDown (deck 1) / btnload2MouseDown (deck 2). Refused while the deck loads.
    void btnloadMouseDown(int deck);
    // A grid row dragged onto a deck: drag1DragDrop / drag2DragDrop. The drag is accepted from a
    // song grid (dragOver).
    bool dragOver(const SongGrid* source) const { return source != nullptr; }
    void dragDrop(int deck, SongGrid* source);
    // Files dropped on the window at `at` (window coordinates): the first one goes through
    // sgdrag and, in a deck's zone, loads on that deck.
    void dropFiles(const QStringList& files, QPoint at);
    // The files of profile/demosongs/ offered to the CURRENT playlist.
    void altademosongs(const QString& profile);

    bool loading(int deck) const;
    // Waits for the loads under way (joined, never by handling events); whatever they would
    // still hand the UI thread is dropped. For the shut-down.
    void shutdown();

private:
    struct Request;
    DeckControls& deck(int n) { return n == 2 ? b_ : a_; }
    void start(int deck);
    void checked(const Request& r, bool exists);
    void prepare(const Request& r);
    void loaded(const Request& r, bool ok);
    void settle(const Request& r);
    void finish(int deck, bool ok);
    void post(int deck, std::function<void()> step);
    void takeHanded();
    void run(int deck, std::function<void()> work);
    bool automix() const;
    std::array<BrowserPanel*, 3> panels() const;

    DeckControls& a_;
    DeckControls& b_;
    MixerControls& mixer_;
    LoadSource& source_;
    MainServices& main_;
    std::array<std::thread, 2> workers_;
    std::atomic<bool> closing_{false};
    // the workers' steps for the UI thread, in the order they were handed over
    std::mutex handedLock_;
    std::deque<std::function<void()>> handed_;
};
