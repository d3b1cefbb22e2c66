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
    const QString shown = option.fontMetrics.elidedText(cell, Qt::ElideRight, box.width());
    p->setPen(text);
    p->setFont(option.font);
    p->drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}
