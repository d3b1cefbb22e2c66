// The main window's artwork, drawn from its form data (mainwindow/form/tform1.skn):
//   tform1.vsf          the skin graphics pack: every graphic of a "Graphic <name>" section,
//                       the background "fondo.bmp" among them
//   VrBitmapList1.vrb   the bitmap list stream: the knob strips and the effect switches' glyphs
//   form/<name>         the form's pictures (waveform backgrounds, meter faces, the platter...)
//   tform1.skn          the form data itself, for the program
//   captions.tsv        every caption drawn: graphic, cell, text, inked height, colours
// The pack and the list are written by the skin engine's and the kit's own writers.
#include <QBuffer>
#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <cmath>

#include "mainwindow/form/formdata.h"
#include "mainwindow/form/formlook.h"
#include "snkins/art/artgen.h"
#include "snkins/art/palette.h"
#include "snkins/vr/bitmapliststream.h"
#include "snkins/vs/skinerror.h"
#include "snkins/vs/tvsgraphics.h"

namespace {

const QColor kKey(0xFF, 0x00, 0xFF);
const QColor kWindow(0x21, 0x21, 0x21);

struct Sink {
    ArtContext& ctx;
    QByteArray captions;  // captions.tsv
};

QImage canvas(int w, int h, const QColor& fill)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

// Pixels outside `shape` become the key colour exactly; inside, the picture stays. The shape is
// tested at pixel centres, so edges are hard and no pixel is almost-fuchsia.
void keyOutside(QImage& img, const QPainterPath& shape, const QRect& area, const QColor& key = kKey)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (!shape.contains(QPointF(x + 0.5, y + 0.5))) img.setPixelColor(x, y, key);
}

QPainterPath roundRect(const QRectF& r, double radius)
{
    QPainterPath p;
    p.addRoundedRect(r, radius, radius);
    return p;
}

