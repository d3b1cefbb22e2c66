#include "snkins/quor/tquorgrid.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QThread>
#include <algorithm>

#include "snkins/quor/kitcolours.h"
#include "snkins/quor/kitpicture.h"
#include "snkins/quor/quorgriddelegate.h"
#include "snkins/quor/quorgridheader.h"
#include "snkins/quor/quorgridmodel.h"

TquorGrid::TquorGrid(QWidget* parent) : QTableView(parent), model_(new QuorGridModel(this))
{
    setModel(model_);
    setHorizontalHeader(new QuorGridHeader(this));
    setItemDelegate(new QuorGridDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(defaultRowHeight);
    normalfont = font().pointSize();
    setWordWrap(false);
    setCornerButtonEnabled(false);
    applyHeaderHeight();

    // widths and hidden columns outlive a reset of the model
    auto widths = std::make_shared<std::vector<int>>();
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this, widths] {
        widths->clear();
        for (int c = 0; c < model_->columnCount(); ++c) widths->push_back(ColWidths(c));
    });
    connect(model_, &QAbstractItemModel::modelReset, this, [this, widths] {
        for (int c = 0; c < int(widths->size()) && c < model_->columnCount(); ++c) setColWidths(c, (*widths)[size_t(c)]);
        applyHeights();
        restoreCurrent();
    });
    connect(model_, &QAbstractItemModel::layoutChanged, this, [this] {
        applyHeights();
        restoreCurrent();
    });
    connect(model_, &QAbstractItemModel::headerDataChanged, this, [this] { horizontalHeader()->viewport()->update(); });
    viewport()->installEventFilter(this);
    horizontalHeader()->viewport()->installEventFilter(this);
}

bool TquorGrid::onOwnThread() const { return QThread::currentThread() == thread(); }

// Runs f on the grid's thread, in order with every other write; true when it was carried.
template <class F>
bool TquorGrid::carried(F&& f)
{
    if (onOwnThread()) return false;
    QMetaObject::invokeMethod(this, std::forward<F>(f), Qt::QueuedConnection);
    return true;
}

void TquorGrid::init(QWidget* form) { init(form, 25, 1); }

