// A library panel as the main window sees it (Groups ep, Explorer ep2; the Playlists panel ep3
// adds PlaylistPanel): its song grid, the files on the two decks for the deck marks of its rows,
// and its text size. The panels' own widgets implement it; until one is built the window shows
// its bare grid in the panel's place.
#pragma once

#include <QString>

#include "mainwindow/logic/paneltextsize.h"

class SongGrid;

class BrowserPanel {
public:
    virtual ~BrowserPanel() = default;
    virtual SongGrid* grid() = 0;
    // loada (deck 1) / loadb (deck 2): the file on that deck
    virtual void setDeckFile(int deck, const QString& path) = 0;
    // column 0 of every row rewritten with the letters of the decks holding its file
    virtual void load() = 0;
    virtual void setTextSize(const PanelTextSize& size) = 0;
};
