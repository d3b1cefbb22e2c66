// The Groups panel without a display: the two-level tree of groups and subgroups, the
// listing of the selected node in the chosen order, sorting by a header, the library
// search, the node commands of the context menu, "File Delete", and the rows dropped from
// the other grids. Adding files is LibraryPanelLogic's.
#pragma once

#include "library/librarypanellogic.h"

class GroupsLogic : public LibraryPanelLogic {
public:
    GroupsLogic(Tmsql& sql, PanelGrid& grid, PanelPrompts* prompts = nullptr, MainServices* main = nullptr);

    int sortTag = 3;  // the sorted column, negative descending; starts at artist ascending

    // Builds the tree from the database and lists the first group (unless `list` is false: the
    // owner calls listSelected itself).
    void init(bool list = true);
    void buildTree();
    // " ORDER BY ..." for sortTag (stored order for a column without a clause)
    QString orderBy() const;
    // The selected node becomes the working node (its ids) and is listed.
    void listSelected();

    // tree events: a click selects and lists; a right press keeps the node's name for
    // "Edit Name" and lists the selected node again
    void nodeClicked(double id);
    void nodeRightPressed(double id);
    // a mouse-up on the title row over column c: sort the grid by it, again to reverse
    void headerClicked(int column);
    // Enter in the search box
    void search(const QString& text);

    // the context menu
    void newGroup();
    void newSubGroup();
    void deleteNode();
    void renameNode();
    void clearNode();
    // "File Delete"
    void deleteEntry();
    // a row dragged from the Playlists or Explorer grid (its 25 cells)
    void dropRow(const QStringList& cells);

    // controller browsing
    void dtarriba();
    void dtabajo();
    void setselected();

    // A deck's values (its record and play count) into every row of its file.
    void salvatag(const QString& file, const PRecord& deck, int veces);

protected:
    std::function<double(const Ttagsong&)> inserter(AddKind kind) override;
    bool dropsCheckDuplicates() const override { return true; }
    void beforeDrop() override;
    void relist() override { listSelected(); }

private:
    void browse(int step);
};
