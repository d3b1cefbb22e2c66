#include "mainwindow/config/routingpictures.h"

#include <QPainter>
#include <QPainterPath>

#include "mainwindow/config/configstyle.h"

namespace {

// A source at the left (a deck letter, or the master / headphones mark) with its colour.
struct Source {
    QString mark;
    QColor colour;
};

void card(QPainter& p, const QRectF& r, int jacks) {
    p.setPen(QPen(ConfigStyle::border, 1));
    p.setBrush(ConfigStyle::raisedHigh);
    p.drawRoundedRect(r, 2, 2);
    for (int i = 0; i < jacks; ++i) {
        const double y = r.top() + r.height() * (i + 0.5) / jacks;
        p.setPen(QPen(ConfigStyle::secondary, 1));
        p.setBrush(QColor(0x1A, 0x1A, 0x1A));
        p.drawEllipse(QPointF(r.left() + 6, y), 2.5, 2.5);
    }
}

QPointF jack(const QRectF& r, int jacks, int i) {
    return {r.left() + 6, r.top() + r.height() * (i + 0.5) / jacks};
}

void source(QPainter& p, const Source& s, const QPointF& at) {
    const QRectF box(at.x() - 9, at.y() - 7, 18, 14);
    p.setPen(Qt::NoPen);
    p.setBrush(s.colour);
    p.drawRoundedRect(box, 3, 3);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(10);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0x11, 0x11, 0x11));
    p.drawText(box, Qt::AlignCenter, s.mark);
}

void wire(QPainter& p, const QPointF& from, const QPointF& to, const QColor& c) {
    QPainterPath path(from);
    path.cubicTo(QPointF((from.x() + to.x()) / 2, from.y()), QPointF((from.x() + to.x()) / 2, to.y()), to);
    p.setPen(QPen(c, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

} // namespace

QPixmap RoutingPictures::picture(int mode) {
    QPixmap pm(kWidth, kHeight);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);

    const Source a{QStringLiteral("A"), ConfigStyle::deckA}, b{QStringLiteral("B"), ConfigStyle::deckB};
    const Source master{QStringLiteral("M"), ConfigStyle::text},
        phones{QStringLiteral("H"), ConfigStyle::lit};
    const bool mixes = mode == 3 || mode == 4 || mode == 6;
    const Source& top = mixes ? master : a;
    const Source& bottom = mixes ? phones : b;
    const QPointF s1(10, 12), s2(10, 32);

    if (mixes) {
        // both decks feed the master: two small dots merging into M
        p.setPen(Qt::NoPen);
        p.setBrush(ConfigStyle::deckA);
        p.drawEllipse(QPointF(3, 6), 2.2, 2.2);
        p.setBrush(ConfigStyle::deckB);
        p.drawEllipse(QPointF(3, 18), 2.2, 2.2);
    }
    if (mode == 5 || mode == 6) {
        const QRectF c1(52, 2, 30, 18), c2(52, 24, 30, 18);
        card(p, c1, 1);
        card(p, c2, 1);
        wire(p, s1 + QPointF(9, 0), jack(c1, 1, 0), top.colour);
        wire(p, s2 + QPointF(9, 0), jack(c2, 1, 0), bottom.colour);
    } else {
        const bool pairs = mode == 2 || mode == 3;
        const int jacks = pairs ? 3 : 2;
        const QRectF c(52, 2, 30, 40);
        card(p, c, jacks);
        wire(p, s1 + QPointF(9, 0), jack(c, jacks, 0), top.colour);
        wire(p, s2 + QPointF(9, 0), jack(c, jacks, 1), bottom.colour);
    }
    source(p, top, s1);
    source(p, bottom, s2);
    return pm;
}
