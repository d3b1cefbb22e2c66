// The Explorer panel: built inside an empty host panel of the main window, the drive and
// folder tree (dt, "Browser") on the left and on the right the grid "sgexplorer" of the
// chosen folder's audio files, with what the library knows of each, over a strip holding the
// "Stop Search" switch (B1), a busy bar (JWait) and the search box. The search box searches
// the chosen folder and its subfolders; rows appear while the search runs.
//
// The logic lives in ExplorerLogic (listing, marks, refresh, sort, search); this is its shell.
// Mount changes reach the tree through a MountWatcher on the volume source: a volume that
// arrives gains its node or is enabled, one that goes away is disabled.
//
// Use (the main window): construct on the host panel with the volume source (MountTable, or
// a fake in tests); set the public fields (colours, mainform, services, mquorsql,
// tienedescarga, hide3dborder, images); init(); later setVisualStep() once the engine exists,
// setDeckFile() + load() when a deck loads, salvatag() when a deck's cues change.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QString>

#include "library/explorerlogic.h"
#include "library/panels/librarypanel.h"
#include "library/panels/quorexplorergrid.h"

class BusyBar;
class MainServices;
class MountWatcher;
class PRecord;
class QLabel;
class QMouseEvent;
class TDirectoryTree2;
class TQuorSwitch1;
class VolumeSource;

class Tnskinexplore : public LibraryPanelFrame {
    Q_OBJECT
public:
    Tnskinexplore(TQuorPanel* host, VolumeSource& volumes);
    ~Tnskinexplore() override;

    // set by the main window before init
    QWidget* mainform = nullptr;        // handed to the grid
    MainServices* services = nullptr;   // the mailbox for "NOKEY" / "KEY"
    bool tienedescarga = false;         // show "OSTREL Download" in the tree
    bool watchMounts = true;            // follow the mount table (tests may drive the tree)

    // built by init
    TDirectoryTree2* dt = nullptr;
    TQuorSwitch1* B1 = nullptr;   // "Stop Search"
    BusyBar* JWait = nullptr;
    QLabel* slabel = nullptr;     // "Updating files from directory..."
    MountWatcher* watcher = nullptr;

    void init();

    ExplorerLogic& logic() { return *logic_; }
    ExplorerGrid& grid() { return grid_; }

    // the deck marks: loada (deck 1) / loadb (deck 2), then load() rewrites column 0
    void setDeckFile(int deck, const QString& path);
    void load();
    // A deck's values into the rows of its file (the deck's record and the engine's count).
    void salvatag(const QString& file, const PRecord& deck, int veces);
    void setVisualStep(std::function<void()> step) { logic_->setVisualStep(std::move(step)); }
    void setIskeyboard(bool on) { logic_->iskeyboard = on; }
    // The text size (the main window's PanelTextSize, field by field): the tree's and the
    // grid's font, the grid's row height, the title strip's height and font, the status
    // strip's height and the search box's font.
    void setTextSize(int font, int rowHeight, int titleHeight, int titleFont, int statusHeight, int searchFont);

    // Starts dragging the current row's file out of the grid; the decks take the drop. Tests
    // set their own.
    std::function<void()> startDrag;

    // handlers, bound in init
    void OndtChange();
    void dtclick();
    void bclick0();
    void onmessage(bool searching);
    void sgMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void StringGridMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

protected:
    void searchFocus(bool focused) override;
    bool buscarpress(QKeyEvent* e) override;
    std::optional<QString> typedKey(int key) const override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void dragNow();

    VolumeSource& volumes_;
    QuorExplorerGrid grid_{nullptr};
    std::unique_ptr<ExplorerLogic> logic_;
    QObject* sgViewport_ = nullptr;
    std::optional<QPoint> pressAt_;  // a left press on a data row that may become a drag
};
