// The Explorer's grid: a panel grid that also takes a search's rows at its end, a batch at a
// time, so that tens of thousands of rows arrive without one grid change per row. On screen
// the kit's song grid stands behind it (QuorExplorerGrid); ExplorerRowList is the plain one.
#pragma once

#include <QList>
#include <QStringList>

#include "library/panelgrid.h"

class ExplorerGrid : public PanelGrid {
public:
    // The rows go after the last data row; into a grid whose only row is blank they replace
    // it. The current row keeps its number.
    virtual void appendRows(QList<QStringList> rows) = 0;
};
