// Paints the song grid's song cells: row colours, selection, the play-count and missing-file
// text colours, one line of text cut with an ellipsis.
#pragma once

#include <QStyledItemDelegate>

class TquorGrid;

class QuorGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit QuorGridDelegate(TquorGrid* grid);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    TquorGrid* grid;
};