// ---- symbols, drawn in `c` inside `r`
void drawSymbol(QPainter& p, const QString& sym, const QRectF& r, const QColor& c, bool lit)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    const double s = std::min(r.width(), r.height());
    const QPointF m = r.center();
    const double lw = std::max(1.5, s / 7.0);
    QPen pen(c, lw, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    if (sym == QLatin1String("play")) {
        const double a = s * 0.42;
        QPolygonF t{QPointF(m.x() - a * 0.55, m.y() - a * 0.7), QPointF(m.x() - a * 0.55, m.y() + a * 0.7),
                    QPointF(m.x() + a * 0.75, m.y())};
        p.drawPolygon(t);
    } else if (sym == QLatin1String("pause")) {
        const double h = s * 0.56, w = s * 0.16;
        p.drawRect(QRectF(m.x() - w * 1.6, m.y() - h / 2, w, h));
        p.drawRect(QRectF(m.x() + w * 0.6, m.y() - h / 2, w, h));
    } else if (sym == QLatin1String("minus") || sym == QLatin1String("plus")) {
        const double a = std::max(2.0, s * 0.3), t = std::max(1.0, std::round(s / 8.0));
        p.setRenderHint(QPainter::Antialiasing, false);
        p.drawRect(QRectF(std::round(m.x() - a), std::round(m.y() - t / 2), std::round(2 * a), t));
        if (sym == QLatin1String("plus"))
            p.drawRect(QRectF(std::round(m.x() - t / 2), std::round(m.y() - a), t, std::round(2 * a)));
    } else if (sym == QLatin1String("cross") || sym == QLatin1String("close")) {
        const double a = s * 0.24;
        p.setPen(pen);
        p.drawLine(QPointF(m.x() - a, m.y() - a), QPointF(m.x() + a, m.y() + a));
        p.drawLine(QPointF(m.x() - a, m.y() + a), QPointF(m.x() + a, m.y() - a));
    } else if (sym == QLatin1String("led")) {
        const double a = s * 0.34;
        const QColor lamp = lit ? QColor(0xFF, 0x20, 0x20) : QColor(0x80, 0x10, 0x10);
        if (lit) {
            p.setBrush(QColor(0xFF, 0x60, 0x60, 90));
            p.drawEllipse(m, a + 1.5, a + 1.5);
        }
        p.setBrush(lamp);
        p.drawEllipse(m, a, a);
        p.setBrush(QColor(255, 255, 255, lit ? 200 : 70));
        p.drawEllipse(QPointF(m.x() - a * 0.35, m.y() - a * 0.35), a * 0.28, a * 0.28);
    } else if (sym == QLatin1String("reloop")) {
        const double a = s * 0.3;
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(m.x() - a, m.y() - a, 2 * a, 2 * a), 60 * 16, 290 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        const QPointF tip(m.x() + a * std::cos(qDegreesToRadians(60.0)), m.y() - a * std::sin(qDegreesToRadians(60.0)));
        p.drawPolygon(QPolygonF{tip + QPointF(-lw * 2.2, -lw * 0.6), tip + QPointF(lw * 0.8, -lw * 1.9),
                                tip + QPointF(lw * 0.6, lw * 1.4)});
    } else if (sym == QLatin1String("headphones")) {
        const double a = s * 0.36;
        p.setPen(QPen(c, std::max(1.2, lw * 0.8)));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(m.x() - a, m.y() - a, 2 * a, 2 * a), 0, 180 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawRoundedRect(QRectF(m.x() - a - lw * 0.4, m.y() - a * 0.1, lw * 1.6, a * 0.95), 1, 1);
        p.drawRoundedRect(QRectF(m.x() + a - lw * 1.2, m.y() - a * 0.1, lw * 1.6, a * 0.95), 1, 1);
    } else if (sym == QLatin1String("rec")) {
        p.setBrush(lit ? QColor(0x11, 0x11, 0x11) : QColor(0xFF, 0x30, 0x30));
        p.drawEllipse(m, s * 0.22, s * 0.22);
    } else if (sym == QLatin1String("download") || sym == QLatin1String("load")) {
        const double a = s * 0.3;
        p.drawRect(QRectF(m.x() - lw / 2, m.y() - a, lw, a));
        p.drawPolygon(QPolygonF{QPointF(m.x() - a * 0.8, m.y() - a * 0.1), QPointF(m.x() + a * 0.8, m.y() - a * 0.1),
                                QPointF(m.x(), m.y() + a * 0.7)});
        p.drawRect(QRectF(m.x() - a, m.y() + a * 0.85, 2 * a, std::max(1.0, lw * 0.7)));
    } else if (sym == QLatin1String("sync")) {
        // two arrows one above the other, pointing at each other's start: the tempos meet
        const double a = s * 0.34, t = std::max(1.0, std::round(lw * 0.7));
        p.setRenderHint(QPainter::Antialiasing, false);
        for (int side : {-1, 1}) {
            const double y = std::round(m.y() + side * a * 0.55);
            const double dir = -side;  // upper arrow to the right, lower to the left
            p.drawRect(QRectF(std::round(m.x() - a * 1.2), y - std::floor(t / 2), std::round(a * 2.4), t));
            const double tip = m.x() + dir * a * 1.5;
            p.setRenderHint(QPainter::Antialiasing, true);
            p.drawPolygon(QPolygonF{QPointF(tip, y + 0.5 - std::floor(t / 2) + t / 2.0),
                                    QPointF(tip - dir * a * 0.7, y - a * 0.45),
                                    QPointF(tip - dir * a * 0.7, y + a * 0.45 + t)});
            p.setRenderHint(QPainter::Antialiasing, false);
        }
    } else if (sym == QLatin1String("minimise")) {
        p.drawRect(QRectF(m.x() - s * 0.28, m.y() + s * 0.18, s * 0.56, std::max(1.5, lw)));
    } else if (sym == QLatin1String("widen") || sym == QLatin1String("narrow")) {
        const double a = s * 0.22;
        const bool out = sym == QLatin1String("widen");
        for (int side : {-1, 1}) {
            const double x = m.x() + side * (out ? a * 1.9 : a * 0.4);
            const double dir = out ? side : -side;
            p.drawPolygon(QPolygonF{QPointF(x, m.y()), QPointF(x - dir * a * 1.3, m.y() - a),
                                    QPointF(x - dir * a * 1.3, m.y() + a)});
        }
    }
    p.restore();
}

// ---- captions
struct Fit {
    QFont font;
    int inked = 0;
    bool ok = false;
};

Fit fitCaption(ArtContext& ctx, const QString& text, int room, int height, int startSize)
{
    // the largest size that fits; failing that, the smallest size whose letters are tall
    // enough, narrowed down to three quarters of its width
    int smallest = 0;
    for (int px = startSize; px >= 9; --px) {
        Fit f;
        f.font = ctx.font(px);
        const QFontMetrics fm(f.font);
        const QRect ink = fm.tightBoundingRect(text);
        f.inked = ink.height();
        if (f.inked < formlook::kMinCaptionHeight || f.inked > height - 2) continue;
        smallest = px;
        if (ink.width() <= room) {
            f.ok = true;
            return f;
        }
    }
    if (!smallest) return Fit{};
    for (int stretch = 95; stretch >= 75; stretch -= 5) {
        Fit f;
        f.font = ctx.font(smallest);
        f.font.setStretch(stretch);
        const QFontMetrics fm(f.font);
        const QRect ink = fm.tightBoundingRect(text);
        f.inked = ink.height();
        if (ink.width() <= room && f.inked >= formlook::kMinCaptionHeight) {
            f.ok = true;
            return f;
        }
    }
    return Fit{};
}

