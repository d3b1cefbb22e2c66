#include "snkins/quor/quorgridheader.h"

#include <QPainter>
#include <cstdlib>

#include "snkins/quor/quorgridmodel.h"
#include "snkins/quor/tquorgrid.h"

QuorGridHeader::QuorGridHeader(TquorGrid* g) : QHeaderView(Qt::Horizontal, g), grid(g)
{
    setSectionsClickable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setMinimumSectionSize(0);
}

void QuorGridHeader::paintSection(QPainter* p, const QRect& rect, int c) const
{
    const int L = rect.left(), T = rect.top();
    const int R = rect.left() + rect.width(), B = rect.top() + rect.height();  // one past the edge
    const QString text = grid->Cells(c, 0);
    QFont f = font();
    f.setBold(true);
    p->setFont(f);
    const QRect textBox(L + 2, T + 2, rect.width() - 2, rect.height() - 2);
    if (!grid->ftitlefill) {
        if (!grid->st1.isNull()) p->drawImage(QRect(L, T, rect.width(), rect.height()), grid->st1);
        if (!grid->st2.isNull()) p->drawImage(L, 0, grid->st2);
        if (!grid->st3.isNull()) p->drawImage(R - 4, 0, grid->st3);
        p->setPen(Qt::black);
    } else {
        // two filled and outlined rectangles of one colour each: fills of the same extent
        p->fillRect(QRect(QPoint(L, T), QPoint(R, B)), QColor(24, 24, 24));
        p->fillRect(QRect(QPoint(L, T), QPoint(R - 2, B - 3)), grid->ttitlecolor);
        p->setPen(Qt::white);
    }
    p->drawText(textBox, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    if (c > 0 && std::abs(grid->Tag) == c) {
        const QImage& arrow = grid->Tag < 0 ? grid->abajoKeyed() : grid->arribaKeyed();
        if (!arrow.isNull()) p->drawImage(L + 3, T + (grid->RowHeights(0) - 10) / 2, arrow);
    }
}
