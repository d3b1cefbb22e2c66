// The library panels below the decks: Playlists, Groups and Explorer stacked in the browser area
// `todo`, switched on and off by the three side buttons, sharing the area's height; the text size
// of all three; the load source (the grid of the panel entered last); and where the keyboard
// focus goes back to. The window binds the views and the panels; UI thread only.
//
// Panel numbers, as lastexplorer keeps them: 1 Explorer, 2 Playlists, 3 Groups.
#pragma once

#include <functional>

class BrowserPanel;
class ButtonView;
class ControlView;
class Focusable;
class LoadSource;
class PlaylistPanel;
class PositionView;
class SongGrid;

class PanelArrangement {
public:
    explicit PanelArrangement(LoadSource& source);

    // ---- views
    ControlView* todo = nullptr;      // the browser area
    ControlView* playlist = nullptr;  // the panel hosts
    ControlView* grupos = nullptr;
    ControlView* explorer = nullptr;
    ButtonView* bpplaylist = nullptr;  // the side buttons (latched)
    ButtonView* bggrupos = nullptr;
    ButtonView* bpexplorer = nullptr;
    PositionView* nzoom = nullptr;     // text size 0..6

    // ---- the panels (null until built)
    PlaylistPanel* ep3 = nullptr;  // Playlists
    BrowserPanel* ep = nullptr;    // Groups
    BrowserPanel* ep2 = nullptr;   // Explorer

    // focus for the window itself, when a control refuses it
    std::function<void()> focusWindow;

    // ---- state
    bool vpl = false, vgr = false, vex = true;  // Playlists, Groups, Explorer shown
    int lastexplorer = 1;
    int muestropanel = 0;  // how many panels fit, 1..3
    SongGrid* lastcontrol = nullptr;

    // Lays the panels out from vpl, vgr, vex: each shown panel as wide as the area less 5, the
    // area's height shared; from the top Playlists, Groups, Explorer. With none shown, the one
    // lastexplorer names comes back.
    void alineopanels();
    // The side buttons, after they toggled their own down state.
    void bpplaylistClick();
    void bggruposClick();
    void bpexplorerClick();

    // Text size n (0..6) of the three panels; nzoomchange takes the slider's position.
    void setzoom(int n);
    void nzoomchange();

    // A panel was entered: its grid becomes the load source.
    void PlaylistEnter();
    void gruposEnter();
    void explorerEnter();

    // The focus back to the load source's grid.
    void devuelvofoco();
    // The focus to c when it can take it; to the window when it refuses. Nothing for null.
    void focusea(Focusable* c);

    // The mouse over a grid and away from it: ep (Groups), ep3 (Playlists), ep2 (Explorer).
    void epMouseEnter();
    void epMouseleave();
    void ep3MouseEnter();
    void ep3Mouseleave();
    void ep2MouseEnter();
    void ep2Mouseleave();

    // The end of start-up: the Groups grid when shown, then the Explorer's, then the Playlists'.
    void focusStart();

    // The stored panel layout wexp (0, 1 Explorer; 3 Playlists; 4 both; 5 Groups; 6 Explorer
    // and Groups; 8 Playlists and Groups; 9 all three; other values change nothing) and back.
    static void wexpFlags(int wexp, bool& vex, bool& vpl, bool& vgr);
    void applyWexp(int wexp) { wexpFlags(wexp, vex, vpl, vgr); }
    int wexp() const { return (vex ? 1 : 0) + (vpl ? 3 : 0) + (vgr ? 5 : 0); }

    SongGrid* gridOf(int panel) const;
    BrowserPanel* panel(int panel) const;

private:
    void sideClick(int panel);
    void enter(int panel);
    void mouseEnter(int panel);
    void mouseLeave(int panel);
    ButtonView* button(int panel) const;
    ControlView* host(int panel) const;
    bool& flag(int panel);

    LoadSource& source_;
};