void drawCaption(QPainter& p, const Fit& f, const QString& text, const QRectF& r, const QColor& c, bool vertical)
{
    p.save();
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setFont(f.font);
    p.setPen(c);
    const QFontMetrics fm(f.font);
    const QRect ink = fm.tightBoundingRect(text);
    if (vertical) {
        p.translate(r.center());
        p.rotate(-90);
        p.drawText(QPointF(-ink.width() / 2.0 - ink.left(), -ink.top() - ink.height() / 2.0), text);
    } else {
        const QPointF at(r.center().x() - ink.width() / 2.0 - ink.left(),
                         std::round(r.center().y() - ink.height() / 2.0 - ink.top()));
        p.drawText(at, text);
    }
    p.restore();
}

// ---- button graphics: five cells side by side
QImage drawButton(Sink& s, const FormData::Graphic& g)
{
    ArtContext& ctx = s.ctx;
    const int w = g.cell.width(), h = g.cell.height();
    QImage img = canvas(w * 5, h, kKey);
    const double radius = std::min(w, h) >= 16 ? 3 : 2;
    const bool alwaysLit = g.lit == QLatin1String("always");
    const bool symbolOnly = g.caption.isEmpty() || (g.vertical ? h : w) < formlook::kMinCaptionWidth;
    Fit fit;
    if (!symbolOnly) {
        const int along = g.vertical ? h : w, across = g.vertical ? w : h;
        const int room = along - (along < 24 ? 2 : 4);
        fit = fitCaption(ctx, g.caption, room, across, std::min(15, across - 3));
        if (!fit.ok && g.symbol.isEmpty()) {
            ctx.fail(QStringLiteral("caption \"%1\" does not fit %2 (%3 x %4)").arg(g.caption, g.name).arg(w).arg(h));
            return QImage();
        }
    }
    for (int cell = 0; cell < 5; ++cell) {
        const formlook::Cell col = formlook::buttonCell(g.look, cell, alwaysLit);
        const QRectF r(cell * w, 0, w, h);
        QPainterPath shape = roundRect(r.adjusted(0, 0, 0, 0), radius);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        p.setBrush(col.edge);
        p.drawRect(r);
        p.setBrush(col.fill);
        p.drawRect(r.adjusted(1, 1, -1, -1));
        const bool pressed = cell == 1 || cell == 3 || (alwaysLit && cell != 2);
        if (!pressed && cell != 2) {
            // raised: a highlight line on top, a shade to the bottom
            p.setBrush(col.fill.lighter(135));
            p.drawRect(QRectF(r.left() + 1, 1, w - 2, 1));
            QLinearGradient shade(0, 1, 0, h - 1);
            shade.setColorAt(0, QColor(255, 255, 255, 10));
            shade.setColorAt(1, QColor(0, 0, 0, 26));
            p.setBrush(shade);
            p.drawRect(r.adjusted(1, 2, -1, -1));
        } else if (cell == 1 || (alwaysLit && cell != 2 && cell != 3)) {
            // lit: a soft glow inside the cell
            p.setBrush(Qt::NoBrush);
            for (int i = 0; i < 2 && w > 8 && h > 8; ++i) {
                p.setPen(QColor(255, 255, 255, 60 - 25 * i));
                p.drawRect(r.adjusted(1 + i, 1 + i, -2 - i, -2 - i));
            }
            p.setPen(Qt::NoPen);
        }
        if (col.ring) {
            p.setPen(QPen(QColor(0xFF, 0xFF, 0xFF), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(r.adjusted(1, 1, -2, -2));
            p.setPen(Qt::NoPen);
        }
        const QRectF inner = r.adjusted(1, pressed ? 2 : 1, -1, pressed ? 0 : -1);
        if (fit.ok) {
            drawCaption(p, fit, g.caption, inner, col.text, g.vertical);
            s.captions += QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\n")
                              .arg(g.name)
                              .arg(cell)
                              .arg(g.caption)
                              .arg(fit.inked)
                              .arg(col.text.name(), col.fill.name())
                              .toUtf8();
        } else if (!g.symbol.isEmpty()) {
            drawSymbol(p, g.symbol, inner.adjusted(1, 1, -1, -1), col.text, cell == 1);
        }
        p.end();
        keyOutside(img, shape, r.toRect(), g.backing.value_or(kKey));
    }
    return img;
}

// ---- slider thumbs: two cells, enabled and disabled
QImage drawThumb(const FormData::Graphic& g)
{
    const int w = g.cell.width(), h = g.cell.height();
    QImage img = canvas(w * 2, h, kKey);
    for (int cell = 0; cell < 2; ++cell) {
        const QRectF r(cell * w, 0, w, h);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        const QColor cap = cell == 0 ? QColor(0x5A, 0x5A, 0x5A) : QColor(0x36, 0x36, 0x36);
        const QColor line = cell == 0 ? QColor(0xF2, 0xF2, 0xF2) : QColor(0x80, 0x80, 0x80);
        if (g.style == QLatin1String("ruler")) {
            p.setBrush(cell == 0 ? QColor(0xFF, 0xFF, 0xFF) : QColor(0x80, 0x80, 0x80));
            p.drawRect(r);
            p.end();
            continue;
        }
        p.setBrush(QColor(0x11, 0x11, 0x11));
        p.drawRect(r);
        QLinearGradient shade(r.topLeft(), g.style == QLatin1String("cross") ? r.topRight() : r.bottomLeft());
        shade.setColorAt(0, cap.lighter(130));
        shade.setColorAt(0.5, cap);
        shade.setColorAt(1, cap.darker(140));
        p.setBrush(shade);
        p.drawRect(r.adjusted(1, 1, -1, -1));
        p.setBrush(line);
        if (g.style == QLatin1String("cross")) {
            p.drawRect(QRectF(r.center().x() - 1, 2, 2, h - 4));
        } else {
            p.drawRect(QRectF(r.left() + 2, std::floor(h / 2.0) - (h >= 12 ? 1 : 0), w - 4, h >= 12 ? 2 : 1));
            if (h >= 16) {  // grip lines
                p.setBrush(cap.darker(150));
                for (int dy : {-6, -4, 4, 6}) p.drawRect(QRectF(r.left() + 3, h / 2.0 + dy, w - 6, 1));
            }
        }
        p.end();
        if (w >= 6 && h >= 6) {
            QPainterPath shape = roundRect(r, 2);
            keyOutside(img, shape, r.toRect());
        }
    }
    return img;
}

// ---- images
QImage drawImage(ArtContext& ctx, const FormData::Graphic& g)
{
    const int w = g.cell.width(), h = g.cell.height();
    QImage img = canvas(w, h, kWindow);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    if (g.style == QLatin1String("row")) {
        // the compact deck strip: a bed per deck half and the mixer gap
        p.fillRect(QRect(0, 0, w, h), kWindow);
        p.setPen(QColor(0x3A, 0x3A, 0x3A));
        p.setBrush(QColor(0x1A, 0x1A, 0x1A));
        p.drawRoundedRect(QRectF(1.5, 36.5, 514, h - 38), 3, 3);
        p.drawRoundedRect(QRectF(517.5, 36.5, w - 519, h - 38), 3, 3);
        p.setPen(QColor(0x11, 0x11, 0x11));
        p.drawLine(0, 0, w, 0);
        p.setPen(QColor(0x3A, 0x3A, 0x3A));
        p.drawLine(0, h - 1, w, h - 1);
    } else if (g.style == QLatin1String("side")) {
        p.fillRect(QRect(0, 0, w, h), QColor(0x1A, 0x1A, 0x1A));
        p.setPen(QColor(0x3A, 0x3A, 0x3A));
        p.drawLine(QPointF(w - 0.5, 0), QPointF(w - 0.5, h));
    } else if (g.style == QLatin1String("hruler") || g.style == QLatin1String("vruler")) {
        const bool hz = g.style == QLatin1String("hruler");
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x0C, 0x0C, 0x0C));
        if (hz)
            p.drawRoundedRect(QRectF(2, h / 2.0 - 2, w - 4, 4), 2, 2);
        else
            p.drawRoundedRect(QRectF(w / 2.0 - 2, 2, 4, h - 4), 2, 2);
        p.setPen(QColor(0x60, 0x60, 0x60));
        for (int i = 0; i <= 6; ++i) {
            if (hz) {
                const double x = 6 + (w - 12) * i / 6.0;
                p.drawLine(QPointF(x, 1), QPointF(x, 4));
            } else {
                const double y = 6 + (h - 12) * i / 6.0;
                p.drawLine(QPointF(1, y), QPointF(4, y));
            }
        }
    } else if (g.style == QLatin1String("hthumb") || g.style == QLatin1String("vthumb")) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(QRect(0, 0, w, h), QColor(0x11, 0x11, 0x11));
        p.fillRect(QRect(1, 1, w - 2, h - 2), QColor(0x5A, 0x5A, 0x5A));
        if (g.style == QLatin1String("hthumb"))
            p.fillRect(QRect(w / 2 - 1, 2, 2, h - 4), QColor(0xF2, 0xF2, 0xF2));
        else
            p.fillRect(QRect(2, h / 2 - 1, w - 4, 2), QColor(0xF2, 0xF2, 0xF2));
    } else {
        ctx.fail(QStringLiteral("no drawing for the image %1").arg(g.name));
    }
    return img;
}

