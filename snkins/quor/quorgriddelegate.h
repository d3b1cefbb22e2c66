// Paints the song grid's song cells: row colours, selection, the play-count and missing-file
// text colours, one line of text cut with an ellipsis.
#pragma once

#include <QFont>
#include <QStyledItemDelegate>
#include <array>

class TquorGrid;

class QuorGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit QuorGridDelegate(TquorGrid* grid);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // True when `text` surely fits `width` by the advances of its characters (Latin-1 only);
    // false leaves the question to the text layout. Spares the shaping of an elision test.
    bool surelyFits(const QString& text, const QFont& font, int width) const;

    TquorGrid* grid;
    mutable QFont advancesFont;
    mutable std::array<unsigned char, 256> advances{};
    mutable bool haveAdvances = false;
};
