// What the panel logic needs of a song grid: the cells the deck ticks write (SongGridLink)
// plus filling, inserting, deleting, moving and sorting rows, the current row and the sort
// arrow. Row 0 is the title row; data rows are 1 to rowCount() - 1, and there is always at
// least one (a blank row when the grid is empty). On screen the kit's TquorGrid stands
// behind it (setSongRows, InsertRow + setRows, MoveRow, SortGrid, Row/setRow, Tag);
// SongRowList is the plain one.
#pragma once

#include <QList>

#include <QStringList>

#include "engine/precord.h"
#include "engine/songgridlink.h"

class PanelGrid : public SongGridLink {
public:
    // Replaces the data rows; none leaves one blank row. The current row becomes 1.
    virtual void setRows(QList<QStringList> rows) = 0;
    // The rows from `row` on move down one and `row` takes cells; row is clamped to
    // 1..rowCount(). Into a grid whose only row is blank, the blank row takes the cells.
    virtual void insertRow(int row, const QStringList& cells) = 0;
    // The rows below move up one; the last data row left is cleared instead.
    virtual void deleteRow(int row) = 0;
    // Row `from` leaves its place and is inserted at `to`; the rows between shift by one.
    virtual void moveRow(int from, int to) = 0;
    // The data rows by one column's text: rows whose cell is blank first, the others in
    // case-insensitive, locale-aware order; descending reverses every data row.
    virtual void sortRows(int column, bool ascending) = 0;
    virtual int currentRow() const = 0;
    virtual void setCurrentRow(int row) = 0;
    // The sort arrow: |tag| is the sorted column, negative for descending, 0 for none.
    virtual void setSortIndicator(int tag) = 0;

    // conveniences over the cells
    QStringList row(int r) const
    {
        QStringList cells;
        for (int c = 0; c < gridcol::count; ++c) cells << cell(c, r);
        return cells;
    }
    bool blankRow(int r) const { return rowCount() == 2 && r == 1 && cell(gridcol::path, 1).isEmpty(); }
    // the first data row whose column holds text exactly, 0 when none
    int find(int column, const QString& text) const
    {
        for (int r = 1; r < rowCount(); ++r)
            if (cell(column, r) == text) return r;
        return 0;
    }
};