// ---- the background
void drawTrack(QPainter& p, const FormData::Control& c, const FormData::Graphic* thumb)
{
    const QRect r = c.rect;
    const bool vert = c.direction == 1;
    const int tw = thumb ? thumb->cell.width() : 10, th = thumb ? thumb->cell.height() : 10;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QString style = thumb ? thumb->style : QString();
    if (style == QLatin1String("ruler")) {
        // a ruler: fine ticks along the length, the middle one long
        p.setPen(QColor(0x70, 0x70, 0x70));
        const int n = 16;
        for (int i = 0; i <= n; ++i) {
            const double y = r.top() + th / 2.0 + (r.height() - th) * i / double(n);
            const double len = i == n / 2 ? r.width() : (i % 4 == 0 ? r.width() * 0.7 : r.width() * 0.4);
            p.setPen(i == n / 2 ? QColor(0xE0, 0xE0, 0xE0) : QColor(0x66, 0x66, 0x66));
            p.drawLine(QPointF(r.right() + 1 - len, y), QPointF(r.right() + 1, y));
        }
        p.restore();
        return;
    }
    // the slot
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x08, 0x08, 0x08));
    if (vert)
        p.drawRoundedRect(QRectF(r.center().x() - 2, r.top() + th / 2.0 - 2, 5, r.height() - th + 4), 2, 2);
    else
        p.drawRoundedRect(QRectF(r.left() + tw / 2.0 - 2, r.center().y() - 2, r.width() - tw + 4, 5), 2, 2);
    // the scale: ticks beside the slot, the centre one marked
    const bool centreMark = style == QLatin1String("pitch") || style == QLatin1String("cross");
    const int n = style == QLatin1String("cross") ? 8 : 10;
    for (int i = 0; i <= n; ++i) {
        const bool mid = centreMark && i == n / 2;
        p.setPen(QPen(mid ? QColor(0xF0, 0xF0, 0xF0) : QColor(0x6A, 0x6A, 0x6A), mid ? 2 : 1));
        if (vert) {
            const double y = r.top() + th / 2.0 + (r.height() - th) * i / double(n);
            const double len = mid ? 7 : (i % 5 == 0 ? 5 : 3);
            p.drawLine(QPointF(r.left() - 1, y), QPointF(r.left() - 1 + len, y));
            p.drawLine(QPointF(r.right() + 2 - len, y), QPointF(r.right() + 2, y));
        } else {
            const double x = r.left() + tw / 2.0 + (r.width() - tw) * i / double(n);
            const double len = mid ? 7 : 4;
            p.drawLine(QPointF(x, r.top() - 1), QPointF(x, r.top() - 1 + len));
            p.drawLine(QPointF(x, r.bottom() + 2 - len), QPointF(x, r.bottom() + 2));
        }
    }
    p.restore();
}

