#include "library/panels/quorgridrows.h"

#include <algorithm>

#include <QHeaderView>

#include "library/explorergrid.h"
#include "library/songgridrow.h"

template <class Grid>
void QuorGridRows<Grid>::setCell(int column, int row, const QString& text)
{
    if (g_ && g_->Cells(column, row) != text) g_->setCells(column, row, text);
}

template <class Grid>
void QuorGridRows<Grid>::setRows(QList<QStringList> rows)
{
    if (!g_) return;
    g_->setSongRows(std::move(rows));
    g_->setRow(1);
}

template <class Grid>
int QuorGridRows<Grid>::insertAt(int row, const QStringList& cells)
{
    if (!g_) return 0;
    if (this->blankRow(1)) {
        g_->setRows(1, cells);
        return 0;
    }
    const int at = g_->InsertRow(std::clamp(row, 1, g_->RowCount()));
    g_->setRows(at, cells);  // a short row is filled up with empty cells
    return at;
}

template <class Grid>
void QuorGridRows<Grid>::deleteRow(int row)
{
    if (!g_ || row < 1 || row >= g_->RowCount()) return;
    if (g_->RowCount() <= 2) {
        g_->setRows(1, songgridrow::blank());
        return;
    }
    // the kit's grid has no row removal: the rows are laid again without it
    QList<QStringList> rows;
    rows.reserve(g_->RowCount() - 2);
    for (int r = 1; r < g_->RowCount(); ++r)
        if (r != row) rows << g_->Rows(r);
    const int keep = g_->Row();
    g_->setSongRows(std::move(rows));
    g_->setRow(std::clamp(keep > row ? keep - 1 : keep, 1, g_->RowCount() - 1));
}

template <class Grid>
void QuorGridRows<Grid>::setCurrentRow(int row)
{
    if (g_) g_->setRow(std::clamp(row, 1, std::max(1, g_->RowCount() - 1)));
}

template <class Grid>
void QuorGridRows<Grid>::setSortIndicator(int tag)
{
    if (!g_) return;
    g_->Tag = tag;
    g_->horizontalHeader()->viewport()->update();
}

template class QuorGridRows<PanelGrid>;
template class QuorGridRows<ExplorerGrid>;
