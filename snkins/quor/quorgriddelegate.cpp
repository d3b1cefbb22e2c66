#include "snkins/quor/quorgriddelegate.h"

#include <QPainter>

#include "snkins/quor/quorgridmodel.h"
#include "snkins/quor/tquorgrid.h"

QuorGridDelegate::QuorGridDelegate(TquorGrid* g) : QStyledItemDelegate(g), grid(g) {}

void QuorGridDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QuorGridModel* model = grid->gridModel();
    const int row = index.row() + model->FixedRows();
    const QRect r = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    const bool focused = option.state & QStyle::State_HasFocus;
    const bool played = model->played(row);
    const QColor rowColour = row % 2 == 1 ? grid->tbackcolor : grid->tparcolor;

    QColor text;
    if (selected) {
        p->fillRect(r, QColor(0, 89, 171));
        text = played ? Qt::black : Qt::white;
    } else if (focused) {
        p->fillRect(r, rowColour);
        text = played ? Qt::black : Qt::white;
    } else {
        p->fillRect(r, rowColour);
        text = played ? QColor(1, 191, 251) : QColor(221, 221, 221);
    }
    if (model->fileMissing(row)) text = QColor(80, 80, 80);

    const QString& cell = model->at(row).cells.at(index.column());
    if (cell.isEmpty()) return;
    const QRect box = r.adjusted(2, 0, -1, 0);
    const QFontMetrics& fm = option.fontMetrics;
    const QString shown = surelyFits(cell, option.font, box.width()) ? cell : fm.elidedText(cell, Qt::ElideRight, box.width());
    if (shown.isEmpty()) return;
    p->setPen(text);
    p->setFont(option.font);
    // at a baseline point: no line layout for one line of text
    const int baseline = box.top() + (box.height() - fm.height()) / 2 + fm.ascent();
    p->drawText(QPoint(box.left(), baseline), shown);
}

bool QuorGridDelegate::surelyFits(const QString& text, const QFont& font, int width) const
{
    if (!haveAdvances || font != advancesFont) {
        const QFontMetrics fm(font);
        for (int c = 0; c < 256; ++c) {
            const int w = fm.horizontalAdvance(QChar(c));
            advances[size_t(c)] = (QChar(c).isPrint() && w > 0 && w < 255) ? (unsigned char)w : 255;
        }
        advancesFont = font;
        haveAdvances = true;
    }
    int sum = 0;
    for (QChar c : text) {
        if (c.unicode() > 255 || advances[c.unicode()] == 255) return false;
        sum += advances[c.unicode()] + 1;  // a pixel a character for rounding and hinting
        if (sum > width) return false;
    }
    return true;
}
