// The Playlists panel without a display: the playlists and the CURRENT playlist, the
// entries' positions, the automatic history of the decks, the deck track labels, the rows
// dragged in or moved inside the grid, deletion, the shuffle view and the search. Adding
// files is LibraryPanelLogic's.
//
// The CURRENT playlist (mygcurrent) is the one last listed; every track a deck loads from
// another grid joins it at position 1 through altadeplaylist, which the main window calls
// on the UI thread with the loaded row's cells.
#pragma once

#include <random>

#include "library/librarypanellogic.h"

class PlaylistsLogic : public LibraryPanelLogic {
public:
    // What the labels need to know of a deck.
    struct DeckTrack {
        bool loaded = false;
        QString file;
        double id = 0;  // the deck's database id
    };

    PlaylistsLogic(Tmsql& sql, PanelGrid& grid, PanelPrompts* prompts = nullptr, MainServices* main = nullptr);

    double mygcurrent = 0;     // the CURRENT playlist
    double oldmygcurrent = 0;
    double newgcurrent = 0;    // the playlist the deck labels look in
    bool shuttle = false;      // the shuffle view is on
    int ntrack1 = 0, ntrack2 = 0;  // written by the loaders; not read here
    int originaldrag = 0;      // the grid row where the last drag started
    int dragStartRow = 0;      // the grid's current row when that drag started
    int mover = 0;             // the row of the last press in the grid
    double moverid = 0;        // that row's entry id

    QString track1, track2;                                      // deck A's and deck B's labels
    std::function<void(int deck, const QString& text)> onTrackLabel;  // a label changed
    std::function<DeckTrack(int deck)> deckTrack;                // 1 deck A, 2 deck B
    std::mt19937 random{std::random_device{}()};                // the shuffle's source

    // Builds the tree (table order), makes the first playlist CURRENT and lists it.
    void init();
    void buildTree();
    // The selected playlist is listed and becomes the working and CURRENT playlist.
    void listSelected();
    // The working playlist again, CURRENT untouched; then the labels.
    void actualizosg();

    void nodeClicked(double id);
    void nodeRightPressed(double id);

    // the context menu
    void newPlaylist();
    void renamePlaylist();
    void deletePlaylist();
    void clearPlaylist();
    void reorderPlaylist();

    // The automatic history: a track being loaded on deck carga (1 A, 2 B) from another
    // grid, its row's cells as the loader copied them. Already in CURRENT: the label shows
    // its position. Otherwise it goes in at position 1 (the grid too when CURRENT is the
    // listed playlist) and the label reads "New", then "0001". A failed insert changes
    // nothing and only writes a line to standard error.
    void altadeplaylist(int carga, const QStringList& row);
    // A start-up demo track, while the grid holds at most one row.
    void altademosong(const QStringList& row);
    // The deck labels from the decks and the playlist; then the deck marks.
    void actualizotracks();
    void setTrackLabel(int deck, const QString& text);
    // Row numero of the grid takes the cells with the entry's new id; column 1 renumbered.
    void insertaenpos(int numero, const QStringList& cells, double newId);

    // A press on a grid row (a drag may start from it).
    void pressRow(int row);
    // The pressed entry dropped on the grid: on data row dropRow, on the title row (0), or
    // outside the rows (-1, nothing moves).
    void moveDrop(int dropRow);
    // A row of the Groups or Explorer grid dropped on data row dropRow (0: not on a row).
    void dropRow(const QStringList& cells, int dropRow);
    // "File Delete"
    void deleteEntry();
    // the shuffle view on (again: a new order) or off (the stored order)
    void shuttlepress(bool on);
    // Enter in the search box: the entries of every playlist
    void search(const QString& text);
    // a mouse-up on the title row
    void headerMouseUp();
    // controller browsing
    void dtarriba();
    void dtabajo();
    void setselected();

    // A deck's values stored for its file and shown in its rows; with mcops only the play
    // count is shown.
    void salvatag(const QString& file, PRecord& deck, int veces, bool mcops);

protected:
    std::function<double(const Ttagsong&)> inserter(AddKind kind) override;
    bool dropsCheckDuplicates() const override { return false; }
    void beforeDrop() override;
    void afterAdding(AddKind kind, const TrackAdder::Outcome& outcome, const QString& lastDuplicate) override;
    void relist() override { actualizosg(); }

private:
    void listPlaylist(double id);
    void renumber();
    double savedForDrop_ = 0;
};
