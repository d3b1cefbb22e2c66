// The Playlists panel on screen (Tnskinplay): the playlists and the entries of the listed one
// in position order, over PlaylistsLogic. Its grid is "sg". The playlist listed last is
// CURRENT: every track a deck loads from another grid joins it (altadeplaylist, called on the
// UI thread with the loaded row's cells). Entries move by dragging them inside the grid; rows
// dragged from the Groups grid ("sggroups") or the Explorer grid ("sgexplorer") go in where
// they are dropped. The deck labels track1 / track2 show the decks' positions.
#pragma once

#include <memory>

#include <QPointer>

#include "library/panels/songpanel.h"
#include "library/playlistslogic.h"

class QLabel;

class Tnskinplay : public SongPanel {
    Q_OBJECT
public:
    explicit Tnskinplay(TQuorPanel* host);
    ~Tnskinplay() override;

    // the main window's deck A and deck B track labels (set before init)
    QPointer<QLabel> track1, track2;
    // what the labels need of a deck (the main window's decks)
    std::function<PlaylistsLogic::DeckTrack(int deck)> deckTrack;

    // Builds the controls, fills the tree, makes the first playlist CURRENT and lists it.
    void init();

    PlaylistsLogic& logic() override { return *logic_; }

    // the main window's calls
    void altadeplaylist(int carga, const QStringList& row) { logic_->altadeplaylist(carga, row); }
    void altademosong(const QStringList& row) { logic_->altademosong(row); }
    void setntrack(int deck, int order) { (deck == 2 ? logic_->ntrack2 : logic_->ntrack1) = order; }
    int originaldrag() const { return logic_->originaldrag; }
    void shuttlepress(bool on);
    bool shuttle() const { return logic_->shuttle; }
    void salvatag(const QString& file, PRecord& deck, int veces, bool mcops) { logic_->salvatag(file, deck, veces, mcops); }
    void actualizotracks() { logic_->actualizotracks(); }
    void dtarriba() { logic_->dtarriba(); }
    void dtabajo() { logic_->dtabajo(); }
    void setselected() { logic_->setselected(); }

protected:
    void makeLogic() override;
    void menuClick(int item) override;
    void treeRightPressed(double id) override;
    void treeClicked(double id) override { logic_->nodeClicked(id); }
    bool rowDragOver(QObject* source, const QString& gridName, QPoint at) override;
    void rowDropped(QObject* source, const QString& gridName, const QStringList& cells, QPoint at) override;
    void rowPressed(int row) override { logic_->pressRow(row); }
    void deleteEntry() override { logic_->deleteEntry(); }
    void search(const QString& text) override { logic_->search(text); }
    bool fileAddRefused() const override { return logic_->busqueda; }

private:
    std::unique_ptr<PlaylistsLogic> logic_;
};
