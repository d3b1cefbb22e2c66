// The Explorer's grid on screen: the kit's song grid (TquorGrid) as an ExplorerGrid. The
// grid keeps its current row through every change the logic makes: a refill keeps its number
// as far as the rows reach, rows added or sorted keep the row selected where it was (a
// search's rows arriving never move the selection or the scroll position), and a deck-mark
// refresh is one repaint. UI thread; cell reads are safe from any thread (the grid's own).
#pragma once

#include <QPointer>

#include "library/explorergrid.h"

class TquorGrid;

class QuorExplorerGrid : public ExplorerGrid {
public:
    explicit QuorExplorerGrid(TquorGrid* grid);
    TquorGrid* widget() const;
    void setWidget(TquorGrid* grid);

    int rowCount() const override;
    QString cell(int column, int row) const override;
    void setCell(int column, int row, const QString& text) override;
    void repaint() override;

    void setRows(QList<QStringList> rows) override;
    void insertRow(int row, const QStringList& cells) override;
    void deleteRow(int row) override;
    void moveRow(int from, int to) override;
    void sortRows(int column, bool ascending) override;
    int currentRow() const override;
    void setCurrentRow(int row) override;
    void setSortIndicator(int tag) override;
    void appendRows(QList<QStringList> rows) override;

private:
    QPointer<TquorGrid> g_;
};