QImage drawBackground(ArtContext& ctx, const FormData& form, const FormData::Graphic& g)
{
    const int W = g.cell.width(), H = g.cell.height();
    QImage img = canvas(W, H, kWindow);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const FormData::Decor& d : form.decor()) {
        if (d.kind == QLatin1String("bar")) {
            QLinearGradient bar(0, d.rect.top(), 0, d.rect.bottom());
            bar.setColorAt(0, QColor(0x30, 0x30, 0x30));
            bar.setColorAt(1, QColor(0x26, 0x26, 0x26));
            p.fillRect(d.rect, bar);
            p.fillRect(QRect(d.rect.left(), d.rect.bottom(), d.rect.width(), 1), QColor(0x11, 0x11, 0x11));
        } else if (d.kind == QLatin1String("frame")) {
            p.setPen(QColor(0x3A, 0x3A, 0x3A));
            p.setBrush(QColor(0x1C, 0x1C, 0x1C));
            p.drawRoundedRect(QRectF(d.rect).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        } else if (d.kind == QLatin1String("text")) {
            const QColor c = d.look == QLatin1String("secondary") ? QColor(0xA0, 0xA0, 0xA0) : formlook::accent(d.look);
            QFont f = ctx.font(d.size);
            p.setFont(f);
            p.setPen(c);
            p.drawText(d.rect, (d.align == QLatin1String("left") ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter,
                       d.text);
        }
    }
    // what the controls on the surface imply: slider tracks, beds under the round panels
    for (const FormData::Control& c : form.controls()) {
        if (c.parent != form.surfaceName()) continue;
        if (c.cls == QLatin1String("TVsSlider") && c.visible) {
            drawTrack(p, c, form.graphic(c.graphic));
        } else if (c.cls == QLatin1String("TPanel") && !c.round && c.color && c.visible) {
            // a frame one pixel outside the panel (no fill: a view may hide the panel)
            p.save();
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(QColor(0x3A, 0x3A, 0x3A));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRect(c.rect).adjusted(-1, -1, 0, 0));
            p.restore();
        } else if (c.cls == QLatin1String("TPanel") && c.round) {
            const QRectF r = QRectF(c.rect).adjusted(-3, -3, 3, 3);
            p.setPen(QPen(QColor(0x11, 0x11, 0x11), 2));
            p.setBrush(QColor(0x16, 0x16, 0x16));
            p.drawEllipse(r);
        }
    }
    p.end();
    // the rounded top corners of the window (at 1024 the window's right edge is not the
    // background's, so only the background's own corners are cut)
    const int rad = 6;
    for (int y = 0; y < rad; ++y)
        for (int x = 0; x < rad; ++x) {
            const double dx = rad - x - 0.5, dy = rad - y - 0.5;
            if (dx * dx + dy * dy > rad * rad) {
                img.setPixelColor(x, y, kKey);
                img.setPixelColor(W - 1 - x, y, kKey);
            }
        }
    return img;
}

