// The Explorer's grid as a plain list of rows, for tests and benches: a SongRowList that
// also appends batches.
#pragma once

#include "library/explorergrid.h"
#include "library/songrowlist.h"

class ExplorerRowList : public ExplorerGrid {
public:
    explicit ExplorerRowList(const QStringList& headers) : rows_(headers) {}

    int rowCount() const override { return rows_.rowCount(); }
    QString cell(int column, int row) const override { return rows_.cell(column, row); }
    void setCell(int column, int row, const QString& text) override { rows_.setCell(column, row, text); }
    void repaint() override { ++repaints; }

    void setRows(QList<QStringList> rows) override { rows_.setRows(std::move(rows)); }
    void insertRow(int row, const QStringList& cells) override { rows_.insertRow(row, cells); }
    void deleteRow(int row) override { rows_.deleteRow(row); }
    void moveRow(int from, int to) override { rows_.moveRow(from, to); }
    void sortRows(int column, bool ascending) override { rows_.sortRows(column, ascending); }
    int currentRow() const override { return rows_.currentRow(); }
    void setCurrentRow(int row) override { rows_.setCurrentRow(row); }
    void setSortIndicator(int tag) override { sortIndicator = tag; }

    void appendRows(QList<QStringList> rows) override
    {
        const int current = rows_.currentRow();
        for (const QStringList& r : rows) rows_.insertRow(rows_.rowCount(), r);
        rows_.setCurrentRow(current);
    }

    int repaints = 0;
    int sortIndicator = 0;

private:
    SongRowList rows_;
};
