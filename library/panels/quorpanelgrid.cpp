#include "library/panels/quorpanelgrid.h"

#include <algorithm>

void QuorPanelGrid::repaint()
{
    if (g_) g_->viewport()->update();
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