// ---- the bitmap list
QImage drawKnobStrip(ArtContext& ctx, const FormData::Bitmap& b)
{
    const int sz = b.cell.width();
    QImage img = canvas(sz * b.frames, sz, kWindow);
    const QColor acc = b.look == QLatin1String("red") ? QColor(0xFF, 0x40, 0x40) : formlook::accent(b.look);
    const double start = 225, sweep = -270;  // degrees, Qt's counter-clockwise from 3 o'clock
    for (int f = 0; f < b.frames; ++f) {
        const double frac = b.frames > 1 ? f / double(b.frames - 1) : 0;
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.translate(f * sz, 0);
        const QPointF c(sz / 2.0, sz / 2.0);
        const double R = sz / 2.0 - 0.5, arcR = R - 1.5, capR = R - 4.5;
        // the arc's bed and the value's arc
        p.setPen(QPen(QColor(0x0A, 0x0A, 0x0A), 3, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(QRectF(c.x() - arcR, c.y() - arcR, 2 * arcR, 2 * arcR), int(start * 16), int(sweep * 16));
        const double from = b.arc == QLatin1String("centre") ? 0.5 : 0.0;
        const double a0 = start + sweep * from, a1 = start + sweep * frac;
        if (std::abs(a1 - a0) > 0.01) {
            p.setPen(QPen(acc, 3, Qt::SolidLine, Qt::FlatCap));
            p.drawArc(QRectF(c.x() - arcR, c.y() - arcR, 2 * arcR, 2 * arcR), int(a0 * 16), int((a1 - a0) * 16));
        }
        // the cap
        QRadialGradient cap(c - QPointF(capR * 0.3, capR * 0.4), capR * 1.4);
        cap.setColorAt(0, QColor(0x4C, 0x4C, 0x4C));
        cap.setColorAt(1, QColor(0x22, 0x22, 0x22));
        p.setPen(QPen(QColor(0x0E, 0x0E, 0x0E), 1));
        p.setBrush(cap);
        p.drawEllipse(c, capR, capR);
        // the pointer
        const double ang = qDegreesToRadians(a1);
        const QPointF dir(std::cos(ang), -std::sin(ang));
        p.setPen(QPen(QColor(0xF4, 0xF4, 0xF4), sz >= 30 ? 2.2 : 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + dir * (capR * 0.25), c + dir * (capR - 0.5));
        p.end();
        // outside the knob: the key colour
        QPainterPath shape;
        shape.addEllipse(QRectF(f * sz + 0.2, 0.2, sz - 0.4, sz - 0.4));
        keyOutside(img, shape, QRect(f * sz, 0, sz, sz));
    }
    Q_UNUSED(ctx);
    return img;
}

QImage drawSwitchGlyph(const FormData::Bitmap& b)
{
    const int w = b.cell.width(), h = b.cell.height();
    QImage img = canvas(w, h, kKey);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    const bool on = b.state == 1;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x11, 0x11, 0x11));
    p.drawRect(QRect(1, 1, w - 2, h - 2));
    p.setBrush(on ? QColor(0xFF, 0x20, 0x20) : QColor(0x30, 0x30, 0x30));
    p.drawRect(QRect(2, 2, w - 4, h - 4));
    // the knob: left when off, right when on
    const int kw = w / 2 - 2;
    p.setBrush(on ? QColor(0xF0, 0xF0, 0xF0) : QColor(0x70, 0x70, 0x70));
    p.drawRect(QRect(on ? w - 3 - kw : 3, 3, kw, h - 6));
    p.end();
    return img;
}

// ---- form pictures
QImage drawPicture(ArtContext& ctx, const QString& name, const QSize& size)
{
    const int w = size.width(), h = size.height();
    QImage img = canvas(w, h, QColor(0, 0, 0));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QString base = name.section(QLatin1Char('.'), 0, 0);
    const bool deckB = base.endsWith(QLatin1Char('2')) || base.endsWith(QLatin1Char('b')) ||
                       base == QLatin1String("ondaverde") || base == QLatin1String("rderecho");
    const QColor acc = formlook::accent(deckB ? QStringLiteral("B") : QStringLiteral("A"));
    if (base.startsWith(QLatin1String("onda"))) {
        // the wave's colour, brightest at the centre line, since the wave shows it through
        const QColor wave = base == QLatin1String("ondaazul") ? formlook::accent(QStringLiteral("loop")) : acc;
        QLinearGradient grad(0, 0, 0, h);
        grad.setColorAt(0, wave.darker(190));
        grad.setColorAt(0.5, wave.lighter(110));
        grad.setColorAt(1, wave.darker(190));
        p.fillRect(img.rect(), grad);
    } else if (base.startsWith(QLatin1String("bmpcue"))) {
        p.fillRect(img.rect(), Qt::black);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xFF, 0xFF, 0xFF));
        p.drawPolygon(QPolygonF{QPointF(0, 0), QPointF(w, 0), QPointF(w / 2.0, h * 0.6)});
    } else if (base.startsWith(QLatin1String("imgend"))) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xFF, 0x30, 0x30));
        p.drawPolygon(QPolygonF{QPointF(w / 2.0, 0.5), QPointF(w - 0.5, h - 0.5), QPointF(0.5, h - 0.5)});
        p.setBrush(Qt::black);
        p.drawRect(QRectF(w / 2.0 - 1, h * 0.35, 2, h * 0.32));
        p.drawRect(QRectF(w / 2.0 - 1, h * 0.75, 2, 2));
    } else if (base.startsWith(QLatin1String("imgplay")) || base.startsWith(QLatin1String("implay"))) {
        drawSymbol(p, QStringLiteral("play"), QRectF(0, 0, w, h), acc, false);
    } else if (base.startsWith(QLatin1String("vuanalogico"))) {
        const bool needles = base == QLatin1String("vuanalogicoA") || base == QLatin1String("vuanalogicob");
        const QColor face = QColor(0x0C, 0x0C, 0x0C);
        p.fillRect(img.rect(), Qt::black);
        p.setPen(QPen(acc.darker(250), 2));
        p.setBrush(face);
        p.drawEllipse(QRectF(1, 1, w - 2, h - 2));
        if (needles) {
            // the needle's scale: green, then yellow, then red toward the right
            const QPointF c(w / 2.0, h * 0.62);
            const double R = w * 0.38;
            const QColor zones[3] = {QColor(0x20, 0xC0, 0x40), QColor(0xF0, 0xD0, 0x20), QColor(0xFF, 0x30, 0x30)};
            const double edges[4] = {150, 75, 55, 30};
            for (int z = 0; z < 3; ++z) {
                p.setPen(QPen(zones[z], 3, Qt::SolidLine, Qt::FlatCap));
                p.drawArc(QRectF(c.x() - R, c.y() - R, 2 * R, 2 * R), int(edges[z + 1] * 16),
                          int((edges[z] - edges[z + 1]) * 16));
            }
            p.setPen(QPen(QColor(0xA0, 0xA0, 0xA0), 1));
            for (int i = 0; i <= 10; ++i) {
                const double a = qDegreesToRadians(150.0 - 12.0 * i);
                const QPointF d(std::cos(a), -std::sin(a));
                p.drawLine(c + d * (R + 3), c + d * (R + (i % 5 == 0 ? 7 : 5)));
            }
        } else {
            QFont f = ctx.font(22);
            p.setFont(f);
            p.setPen(acc.darker(160));
            p.drawText(img.rect(), Qt::AlignCenter, deckB ? QStringLiteral("B") : QStringLiteral("A"));
        }
    } else if (base == QLatin1String("abajo") || base == QLatin1String("arriba")) {
        p.fillRect(img.rect(), QColor(0x21, 0x21, 0x21));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xA0, 0xA0, 0xA0));
        if (base == QLatin1String("abajo"))
            p.drawPolygon(QPolygonF{QPointF(0, 0), QPointF(w, 0), QPointF(w / 2.0, h)});
        else
            p.drawPolygon(QPolygonF{QPointF(0, h), QPointF(w, h), QPointF(w / 2.0, 0)});
    } else if (base.startsWith(QLatin1String("sem")) || base.startsWith(QLatin1String("sgst"))) {
        const int n = base.right(1).toInt();
        const QColor dots[4] = {QColor(), QColor(0x20, 0xC0, 0x40), QColor(0xF0, 0xD0, 0x20), QColor(0xFF, 0x30, 0x30)};
        p.fillRect(img.rect(), Qt::black);
        p.setPen(Qt::NoPen);
        p.setBrush(dots[std::clamp(n, 1, 3)]);
        if (base.startsWith(QLatin1String("sgst")))
            p.drawRoundedRect(QRectF(2, 2, w - 4, h - 4), 2, 2);
        else
            p.drawEllipse(QRectF(2, 2, w - 4, h - 4));
    } else if (base == QLatin1String("nofile")) {
        p.fillRect(img.rect(), Qt::black);
        drawSymbol(p, QStringLiteral("cross"), QRectF(0, 0, w, h), QColor(0xFF, 0x50, 0x50), false);
    } else if (base.startsWith(QLatin1String("bi")) || base == QLatin1String("rizquierdo") ||
               base == QLatin1String("rderecho")) {
        p.fillRect(img.rect(), QColor(0x21, 0x21, 0x21));
        p.setPen(QColor(0x60, 0x60, 0x60));
        p.drawLine(QPointF(0, 0.5), QPointF(w, 0.5));
        p.drawLine(QPointF(0.5, 0), QPointF(0.5, h));
    } else if (base == QLatin1String("drag1")) {
        p.fillRect(img.rect(), QColor(0x21, 0x21, 0x21));
        drawSymbol(p, QStringLiteral("download"), QRectF(0, 0, w, h), QColor(0xDD, 0xDD, 0xDD), false);
    } else if (base == QLatin1String("wheel")) {
        // the platter: a dark disc, a ring of fine marks and one bright mark, so rotation shows
        p.fillRect(img.rect(), Qt::black);
        const QPointF c(w / 2.0, h / 2.0);
        const double R = w / 2.0 - 1;
        QRadialGradient disc(c, R);
        disc.setColorAt(0, QColor(0x2A, 0x2A, 0x2A));
        disc.setColorAt(0.85, QColor(0x1C, 0x1C, 0x1C));
        disc.setColorAt(1, QColor(0x10, 0x10, 0x10));
        p.setPen(QPen(QColor(0x44, 0x44, 0x44), 1.5));
        p.setBrush(disc);
        p.drawEllipse(c, R, R);
        for (int i = 0; i < 72; ++i) {
            const double a = qDegreesToRadians(i * 5.0);
            const QPointF d(std::cos(a), std::sin(a));
            p.setPen(QPen(QColor(0x5A, 0x5A, 0x5A), i % 6 == 0 ? 2 : 1));
            p.drawLine(c + d * (R - (i % 6 == 0 ? 12 : 8)), c + d * (R - 3));
        }
        p.setPen(QPen(QColor(0xFF, 0xFF, 0xFF), 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + QPointF(0, -(R - 4)), c + QPointF(0, -(R - 22)));
        // grooves
        p.setBrush(Qt::NoBrush);
        for (double gr = R * 0.55; gr < R - 14; gr += 4) {
            p.setPen(QPen(QColor(0x24, 0x24, 0x24), 1));
            p.drawEllipse(c, gr, gr);
        }
    } else {
        ctx.fail(QStringLiteral("no drawing for the picture %1").arg(name));
    }
    p.end();
    return img;
}

