// The Playlists panel (ep3) as the main window sees it: a library panel plus the CURRENT
// playlist's automatic history and the numbers it keeps for the decks.
#pragma once

#include <QStringList>

#include "mainwindow/logic/browserpanel.h"

class PlaylistPanel : public BrowserPanel {
public:
    // A track being loaded on deck (1 A, 2 B) from another grid, its row's cells: added to the
    // CURRENT playlist unless already there; the deck's track label shows "New" or its position.
    virtual void altadeplaylist(int deck, const QStringList& row) = 0;
    // A start-up demo track, while the grid holds at most one track.
    virtual void altademosong(const QStringList& row) = 0;
    // ntrack1 / ntrack2: the playlist order of the deck's track when it came from this grid
    virtual void setntrack(int deck, int order) = 0;
    // the grid row where the current drag started
    virtual int originaldrag() const = 0;
};
