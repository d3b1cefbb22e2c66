#include "library/panels/quorexplorergrid.h"

#include <QHeaderView>

#include "library/songgridrow.h"
#include "snkins/quor/tquorgrid.h"

QuorExplorerGrid::QuorExplorerGrid(TquorGrid* grid) : g_(grid) {}

TquorGrid* QuorExplorerGrid::widget() const { return g_; }

void QuorExplorerGrid::setWidget(TquorGrid* grid) { g_ = grid; }

int QuorExplorerGrid::rowCount() const { return g_ ? g_->RowCount() : 0; }

QString QuorExplorerGrid::cell(int column, int row) const { return g_ ? g_->Cells(column, row) : QString(); }

void QuorExplorerGrid::setCell(int column, int row, const QString& text)
{
    if (g_ && g_->Cells(column, row) != text) g_->setCells(column, row, text);
}

void QuorExplorerGrid::repaint()
{
    if (g_) g_->repaint();
}

void QuorExplorerGrid::setRows(QList<QStringList> rows)
{
    if (!g_) return;
    g_->setSongRows(std::move(rows));
    g_->setRow(1);
}

void QuorExplorerGrid::insertRow(int row, const QStringList& cells)
{
    if (!g_) return;
    if (blankRow(1)) {
        g_->setRows(1, cells);
        return;
    }
    const int at = g_->InsertRow(std::clamp(row, 1, g_->RowCount()));
    g_->setRows(at, cells);
    // the rows below moved down one: the current row goes with its cells
    if (g_->Row() >= at && g_->Row() + 1 < g_->RowCount()) g_->setRow(g_->Row() + 1);
}

void QuorExplorerGrid::deleteRow(int row)
{
    if (!g_ || row < 1 || row >= g_->RowCount()) return;
    if (g_->RowCount() == 2) {
        g_->setRows(1, songgridrow::blank());
        return;
    }
    // the kit's grid has no row removal: the rows are laid again without it
    QList<QStringList> rows;
    rows.reserve(g_->RowCount() - 2);
    for (int r = 1; r < g_->RowCount(); ++r)
        if (r != row) rows << g_->Rows(r);
    const int current = g_->Row();
    g_->setSongRows(std::move(rows));
    g_->setRow(current > row ? current - 1 : current);
}

void QuorExplorerGrid::moveRow(int from, int to)
{
    if (g_) g_->MoveRow(from, to);
}

void QuorExplorerGrid::sortRows(int column, bool ascending)
{
    if (!g_) return;
    const int current = g_->Row();
    g_->SortGrid(column, ascending);
    g_->setRow(current);
}

int QuorExplorerGrid::currentRow() const { return g_ ? g_->Row() : 1; }

void QuorExplorerGrid::setCurrentRow(int row)
{
    if (g_) g_->setRow(row);
}

void QuorExplorerGrid::setSortIndicator(int tag)
{
    if (!g_) return;
    g_->Tag = tag;
    g_->horizontalHeader()->viewport()->update();
}

void QuorExplorerGrid::appendRows(QList<QStringList> rows)
{
    if (!g_ || rows.isEmpty()) return;
    const int current = g_->Row();
    g_->BeginUpdate();
    qsizetype i = 0;
    if (blankRow(1)) g_->setRows(1, rows[i++]);
    for (; i < rows.size(); ++i) g_->setRows(g_->InsertRow(g_->RowCount()), rows[i]);
    g_->EndUpdate();
    g_->setRow(current);
}
