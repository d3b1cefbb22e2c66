// The folder tree and the file list of the file dialogs, over QFileSystemModel.
//
// TShellTreeView2: the folders under a root ("/" by default: rfDesktop), every folder shown,
// a name with a dot ("Vol.1") included, hidden ones not. The first time it is shown it selects
// and expands the user's home folder. GetPath is the selected folder. A linked list
// (ShellListView) lists the folder the tree selects.
//
// TShellListView2: the files of one folder, in report view (Name, Size, Type, Modified), sorted
// folders first then by name, several selectable at once. Name patterns (any case) choose the
// files shown; GetFolder(i) and the selection give them in list order.
//
// Both are plain views: no shell context menus, no automatic refresh. The mouse wheel over the
// view that has the focus moves its selection by one row (setWheelSteps).
#pragma once

#include <functional>
#include <memory>

#include <QPersistentModelIndex>
#include <QStringList>
#include <QTreeView>

#include "library/shell/tshellfolder.h"

class QFileSystemModel;
class TShellListView2;

class TShellTreeView2 : public QTreeView {
    Q_OBJECT
public:
    explicit TShellTreeView2(QWidget* parent = nullptr);

    // the root text (rfDesktop, or a path); throws ShellError for a root that is not there
    QString Root() const { return root_; }
    void setRoot(const QString& root);
    // the folder selected, empty when none
    QString GetPath() const;
    // selects the folder (its ancestors expanded); throws ShellError when it is not there
    void SetPath(const QString& path);
    std::unique_ptr<TShellFolder> SelectedFolder() const;

    TShellListView2* ShellListView() const { return list_; }
    void setShellListView(TShellListView2* list);

    // the folder the first show selects (the home folder unless set)
    QString startPath;

    QFileSystemModel* fsModel() const { return fs(); }

signals:
    void pathChanged(const QString& path);

protected:
    void showEvent(QShowEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    QFileSystemModel* fs() const;
    QFileSystemModel* model_ = nullptr;
    TShellListView2* list_ = nullptr;
    QString root_ = QStringLiteral("rfDesktop");
    bool shownOnce_ = false;
};

class TShellListView2 : public QTreeView {
    Q_OBJECT
public:
    explicit TShellListView2(QWidget* parent = nullptr);

    // the listed folder
    QString Root() const { return root_; }
    void setRoot(const QString& path);
    void TreeUpdate(const QString& path) { setRoot(path); }

    // the files shown: name patterns, matched ignoring case; none: every file
    void setNameFilters(const QStringList& patterns);

    // the items in list order
    int count() const;
    std::unique_ptr<TShellFolder> GetFolder(int index) const;
    QString pathAt(int index) const;
    bool isSelected(int index) const;
    void setItemSelected(int index, bool on);
    int SelCount() const;
    QStringList selectedPaths() const;  // in list order

    TShellTreeView2* ShellTreeView() const { return tree_; }
    void setShellTreeView(TShellTreeView2* tree) { tree_ = tree; }

    QFileSystemModel* fsModel() const { return fs(); }

signals:
    // the listed folder has been read (its items are in count())
    void populated();
    void itemDoubleClicked(const QString& path);

private:
    QFileSystemModel* fs() const;
    QModelIndex rootIndex_() const;
    QFileSystemModel* model_ = nullptr;
    QStringList filters_;
    TShellTreeView2* tree_ = nullptr;
    QString root_;
};

// The wheel over `view` (while it has the focus) moves its current row by one instead of
// scrolling; also a focus that follows the mouse into the view.
void setWheelSteps(QAbstractItemView* view);
