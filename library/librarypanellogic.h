// What the Groups and Playlists panels share, without a display: the listing of songs
// queries into the panel's grid, the deck marks, the refresh of a deck's values into its
// rows, the keys that go to the search box, the search box's mailbox words, the boxes
// that ask first, and the adding of files (drops, "File Add", "Add from Dir").
//
// A panel widget is a thin shell over it: it gives the logic its grid (PanelGrid), its
// boxes (PanelPrompts) and the main window's services, shows the tree (tree()) and the
// grid, and forwards the user's actions to the logic's methods. Everything runs on the
// UI thread; loading threads and workers reach it through queued calls.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QString>
#include <QStringList>

#include "library/paneltree.h"
#include "library/songgridrow.h"
#include "library/trackadder.h"
#include "library/visualpacer.h"

class MainServices;
class PanelGrid;
class PanelPrompts;
class PRecord;
class Tmsql;
class TSQLiteTable;

class LibraryPanelLogic {
public:
    // The track-info form's fields.
    struct FileInfo {
        QString bpm, artist, title;  // the boxes e1, e2, e3
        QString file;                // the file label
        QString id;                  // the entry's id text
    };

    LibraryPanelLogic(songgridrow::Kind kind, Tmsql& sql, PanelGrid& grid, PanelPrompts* prompts,
                      MainServices* main);
    virtual ~LibraryPanelLogic();
    LibraryPanelLogic(const LibraryPanelLogic&) = delete;
    LibraryPanelLogic& operator=(const LibraryPanelLogic&) = delete;

    // the main window's fields
    QString loada, loadb;    // the files on deck A and deck B
    bool iskeyboard = false; // keyboard mapping on: typed keys do not go to the search box

    // the working node and the search mode
    double myid = 0, myrootid = 0, myparentid = 0;
    bool buscaroot = true;
    QString gtext, sgtext;
    bool busqueda = false;  // the grid shows search results (or, in Playlists, the shuffle view)

    PanelTree& tree() { return tree_; }
    PanelGrid& grid() { return grid_; }
    Tmsql& sql() { return sql_; }
    // The visual step (muevelo) that long listings and refreshes call, at most every 15 ms.
    void setVisualStep(std::function<void()> step) { pacer_.setStep(std::move(step)); }

    // Column 0 of every row from loada/loadb; then a repaint.
    void load();
    // The text a key press puts into the search box (upper-cased), or nothing: only one
    // printable character other than "0" and space, and only while iskeyboard is off.
    std::optional<QString> searchKey(const QString& keyText) const;
    void edit1focus();    // "NOKEY" to the mailbox
    void edit1nofocus();  // "KEY"
    // the data row holding the file, 0 when none (buscasong's answer, turned round)
    int rowOf(const QString& path) const;

    // "File Info": the current row's fields, nothing for a row without an entry; the save
    // stores BPM, artist and title of that id and shows them in every row of it.
    std::optional<FileInfo> fileInfo() const;
    void saveFileInfo(const FileInfo& info);

    // Adding. Files that are not there, folders and unknown types are passed over.
    struct AddListener {
        std::function<void(const QString& text)> label;
        std::function<void(int position, int maximum)> progress;
        // the run ended (its files are listed); not cancelled: the dialog may close
        std::function<void(const TrackAdder::Outcome&)> finished;
    };
    AddListener adding;
    // A drop from the file manager, in drop order; a drop during a run follows that run.
    void dropFiles(const QStringList& names);
    bool addFiles(const QStringList& files);    // "File Add"'s Accept; false when refused
    bool addFromDir(const QString& folder);     // "Add from Dir"'s Accept; false when refused
    void cancelAdding();                        // the dialog's Cancel or Close
    bool addingRunning() const { return adder_.running(); }

    // The text that counts and names the files a drop or a run could not add.
    static QString notAddedText(const QStringList& files);

protected:
    enum class AddKind { Drop, Files, Folder };
    // the run's inserter and ids, fixed when it starts
    virtual std::function<double(const Ttagsong&)> inserter(AddKind kind) = 0;
    virtual bool dropsCheckDuplicates() const = 0;
    virtual void beforeDrop() {}
    // The run ended: list again (after "File Add" and "Add from Dir" the last row is
    // current, after a drop the duplicate dropped last), tell what was not added.
    virtual void afterAdding(AddKind kind, const TrackAdder::Outcome& outcome, const QString& lastDuplicate);

    // Fills the grid with a songs query (current row 1); marks: then the deck marks.
    void fill(std::unique_ptr<TSQLiteTable> songs, bool withOrder, bool marks);
    virtual void relist() = 0;
    // every row of file: column 2 the deck's BPM, 5 its time, the cues; 22 := veces when >= 0
    void refreshRows(const QString& file, const PRecord& deck, int veces, bool tagAndTime);
    void pause();
    void resume();
    // the boxes, with the main loop paused while they are open
    void confirm(const QString& text, std::function<void(bool)> answer);
    void warn(const QString& text);
    void askText(const QString& caption, const QString& prompt, const QString& value,
                 std::function<void(std::optional<QString>)> answer);
    // a kept FileInfo's row texts into every row of that id
    void showInfo(const FileInfo& info);
    bool fileLabelFallsBack_ = true;  // "File Info" shows the path itself for a missing file

    songgridrow::Kind kind_;
    Tmsql& sql_;
    PanelGrid& grid_;
    PanelPrompts* prompts_;
    MainServices* main_;
    PanelTree tree_;
    VisualPacer pacer_;

private:
    bool startRun(AddKind kind, QStringList files, const QString& folder);
    TrackAdder adder_;
    QString dropDuplicate_;     // a drop's last name, when the grid already held it
    QStringList pendingDrops_;  // names dropped while a run was going
};