void drawSkin(ArtContext& ctx)
{
    if (ctx.inputs().isEmpty()) {
        ctx.fail(QStringLiteral("the form data file is not named"));
        return;
    }
    const QString formFile = ctx.inputs().first();
    try {
        FormData form(formFile);
        Sink sink{ctx, QByteArray("graphic\tcell\tcaption\tinked\ttext\tfill\n")};

        // the pack, in name order; every graphic a Graphic section names
        TVsGraphics pack;
        for (const FormData::Graphic& g : form.graphics()) {
            QImage img;
            if (g.kind == QLatin1String("button"))
                img = drawButton(sink, g);
            else if (g.kind == QLatin1String("thumb"))
                img = drawThumb(g);
            else if (g.kind == QLatin1String("image"))
                img = drawImage(ctx, g);
            else if (g.kind == QLatin1String("background"))
                img = drawBackground(ctx, form, g);
            if (ctx.failed()) return;
            if (img.isNull() || img.size() != g.size()) {
                ctx.fail(QStringLiteral("the graphic %1 came out %2 x %3").arg(g.name).arg(img.width()).arg(img.height()));
                return;
            }
            TVsGraphic entry;
            entry.SetName(g.name);
            entry.SetBitmap(img.convertToFormat(QImage::Format_RGB32));
            pack.Add(&entry);
        }
        QBuffer packBytes;
        packBytes.open(QIODevice::WriteOnly);
        pack.SaveToStream(packBytes);
        ctx.saveFile(QStringLiteral("tform1.vsf"), packBytes.data());

        // the bitmap list
        QList<QImage> pictures;
        for (const FormData::Bitmap& b : form.bitmaps()) {
            if (b.kind == QLatin1String("knob"))
                pictures << drawKnobStrip(ctx, b);
            else if (b.kind == QLatin1String("switch"))
                pictures << drawSwitchGlyph(b);
            else
                pictures << canvas(b.cell.width(), b.cell.height(), kWindow);
        }
        QList<const QImage*> refs;
        for (const QImage& i : pictures) refs << &i;
        QBuffer listBytes;
        listBytes.open(QIODevice::WriteOnly);
        WriteBitmapListStream(listBytes, refs);
        ctx.saveFile(QStringLiteral("VrBitmapList1.vrb"), listBytes.data());

        // the form's pictures, at the size of the control that shows them
        QMap<QString, QSize> wanted;
        for (const FormData::Control& c : form.controls())
            if (!c.picture.isEmpty() && !wanted.contains(c.picture)) wanted.insert(c.picture, c.rect.size());
        for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
            const QImage img = drawPicture(ctx, it.key(), it.value());
            if (ctx.failed()) return;
            ctx.saveBmp(QStringLiteral("form/") + it.key(), img);
        }

        QFile src(formFile);
        if (!src.open(QIODevice::ReadOnly)) {
            ctx.fail(QStringLiteral("cannot read %1").arg(formFile));
            return;
        }
        ctx.saveFile(QStringLiteral("tform1.skn"), src.readAll());
        ctx.saveFile(QStringLiteral("captions.tsv"), sink.captions);
    } catch (const SkinError& e) {
        ctx.fail(e.message());
    } catch (const std::exception& e) {
        ctx.fail(QString::fromStdString(e.what()));
    }
}

}  // namespace

ART_MODULE("skin", skin_form, drawSkin);
