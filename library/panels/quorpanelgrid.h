// The kit's song grid as the panel logic's grid (PanelGrid over TquorGrid).
#pragma once

#include <QPointer>

#include "library/panelgrid.h"
#include "snkins/quor/tquorgrid.h"

class QuorPanelGrid : public PanelGrid {
public:
    explicit QuorPanelGrid(TquorGrid* grid) : g_(grid) {}
    TquorGrid* widget() const { return g_; }

    int rowCount() const override { return g_ ? g_->RowCount() : 0; }
    QString cell(int column, int row) const override { return g_ ? g_->Cells(column, row) : QString(); }
    void setCell(int column, int row, const QString& text) override;
    void repaint() override;

    void setRows(QList<QStringList> rows) override;
    void insertRow(int row, const QStringList& cells) override;
    void deleteRow(int row) override;
    void moveRow(int from, int to) override;
    void sortRows(int column, bool ascending) override;
    int currentRow() const override { return g_ ? g_->Row() : 0; }
    void setCurrentRow(int row) override;
    void setSortIndicator(int tag) override;

private:
    QPointer<TquorGrid> g_;
};
