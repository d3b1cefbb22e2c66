#include "library/shell/shellctrls2.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QShowEvent>
#include <QWheelEvent>

namespace {

class WheelSteps : public QObject {
public:
    explicit WheelSteps(QAbstractItemView* view) : QObject(view), view_(view) {}

    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Enter) {
            // the focus follows the mouse; the list gets a current item when it has none
            if (!view_->hasFocus()) view_->setFocus(Qt::MouseFocusReason);
            QAbstractItemModel* m = view_->model();
            if (m && !view_->currentIndex().isValid() && m->rowCount(view_->rootIndex()) > 0 &&
                qobject_cast<TShellListView2*>(view_))
                view_->setCurrentIndex(m->index(0, 0, view_->rootIndex()));
            return false;
        }
        if (e->type() != QEvent::Wheel) return false;
        auto* w = static_cast<QWheelEvent*>(e);
        const int dy = w->angleDelta().y();
        if (dy == 0) return false;
        QModelIndex at = view_->currentIndex();
        if (!at.isValid()) return true;
        auto* tree = qobject_cast<QTreeView*>(view_);
        QModelIndex next = tree ? (dy < 0 ? tree->indexBelow(at) : tree->indexAbove(at)) : QModelIndex();
        if (next.isValid()) {
            view_->setCurrentIndex(next);
            view_->scrollTo(next);
        }
        return true;
    }

private:
    QAbstractItemView* view_;
};

void hideDetailColumns(QTreeView* v)
{
    for (int c = 1; c < v->model()->columnCount(); ++c) v->hideColumn(c);
}

}  // namespace

void setWheelSteps(QAbstractItemView* view)
{
    view->viewport()->installEventFilter(new WheelSteps(view));
}

// ---- the tree

TShellTreeView2::TShellTreeView2(QWidget* parent) : QTreeView(parent)
{
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setIndentation(19);
    setSortingEnabled(false);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    startPath = QDir::homePath();
}

// The file system is read (on Qt's own thread) from the first use on, not before.
QFileSystemModel* TShellTreeView2::fs() const
{
    if (model_) return model_;
    auto* self = const_cast<TShellTreeView2*>(this);
    self->model_ = new QFileSystemModel(self);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setReadOnly(true);
    model_->setRootPath(QStringLiteral("/"));
    self->setModel(model_);
    self->setRootIndex(model_->index(QStringLiteral("/")));
    hideDetailColumns(self);
    model_->sort(0, Qt::AscendingOrder);
    return model_;
}

void TShellTreeView2::setRoot(const QString& root)
{
    const std::unique_ptr<TShellFolder> folder = CreateRootFolder(root);  // throws for a root not there
    root_ = root;
    setRootIndex(fs()->index(folder->PathName()));
    if (list_) list_->setRoot(folder->PathName());
}

QString TShellTreeView2::GetPath() const
{
    const QModelIndex at = currentIndex();
    return at.isValid() ? fs()->filePath(at) : QString();
}

void TShellTreeView2::SetPath(const QString& path)
{
    const QFileInfo fi(path);
    if (path.isEmpty() || !fi.isDir()) throw ShellError(QStringLiteral("Error setting path: \"%1\"").arg(path));
    const QModelIndex at = fs()->index(QDir::cleanPath(fi.absoluteFilePath()));
    if (!at.isValid()) throw ShellError(QStringLiteral("Error setting path: \"%1\"").arg(path));
    for (QModelIndex p = at.parent(); p.isValid(); p = p.parent()) expand(p);
    setCurrentIndex(at);
    expand(at);
    scrollTo(at);
}

std::unique_ptr<TShellFolder> TShellTreeView2::SelectedFolder() const
{
    const QString path = GetPath();
    if (path.isEmpty()) return nullptr;
    return std::make_unique<TShellFolder>(nullptr, path);
}

void TShellTreeView2::setShellListView(TShellListView2* list)
{
    list_ = list;
    if (list_) {
        list_->setShellTreeView(this);
        const QString path = GetPath();
        if (!path.isEmpty()) list_->setRoot(path);
    }
}

void TShellTreeView2::showEvent(QShowEvent* e)
{
    fs();
    QTreeView::showEvent(e);
    if (shownOnce_) return;
    shownOnce_ = true;
    try {
        if (!startPath.isEmpty()) SetPath(startPath);
    } catch (const ShellError&) {
        // no home folder: the root stays selected
    }
}

void TShellTreeView2::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeView::currentChanged(current, previous);
    if (!current.isValid()) return;
    const QString path = fs()->filePath(current);
    if (list_) list_->setRoot(path);
    emit pathChanged(path);
}

// ---- the list

TShellListView2::TShellListView2(QWidget* parent) : QTreeView(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& at) {
        if (at.isValid()) emit itemDoubleClicked(fs()->filePath(at));
    });
}

QFileSystemModel* TShellListView2::fs() const
{
    if (model_) return model_;
    auto* self = const_cast<TShellListView2*>(this);
    self->model_ = new QFileSystemModel(self);
    model_->setFilter(QDir::Files | QDir::NoDotAndDotDot);
    model_->setNameFilterDisables(false);  // files that do not match are not shown
    model_->setNameFilters(filters_);
    model_->setReadOnly(true);
    self->setModel(model_);
    header()->setSectionsClickable(false);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::Stretch);
    model_->sort(0, Qt::AscendingOrder);
    connect(model_, &QFileSystemModel::directoryLoaded, self, [self](const QString& path) {
        if (QDir::cleanPath(path) != QDir::cleanPath(self->root_)) return;
        self->model_->sort(0, Qt::AscendingOrder);  // folders first, then by name
        emit self->populated();
    });
    return model_;
}

void TShellListView2::setRoot(const QString& path)
{
    if (QDir::cleanPath(path) == QDir::cleanPath(root_) && !root_.isEmpty()) return;
    root_ = QDir::cleanPath(path);
    clearSelection();
    setRootIndex(fs()->setRootPath(root_));
}

void TShellListView2::setNameFilters(const QStringList& patterns)
{
    filters_ = patterns;
    if (model_) model_->setNameFilters(patterns);
}

QModelIndex TShellListView2::rootIndex_() const { return rootIndex(); }

int TShellListView2::count() const { return root_.isEmpty() ? 0 : fs()->rowCount(rootIndex_()); }

QString TShellListView2::pathAt(int index) const
{
    if (index < 0 || index >= count()) return QString();
    return fs()->filePath(fs()->index(index, 0, rootIndex_()));
}

std::unique_ptr<TShellFolder> TShellListView2::GetFolder(int index) const
{
    const QString path = pathAt(index);
    if (path.isEmpty()) return nullptr;
    return std::make_unique<TShellFolder>(nullptr, path);
}

bool TShellListView2::isSelected(int index) const
{
    fs();
    if (index < 0 || index >= count()) return false;
    return selectionModel()->isRowSelected(index, rootIndex_());
}

void TShellListView2::setItemSelected(int index, bool on)
{
    fs();
    if (index < 0 || index >= count()) return;
    selectionModel()->select(fs()->index(index, 0, rootIndex_()),
                             (on ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                 QItemSelectionModel::Rows);
}

int TShellListView2::SelCount() const
{
    fs();
    int n = 0;
    for (int i = 0; i < count(); ++i) n += isSelected(i) ? 1 : 0;
    return n;
}

QStringList TShellListView2::selectedPaths() const
{
    QStringList paths;
    for (int i = 0; i < count(); ++i)
        if (isSelected(i)) paths << pathAt(i);
    return paths;
}
