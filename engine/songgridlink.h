// One library song grid as the deck tick writes it: 25 text columns, rows from 1
// (row 0 is the header). Implementations make cell access safe from the UI thread.
#pragma once

#include <QString>

class SongGridLink {
public:
    virtual ~SongGridLink() = default;
    virtual int rowCount() const = 0;
    virtual QString cell(int column, int row) const = 0;
    virtual void setCell(int column, int row, const QString& text) = 0;
    virtual void repaint() = 0;
};

class PRecord;

// Writes a deck's tempo, time and cues (and the play count when veces >= 0) into every row
// of grid that holds file, then repaints it. A null grid is skipped.
void writeDeckRows(SongGridLink* grid, const PRecord& r, const QString& file, int veces = -1);