void TquorGrid::init(QWidget* form, int colCount, int fixedRows)
{
    mainform = form;
    st1 = kitPicture("bcen");
    st2 = kitPicture("biz");
    st3 = kitPicture("bde");
    st4 = kitPicture("bsel");
    sem1 = kitPicture("sem1");
    sem2 = kitPicture("sem2");
    sem3 = kitPicture("sem3");
    arriba = kitPicture("grarriba");
    abajo = kitPicture("grabajo");
    arrowUp = keyedCopy(arriba, qRgb(128, 128, 128));
    arrowDown = keyedCopy(abajo, qRgb(128, 128, 128));
    bnofile = QImage();
    setContentsMargins(6, 2, 2, 2);

    setKitColours(this, tbackcolor, tfontcolor);
    setArialBold(this);
    setFrameShape(QFrame::NoFrame);

    model_->setColCount(colCount);
    model_->setFixedRows(fixedRows);
    setRowCount(2);
    setDefaultRowHeight(18);
    horizontalHeader()->setVisible(model_->FixedRows() > 0);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    setShowGrid(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setRow(model_->FixedRows());
}

QString TquorGrid::Cells(int col, int row) const { return model_->cell(col, row); }

void TquorGrid::setCells(int col, int row, const QString& text)
{
    if (carried([this, col, row, text] { setCells(col, row, text); })) return;
    model_->setCell(col, row, text);
}

QStringList TquorGrid::Rows(int row) const { return model_->rowCells(row); }

void TquorGrid::setRows(int row, const QStringList& cells)
{
    if (carried([this, row, cells] { setRows(row, cells); })) return;
    model_->setRowCells(row, cells);
}

int TquorGrid::RowCount() const { return model_->RowCount(); }

void TquorGrid::setRowCount(int n)
{
    if (carried([this, n] { setRowCount(n); })) return;
    model_->setRowCount(n);
    restoreCurrent();
}

int TquorGrid::ColCount() const { return model_->ColCount(); }

void TquorGrid::setColCount(int n)
{
    if (carried([this, n] { setColCount(n); })) return;
    model_->setColCount(n);
}

int TquorGrid::FixedRows() const { return model_->FixedRows(); }

void TquorGrid::setRow(int row)
{
    if (carried([this, row] { setRow(row); })) return;
    currentRow = row;
    restoreCurrent();
}

void TquorGrid::restoreCurrent()
{
    const int fixed = model_->FixedRows(), count = model_->RowCount();
    if (count <= fixed) {
        currentRow = -1;
        return;
    }
    const int row = std::clamp(currentRow.load(), fixed, count - 1);
    const int col = std::max(currentIndex().column(), 0);
    const QModelIndex want = model_->index(row - fixed, col);
    currentRow = row;
    if (currentIndex() != want || !selectionModel()->isRowSelected(want.row(), QModelIndex()))
        selectionModel()->setCurrentIndex(want, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TquorGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (!current.isValid()) return;  // a reset in passing; restoreCurrent puts it back
    currentRow = current.row() + model_->FixedRows();
    nfocus = QStringLiteral("True");
    emit cellSelected(current.column(), currentRow.load());
}

void TquorGrid::setDefaultRowHeight(int h)
{
    if (carried([this, h] { setDefaultRowHeight(h); })) return;
    defaultRowHeight = std::max(h, 0);
    verticalHeader()->setDefaultSectionSize(defaultRowHeight);
    applyHeaderHeight();
    viewHasCustomHeights = true;
    applyHeights();
}

void TquorGrid::applyHeaderHeight()
{
    const int h = model_->FixedRows() > 0 ? RowHeights(0) : 0;
    horizontalHeader()->setFixedHeight(h);
}

int TquorGrid::RowHeights(int row) const
{
    const int h = model_->rowHeight(row);
    return h < 0 ? defaultRowHeight : h;
}

void TquorGrid::setRowHeights(int row, int height)
{
    if (carried([this, row, height] { setRowHeights(row, height); })) return;
    const int fixed = model_->FixedRows();
    if (row < 0 || row >= model_->RowCount()) return;
    model_->setRowHeight(row, std::max(height, 0));
    if (row < fixed) {
        applyHeaderHeight();
        return;
    }
    const int vr = row - fixed;
    setRowHidden(vr, height <= 0);
    if (height > 0) QTableView::setRowHeight(vr, height);
    viewHasCustomHeights = true;
}

void TquorGrid::applyHeights()
{
    if (!model_->hasCustomHeights() && !viewHasCustomHeights) return;
    const int fixed = model_->FixedRows(), count = model_->RowCount();
    QHeaderView* vh = verticalHeader();
    for (int row = fixed; row < count; ++row) {
        const int vr = row - fixed;
        const int h = model_->rowHeight(row);
        const bool hide = h == 0;
        if (vh->isSectionHidden(vr) != hide) vh->setSectionHidden(vr, hide);
        const int size = h < 0 ? defaultRowHeight : h;
        if (!hide && vh->sectionSize(vr) != size) vh->resizeSection(vr, size);
    }
    applyHeaderHeight();
    viewHasCustomHeights = model_->hasCustomHeights();
}

int TquorGrid::ColWidths(int col) const
{
    if (isColumnHidden(col)) return 0;
    return columnWidth(col);
}

void TquorGrid::setColWidths(int col, int width)
{
    if (carried([this, col, width] { setColWidths(col, width); })) return;
    setColumnHidden(col, width <= 0);
    if (width > 0) setColumnWidth(col, width);
}

void TquorGrid::setSongRows(QList<QStringList> rows)
{
    if (carried([this, rows]() mutable { setSongRows(std::move(rows)); })) return;
    model_->setSongRows(std::move(rows));
    restoreCurrent();
}

int TquorGrid::InsertRow(int index)
{
    const int fixed = model_->FixedRows();
    // the title row stays where it is: an index above it is a caller's slip
    Q_ASSERT(index >= fixed);
    const int at = std::clamp(index, fixed, model_->RowCount());
    if (carried([this, at] { InsertRow(at); })) return at;
    const int keep = currentRow.load();
    model_->insertRow(at);
    currentRow = keep;
    restoreCurrent();
    return at;
}

void TquorGrid::MoveRow(int from, int to)
{
    if (carried([this, from, to] { MoveRow(from, to); })) return;
    model_->moveRow(from, to);
}

void TquorGrid::SortGrid(int col, bool ascending)
{
    if (carried([this, col, ascending] { SortGrid(col, ascending); })) return;
    model_->sortByColumn(col, ascending);
}

void TquorGrid::BeginUpdate()
{
    if (carried([this] { BeginUpdate(); })) return;
    model_->beginUpdate();
}

void TquorGrid::EndUpdate()
{
    if (carried([this] { EndUpdate(); })) return;
    model_->endUpdate();
}

void TquorGrid::repaint()
{
    if (carried([this] { repaint(); })) return;
    viewport()->update();
    horizontalHeader()->viewport()->update();
}

bool TquorGrid::MouseToCell(int x, int y, int& col, int& row) const
{
    const QPoint at(x, y);
    QHeaderView* header = horizontalHeader();
    if (model_->FixedRows() > 0 && header->isVisible() && header->geometry().contains(at)) {
        col = header->logicalIndexAt(at.x() - header->x());
        row = 0;
        return col >= 0;
    }
    const QPoint v = at - viewport()->pos();
    if (!viewport()->rect().contains(v)) return false;
    const int vr = rowAt(v.y());
    col = columnAt(v.x());
    if (vr < 0 || col < 0) return false;
    row = vr + model_->FixedRows();
    return true;
}

int TquorGrid::visibleDown(int from) const
{
    for (int r = std::max(from, model_->FixedRows()); r < RowCount(); ++r)
        if (RowHeights(r) != 0) return r;
    return -1;
}

int TquorGrid::visibleUp(int from) const
{
    for (int r = std::min(from, RowCount() - 1); r >= 1; --r)
        if (RowHeights(r) != 0) return r;
    return -1;
}

void TquorGrid::keyPressEvent(QKeyEvent* e)
{
    emit keyDown(e->key(), e->modifiers());
    QTableView::keyPressEvent(e);
}

void TquorGrid::keyReleaseEvent(QKeyEvent* e)
{
    emit keyUp(e->key(), e->modifiers());
    QTableView::keyReleaseEvent(e);
    const int cur = Row();
    if (cur < 0 || RowHeights(cur) != 0) return;
    int to = -1;
    if (e->key() == Qt::Key_Down) {
        to = visibleDown(cur);
        if (to < 0) to = visibleUp(cur);
    } else if (e->key() == Qt::Key_Up) {
        to = visibleUp(cur);
        if (to < 0) to = visibleDown(cur);
    }
    if (to >= 0) setRow(to);
}

void TquorGrid::enterEvent(QEnterEvent* e)
{
    emit mouseEnter();
    QTableView::enterEvent(e);
}

void TquorGrid::leaveEvent(QEvent* e)
{
    emit mouseLeave();
    QTableView::leaveEvent(e);
}

void TquorGrid::dragEnterEvent(QDragEnterEvent* e) { emit dragOver(e); }

void TquorGrid::dragMoveEvent(QDragMoveEvent* e) { emit dragOver(e); }

void TquorGrid::dropEvent(QDropEvent* e) { emit dragDrop(e); }

bool TquorGrid::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(e);
        auto* w = static_cast<QWidget*>(watched);
        const QPoint at = w->mapTo(this, me->position().toPoint());
        if (e->type() == QEvent::MouseButtonPress)
            emit mouseDown(me->button(), me->modifiers(), at.x(), at.y());
        else
            emit mouseUp(me->button(), me->modifiers(), at.x(), at.y());
    }
    return QTableView::eventFilter(watched, e);
}
