// Paints the song grid's title row: from the title bitmaps or flat, with the sort arrow of
// the grid's Tag.
#pragma once

#include <QHeaderView>

class TquorGrid;

class QuorGridHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit QuorGridHeader(TquorGrid* grid);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    TquorGrid* grid;
};
