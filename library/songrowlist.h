// A song grid held as a plain list of rows: the panel logic's grid in tests and benches,
// and a model for a view that shows one.
#pragma once

#include <vector>

#include <QStringList>

#include "library/panelgrid.h"

class SongRowList : public PanelGrid {
public:
    explicit SongRowList(const QStringList& headers);

    int rowCount() const override { return int(rows_.size()); }
    QString cell(int column, int row) const override;
    void setCell(int column, int row, const QString& text) override;
    void repaint() override { ++repaints; }

    void setRows(QList<QStringList> rows) override;
    void insertRow(int row, const QStringList& cells) override;
    void deleteRow(int row) override;
    void moveRow(int from, int to) override;
    void sortRows(int column, bool ascending) override;
    int currentRow() const override { return current_; }
    void setCurrentRow(int row) override;
    void setSortIndicator(int tag) override { sortIndicator = tag; }

    int repaints = 0;
    int sortIndicator = 0;

private:
    static QStringList sized(QStringList cells);
    std::vector<QStringList> rows_;  // rows_[0]: the title row
    int current_ = 1;
};
