#include "engine/songgridlink.h"

#include "engine/decktime.h"
#include "engine/microsf.h"
#include "engine/precord.h"

void writeDeckRows(SongGridLink* grid, const PRecord& r, const QString& file, int veces)
{
    if (!grid) return;
    for (int row = 1; row < grid->rowCount(); ++row) {
        if (grid->cell(gridcol::path, row) != file) continue;
        grid->setCell(gridcol::bpm, row, formatFixed(r.tag[tagslot::bpm], 3, 3));
        grid->setCell(gridcol::time, row, r.duration.get());
        for (int slot = tagslot::cue1; slot <= tagslot::cue11; ++slot)
            grid->setCell(tagSlotColumn(slot), row, FloatText(r.tag[size_t(slot)]));
        if (veces >= 0) grid->setCell(gridcol::veces, row, QString::number(veces));
    }
    grid->repaint();
}
