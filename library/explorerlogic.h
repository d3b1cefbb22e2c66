// The Explorer panel without a display: listing the chosen folder's audio files with what
// the library knows of them, the deck marks, the refresh of a deck's values into its rows,
// sorting by a header, and the search box's search through the folder search (tdamefiles).
//
// The panel widget is a thin shell over it: it gives the logic its grid (ExplorerGrid) and
// shows what the listener says (the "Updating files from directory..." label while a folder
// is listed, the stop switch and busy bar while a search runs). UI thread only; the search's
// rows and its "Finish" come back to this thread by queued calls.
#pragma once

#include <functional>
#include <optional>

#include <QString>
#include <QStringList>

#include "engine/precord.h"
#include "library/tdamefiles.h"
#include "library/visualpacer.h"

class ExplorerGrid;
class MainServices;
class Tmsql;
class VolumeSource;

class ExplorerLogic {
public:
    // sql: the library (none: every file counts as unknown); mounts: the mount table the
    // search leaves pseudo file systems out by (none: it walks every folder).
    ExplorerLogic(Tmsql* sql, ExplorerGrid& grid, MainServices* main = nullptr, VolumeSource* mounts = nullptr);
    ~ExplorerLogic();
    ExplorerLogic(const ExplorerLogic&) = delete;
    ExplorerLogic& operator=(const ExplorerLogic&) = delete;

    // the main window's fields
    QString loada, loadb;     // the files on deck A and deck B
    bool iskeyboard = false;  // keyboard mapping on: typed keys do not go to the search box

    int sortTag = 3;  // the grid's Tag: the sorted column, negative descending (artist ascending)
    QString fl;       // the folder the grid last listed (the file list's folder)

    struct Listener {
        std::function<void(bool)> listing;    // a folder is being listed (true) or done (false)
        std::function<void(bool)> searching;  // a search runs (true) or has finished (false)
    };
    Listener listener;

    ExplorerGrid& grid() { return grid_; }
    void setLibrary(Tmsql* sql) { sql_ = sql; }
    void setServices(MainServices* main) { main_ = main; }
    tdamefiles& buscarfiles() { return buscarfiles_; }
    // The visual step (muevelo) that listings and refreshes call, at most every 15 ms.
    void setVisualStep(std::function<void()> step) { pacer_.setStep(std::move(step)); }

    // The folder's audio files (.wav .mp3 .ogg .wma .flac .mp1 .mp2 .aiff, any case), hidden
    // ones left out, by name in any letter case.
    static QStringList folderFiles(const QString& folder);

    // Lists folder F (the tree's fDirectory) unless it is not a folder or is the folder
    // already listed (F or F + "/"), so choosing it again keeps a search's rows. A search
    // still running is stopped first. True when it listed.
    bool OndtChange(const QString& folder);
    // Column 0 of every row from loada/loadb ("A", "B", "AB" or empty); then a repaint.
    void load();
    // A deck's values into every row of its file: BPM "000.000", time, cues, play count.
    void salvatag(const QString& file, const PRecord& deck, int veces);

    // A mouse release on the title row over a column: sort by it, again to reverse. Column 0
    // is not sortable.
    void headerClicked(int column);
    // Sorts by column (by the play count for "   V", column 1) in the direction of sortTag.
    void MSortgrid(int column);

    // Enter in the search box: a search of the folder and its subfolders for names holding
    // text (empty: every audio file). The grid is emptied now, row 1 made current; a search
    // still running is stopped and its rows are not shown. Returns the pass number.
    int buscar(const QString& text, const QString& folder);
    // "Stop Search": the rows found stay; "Finish" at once.
    void bclick0();
    bool searching() const { return searching_; }

    // What a key pressed in the tree or the grid types into the search box: the character of
    // key codes above 48 ("0"), while keyboard mapping is off.
    std::optional<QString> typedKey(int key) const;
    void edit1focus();    // "NOKEY" to the mailbox
    void edit1nofocus();  // "KEY"

private:
    void rows(int pass, QList<QStringList> rows);
    void onmessage(int pass, const QString& word);
    void setSearching(bool on);

    Tmsql* sql_;
    ExplorerGrid& grid_;
    MainServices* main_;
    VisualPacer pacer_;
    PRecord mconfig;  // filled by each library look-up
    tdamefiles buscarfiles_;
    bool searching_ = false;
    int shownPass_ = 0;  // the search whose rows the grid shows; 0 after a listing
};
