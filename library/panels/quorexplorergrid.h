// The Explorer's grid on screen: the kit's song grid (TquorGrid) as an ExplorerGrid. The
// grid keeps its current row through every change the logic makes: a refill keeps its number
// as far as the rows reach, rows added or sorted keep the row selected where it was (a
// search's rows arriving never move the selection or the scroll position), and a deck-mark
// refresh is one repaint. UI thread; cell reads are safe from any thread (the grid's own).
#pragma once

#include "library/explorergrid.h"
#include "library/panels/quorgridrows.h"

class QuorExplorerGrid : public QuorGridRows<ExplorerGrid> {
public:
    explicit QuorExplorerGrid(TquorGrid* grid) : QuorGridRows(grid) {}

    // painted at once
    void repaint() override;
    void insertRow(int row, const QStringList& cells) override;
    void moveRow(int from, int to) override;
    void sortRows(int column, bool ascending) override;
    int currentRow() const override { return g_ ? g_->Row() : 1; }
    void appendRows(QList<QStringList> rows) override;
};
