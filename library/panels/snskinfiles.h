// The Groups panel on screen (Tnskinfiles): the tree of groups and subgroups and the library
// entries of the selected node, over GroupsLogic. Its grid is "sggroups"; rows dragged from
// the Playlists grid ("sg") or the Explorer grid ("sgexplorer") join the selected node unless
// it lists the file already. The header sorts by the clicked column, again to reverse.
#pragma once

#include <memory>

#include "library/groupslogic.h"
#include "library/panels/songpanel.h"

class Tnskinfiles : public SongPanel {
    Q_OBJECT
public:
    explicit Tnskinfiles(TQuorPanel* host);
    ~Tnskinfiles() override;

    // Builds the controls and fills the tree and the grid (mquorsql and the fields set first).
    void init();
    // false: init fills the tree only; the owner lists the selected group later (a large
    // library takes seconds to list)
    bool listOnInit = true;

    GroupsLogic& logic() override { return *logic_; }

    // the main window's calls
    void salvatag(const QString& file, const PRecord& deck, int veces) { logic_->salvatag(file, deck, veces); }
    void dtarriba() { logic_->dtarriba(); }
    void dtabajo() { logic_->dtabajo(); }
    void setselected() { logic_->setselected(); }

protected:
    void makeLogic() override;
    void menuClick(int item) override;
    void treeRightPressed(double id) override { logic_->nodeRightPressed(id); }
    void treeClicked(double id) override { logic_->nodeClicked(id); }
    bool rowDragOver(QObject* source, const QString& gridName, QPoint at) override;
    void rowDropped(QObject* source, const QString& gridName, const QStringList& cells, QPoint at) override;
    void afterFileAddClosed() override { logic_->listSelected(); }
    void deleteEntry() override { logic_->deleteEntry(); }
    void search(const QString& text) override { logic_->search(text); }

private:
    std::unique_ptr<GroupsLogic> logic_;
};
