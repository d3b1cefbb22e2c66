// A song grid of the main window (the three library panels' grids and the hidden grid that
// dropped files pass through) as the load, the panel arrangement and the controllers see it:
// the cells (SongGridLink: 25 text columns, row 0 the title row), the current row, the grid's
// component name ("sg" Playlists, "sggroups" Groups, "sgexplorer" Explorer, "sgdrag" the
// hidden one), the focus flags of the panel arrangement, and the focus itself.
#pragma once

#include <QString>
#include <QStringList>

#include "engine/precord.h"
#include "engine/songgridlink.h"
#include "mainwindow/logic/focusable.h"

class SongGrid : public SongGridLink, public Focusable {
public:
    virtual QString gridName() const = 0;
    virtual int currentRow() const = 0;
    virtual void setCurrentRow(int row) = 0;
    virtual void setRowCount(int rows) = 0;
    // 1 while the grid is the load source (its panel was entered last), else 0
    virtual bool tienefoco() const = 0;
    virtual void settienefoco(bool on) = 0;
    // "False" when the mouse enters the grid; the grid sets "True" when a cell is selected
    virtual QString nfocus() const = 0;
    virtual void setnfocus(const QString& text) = 0;

    // The cells of row r, gridcol::count of them (empty past the last row).
    QStringList row(int r) const
    {
        QStringList cells;
        for (int c = 0; c < gridcol::count; ++c) cells << (r >= 0 && r < rowCount() ? cell(c, r) : QString());
        return cells;
    }
};
