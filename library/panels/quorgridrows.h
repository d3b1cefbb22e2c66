// The row work the panels' grid and the Explorer's grid share over the kit's song grid
// (TquorGrid): cells, filling, inserting and deleting rows, the current row and the sort arrow.
// Grid is the interface served (PanelGrid, or ExplorerGrid for the Explorer); QuorPanelGrid and
// QuorExplorerGrid add what differs. With no grid (it went with its form) reads give empty
// answers and writes do nothing. UI thread; cell reads are safe from any thread (the grid's own).
#pragma once

#include <QPointer>

#include "snkins/quor/tquorgrid.h"

template <class Grid>
class QuorGridRows : public Grid {
public:
    explicit QuorGridRows(TquorGrid* grid) : g_(grid) {}
    TquorGrid* widget() const { return g_; }
    void setWidget(TquorGrid* grid) { g_ = grid; }

    int rowCount() const override { return g_ ? g_->RowCount() : 0; }
    QString cell(int column, int row) const override { return g_ ? g_->Cells(column, row) : QString(); }
    // a cell that already holds the text is left alone (no repaint)
    void setCell(int column, int row, const QString& text) override;
    void setRows(QList<QStringList> rows) override;
    void insertRow(int row, const QStringList& cells) override { insertAt(row, cells); }
    // the current row stays on its cells: one up when a row above it went
    void deleteRow(int row) override;
    // clamped to the data rows
    void setCurrentRow(int row) override;
    void setSortIndicator(int tag) override;

protected:
    // insertRow's work: the row the cells went into, 0 when the blank row took them
    int insertAt(int row, const QStringList& cells);

    QPointer<TquorGrid> g_;
};
