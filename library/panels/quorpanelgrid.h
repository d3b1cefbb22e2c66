// The kit's song grid as the panel logic's grid (PanelGrid over TquorGrid).
#pragma once

#include "library/panelgrid.h"
#include "library/panels/quorgridrows.h"

class QuorPanelGrid : public QuorGridRows<PanelGrid> {
public:
    explicit QuorPanelGrid(TquorGrid* grid) : QuorGridRows(grid) {}

    // a repaint when the event loop comes round
    void repaint() override;
    // `to` is clamped to the data rows; a `from` outside them moves nothing
    void moveRow(int from, int to) override;
    void sortRows(int column, bool ascending) override;
    int currentRow() const override { return g_ ? g_->Row() : 0; }
};
