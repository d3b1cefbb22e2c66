// What the Groups and the Playlists panel widgets share over their logic (LibraryPanelLogic):
// the frame of LibraryPanelFrame plus the tree (dt) that shows the logic's PanelTree, the file
// buttons B1 "File Info", B2 "File Add", B3 "File Delete", B4 "Add from Dir" and the hidden
// B5 "Re-Scan BPM", the tree's context menu, the track-info form and the "Add files" and
// "Files From Directory" dialogs, files dropped from the file manager onto the panel, and
// rows dragged out of the grid.
//
// Use (the main window): construct it on the host panel, set the public fields (mquorsql,
// main, mainform, colours, PopupMenu1, ...), call init(); later setVisualStep. Everything runs
// on the UI thread: loading threads reach the panel through queued calls.
//
// A row leaves the grid as a drag whose source is the grid (sg) and whose data carries the
// grid's name and the row's 25 cells (rowMimeType); the grid's current row is the dragged row.
#pragma once

#include <functional>
#include <memory>

#include <QPoint>
#include <QPointer>

#include "library/panels/librarypanel.h"

class KitPrompts;
class LibraryPanelLogic;
class MainServices;
class QDropEvent;
class QMenu;
class QMimeData;
class QTreeWidgetItem;
class QuorPanelGrid;
class TQuorFileForm;
class TQuorSwitch1;
class TQuorTreeView;
class TTquorfilesdir2;
class TTquoropendialog2;
class Tfinfo2;

class SongPanel : public LibraryPanelFrame {
    Q_OBJECT
public:
    explicit SongPanel(TQuorPanel* host);
    ~SongPanel() override;

    // set by the main window before init
    MainServices* main = nullptr;  // the main loop pause and the mailbox
    QWidget* mainform = nullptr;   // the window the boxes and forms are centred on
    QMenu* PopupMenu1 = nullptr;   // the tree's context menu (five items); made when not given

    // built by init
    TQuorTreeView* dt = nullptr;
    TQuorSwitch1 *B1 = nullptr, *B2 = nullptr, *B3 = nullptr, *B4 = nullptr, *B5 = nullptr;
    Tfinfo2* mfinfo = nullptr;
    TTquoropendialog2* mfilesopen = nullptr;
    TTquorfilesdir2* mfilesdir = nullptr;

    // The logic under the panel (valid after init).
    virtual LibraryPanelLogic& logic() = 0;
    QuorPanelGrid* panelGrid() const { return grid_.get(); }
    KitPrompts* prompts() const { return prompts_.get(); }

    // the deck files and their marks
    void setDeckFile(int deck, const QString& path);
    void load();
    void setKeyboard(bool on);  // iskeyboard
    // the visual step long listings call (at most every 15 ms)
    void setVisualStep(std::function<void()> step);
    // the text size of the tree, grid, bar and search box
    void setTextSize(int font, int rowHeight, int statusHeight, int searchFont);

    static QString rowMimeType();
    // the cells and the grid name a row drag carries
    static QMimeData* rowMime(const QString& gridName, const QStringList& cells);
    static bool rowFromMime(const QMimeData* mime, QString* gridName, QStringList* cells);

    // the buttons' actions
    void bclick0();  // "File Info"
    void bclick1();  // "File Add"
    void bclick2();  // "File Delete"
    void bclick3();  // "Add from Dir"
    void bclick4();  // "Re-Scan BPM": the grid takes the focus
    void focusGrid();

signals:
    // a row drag left the grid (the grid's current row is that row)
    void rowDragStarted(int row);

protected:
    // init's work: the frame, the tree, the bar, the forms; then the logic's own init
    void buildPanel(const Frame& f, int buttonWidth, const QStringList& menuCaptions);
    // the panel's logic over grid_ and prompts_ (called by buildPanel)
    virtual void makeLogic() = 0;
    // what the panel does with menu item i (0..4)
    virtual void menuClick(int item) = 0;
    virtual void treeRightPressed(double id) = 0;
    virtual void treeClicked(double id) = 0;
    // a drag over the grid (grid coordinates); true: accept
    virtual bool rowDragOver(QObject* source, const QString& gridName, QPoint at) = 0;
    // a row dropped on the grid (grid coordinates)
    virtual void rowDropped(QObject* source, const QString& gridName, const QStringList& cells, QPoint at) = 0;
    // may the press on data row start a drag
    virtual bool canDragRow(int row) const;
    // a press on a data row of the grid
    virtual void rowPressed(int row) { Q_UNUSED(row); }
    virtual void afterFileAddClosed() {}
    virtual void deleteEntry() = 0;
    virtual void search(const QString& text) = 0;
    virtual bool fileAddRefused() const { return false; }

    void searchFocus(bool focused) override;
    bool buscarpress(QKeyEvent* e) override;
    std::optional<QString> typedKey(int key) const override;
    bool eventFilter(QObject* watched, QEvent* e) override;

    std::unique_ptr<QuorPanelGrid> grid_;
    std::unique_ptr<KitPrompts> prompts_;

private:
    void syncTree();
    void wireAdding();
    void openForm(TQuorFileForm* form);
    bool dragEvent(QObject* watched, QEvent* e);
    void startRowDrag();

    bool framed_ = false;  // the frame's widgets are there
    bool syncing_ = false;
    double changedId_ = -1;
    QPointer<TQuorFileForm> activeForm_;
    QPoint pressAt_;
    int pressRow_ = 0;
    bool pressed_ = false;
};
