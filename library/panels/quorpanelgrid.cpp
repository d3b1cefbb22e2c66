#include "library/panels/quorpanelgrid.h"

#include <algorithm>

#include <QHeaderView>

#include "library/songgridrow.h"

void QuorPanelGrid::setCell(int column, int row, const QString& text)
{
    if (g_ && g_->Cells(column, row) != text) g_->setCells(column, row, text);
}

void QuorPanelGrid::repaint()
{
    if (g_) g_->viewport()->update();
}

void QuorPanelGrid::setRows(QList<QStringList> rows)
{
    if (!g_) return;
    g_->setSongRows(std::move(rows));
    g_->setRow(1);
}

void QuorPanelGrid::insertRow(int row, const QStringList& cells)
{
    if (!g_) return;
    QStringList r = cells;
    while (r.size() < gridcol::count) r << QString();
    if (blankRow(1)) {
        g_->setRows(1, r);
        return;
    }
    const int at = g_->InsertRow(std::clamp(row, 1, g_->RowCount()));
    g_->setRows(at, r);
}

void QuorPanelGrid::deleteRow(int row)
{
    if (!g_ || row < 1 || row >= g_->RowCount()) return;
    if (g_->RowCount() <= 2) {
        g_->setRows(1, songgridrow::blank());
        return;
    }
    QList<QStringList> rows;
    rows.reserve(g_->RowCount() - 2);
    for (int r = 1; r < g_->RowCount(); ++r)
        if (r != row) rows << g_->Rows(r);
    const int keep = g_->Row();
    g_->setSongRows(std::move(rows));
    g_->setRow(std::clamp(keep > row ? keep - 1 : keep, 1, g_->RowCount() - 1));
}

void QuorPanelGrid::moveRow(int from, int to)
{
    if (!g_ || from == to) return;
    const int last = g_->RowCount() - 1;
    if (from < 1 || from > last) return;
    g_->MoveRow(from, std::clamp(to, 1, last));
}

void QuorPanelGrid::sortRows(int column, bool ascending)
{
    if (g_) g_->SortGrid(column, ascending);
}

void QuorPanelGrid::setCurrentRow(int row)
{
    if (g_) g_->setRow(std::clamp(row, 1, std::max(1, g_->RowCount() - 1)));
}

void QuorPanelGrid::setSortIndicator(int tag)
{
    if (!g_) return;
    g_->Tag = tag;
    g_->horizontalHeader()->viewport()->update();
}
