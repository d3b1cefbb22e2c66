#include "library/panels/quorexplorergrid.h"

void QuorExplorerGrid::repaint()
{
    if (g_) g_->repaint();
}

void QuorExplorerGrid::insertRow(int row, const QStringList& cells)
{
    const int at = insertAt(row, cells);
    // the rows below moved down one: the current row goes with its cells
    if (at > 0 && g_->Row() >= at && g_->Row() + 1 < g_->RowCount()) g_->setRow(g_->Row() + 1);
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
