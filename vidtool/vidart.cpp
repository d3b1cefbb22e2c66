// The downloader's pictures, in the "vid" set:
//   logo     143 x 48   the program's mark and name, on the panel colour
//   banner   433 x 66   the main program's banner (opens its web page)
// The accent is the progress bar's colour (RGB #EEAB12 to #AE7D0D), so the window has one.
#include "snkins/art/artgen.h"
#include "snkins/art/palette.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor accent{0xEE, 0xAB, 0x12};
const QColor accentDark{0xAE, 0x7D, 0x0D};

// A raised surface: the 10 % top-to-bottom shade, its edge, a highlight line below the top.
void raised(QPainter& p, const QRectF& r, qreal radius, const QColor& top, const QColor& edge)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, top.darker(111));
    p.setPen(QPen(edge, 1));
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
    p.setPen(QPen(palette::highlight, 1));
    p.drawLine(QPointF(r.left() + radius, r.top() + 1), QPointF(r.right() - radius, r.top() + 1));
}

// A rounded tile with a play triangle over three sound bars: "video to audio".
void mark(QPainter& p, const QRectF& r)
{
    raised(p, r, 4, palette::raisedHigh, palette::shadow);

    QPainterPath play;
    const qreal cx = r.left() + r.width() * 0.40, cy = r.top() + r.height() * 0.42, s = r.height() * 0.24;
    play.moveTo(cx - s * 0.8, cy - s);
    play.lineTo(cx + s, cy);
    play.lineTo(cx - s * 0.8, cy + s);
    play.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(palette::text);
    p.drawPath(play);

    const qreal base = r.bottom() - r.height() * 0.16;
    const qreal heights[] = {0.22, 0.34, 0.16, 0.28};
    for (int i = 0; i < 4; ++i) {
        const qreal x = r.left() + r.width() * (0.56 + i * 0.09);
        const qreal h = r.height() * heights[i];
        p.setBrush(i % 2 ? accentDark : accent);
        p.drawRoundedRect(QRectF(x, base - h, r.width() * 0.06, h), 1, 1);
    }
}

QImage logo(ArtContext& ctx)
{
    QImage img(143, 48, QImage::Format_RGB32);
    img.fill(palette::window);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    mark(p, QRectF(2.5, 6.5, 36, 36));
    p.setFont(ctx.font(20));
    p.setPen(palette::text);
    p.drawText(QRect(46, 4, 97, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("OSTREL"));
    p.setFont(ctx.font(16));
    p.setPen(accent);
    p.drawText(QRect(46, 24, 97, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Clipwell"));
    return img;
}

// A platter seen from above: a dark disc, a ring of marks and one bright mark, the deck's
// colour on the rim.
void platter(QPainter& p, const QPointF& c, qreal radius, const QColor& deck)
{
    p.setPen(QPen(deck, 2));
    p.setBrush(palette::rowOdd);
    p.drawEllipse(c, radius, radius);
    p.setPen(QPen(palette::raisedHigh, 1));
    p.drawEllipse(c, radius * 0.62, radius * 0.62);
    p.setPen(QPen(palette::text, 2));
    p.drawLine(c, c + QPointF(0, -radius * 0.80));
    p.setPen(Qt::NoPen);
    p.setBrush(palette::raisedHigh);
    p.drawEllipse(c, radius * 0.16, radius * 0.16);
}

QImage banner(ArtContext& ctx)
{
    const int w = 433, h = 66;
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(palette::window);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    raised(p, QRectF(0.5, 0.5, w - 1, h - 1), 3, palette::raised, palette::border);

    platter(p, QPointF(33, 33), 22, palette::deckA);
    platter(p, QPointF(83, 33), 22, palette::deckB);

    p.setFont(ctx.font(26));
    p.setPen(palette::text);
    p.drawText(QRect(120, 6, w - 128, 32), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("OSTRELKORVANTA"));
    p.setFont(ctx.font(13));
    p.setPen(palette::textSecondary);
    p.drawText(QRect(121, 38, w - 128, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("TWO-DECK DJ MIXING FOR LINUX"));
    return img;
}

void drawVid(ArtContext& ctx)
{
    ctx.saveBmp(QStringLiteral("logo"), logo(ctx));
    ctx.saveBmp(QStringLiteral("banner"), banner(ctx));
}

}  // namespace

ART_MODULE("vid", vidpictures, drawVid);
