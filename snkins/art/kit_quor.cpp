// The pictures of the maker's own controls and the splash, in the "kit" set:
//   jvbutton        250 x 50   owner-drawn button: five 50 x 50 cells (rest, pressed, disabled,
//                              disabled-down, hot)
//   JvSliderRULER   191 x 11   image slider ruler (stretched over the control)
//   JvSliderTHUMB   22 x 11    image slider thumb: two 11 x 11 frames (normal, pressed); the
//                              bottom-left pixel's colour (fuchsia) is see-through
//   arriba, abajo   379 x 8, 380 x 5   titled panel's top and bottom image strips
//   bcen, biz, bde  32 x 18, 4 x 18, 4 x 18   song grid title cell: middle (stretched), edges
//   bsel            32 x 18    selected row piece (loaded, not drawn by the grid)
//   sem1..sem3      10 x 10    state dots (loaded, not drawn by the grid)
//   grarriba, grabajo  8 x 10  sort arrows, up and down, on RGB(128, 128, 128) (see-through)
//   jvswitchOFF, jvswitchON  40 x 22  switch glyphs; bottom-left pixel (fuchsia) see-through
//   boff3, bon3     96 x 20    momentary switch glyphs; black is see-through
//   folder1, folder2  16 x 16  tree icons: a closed outline on white, the white outside
//                              reached from (1, 1) and the inside from (8, 8)
//   Image1, Image2  679 x 321  splash pictures; fuchsia outside the rounded outline. The light
//                              band at the bottom holds the "Loading" text (280..554, y 273),
//                              the progress bar (560, 277, 104 x 9) and the version (9, 299).
#include "snkins/art/artgen.h"
#include "snkins/art/palette.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

QImage canvas(int w, int h, const QColor& fill)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

// Sets every pixel outside `shape` to `key`, with a hard edge: an antialiased edge would leave
// pixels of a mixed colour that are neither the key nor the picture.
void keyOutside(QImage& img, const QPainterPath& shape, const QColor& key)
{
    QImage inside(img.size(), QImage::Format_RGB32);
    inside.fill(Qt::black);
    QPainter p(&inside);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillPath(shape, Qt::white);
    p.end();
    for (int y = 0; y < img.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        const QRgb* in = reinterpret_cast<const QRgb*>(inside.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (qRed(in[x]) == 0) line[x] = key.rgb();
    }
}

QPainterPath rounded(const QRectF& r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

// A raised surface with the 10 % top-to-bottom shade, a highlight line on top and a shadow
// line below.
void raisedBox(QPainter& p, const QRectF& r, qreal radius, const QColor& top, const QColor& high)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, top.darker(111));
    p.setPen(QPen(palette::shadow, 1));
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
    p.setPen(QPen(high, 1));
    p.drawLine(QPointF(r.left() + radius, r.top() + 1), QPointF(r.right() - radius, r.top() + 1));
}

// ---- owner-drawn button ----

// A pushed-in surface: darker, with the shadow along its top edge.
void pressedBox(QPainter& p, const QRectF& r, qreal radius, const QColor& fill, const QColor& edge)
{
    p.setPen(QPen(edge, 1));
    p.setBrush(fill);
    p.drawRoundedRect(r, radius, radius);
    p.setPen(QPen(palette::shadow, 2));
    p.drawLine(QPointF(r.left() + radius, r.top() + 1.5), QPointF(r.right() - radius, r.top() + 1.5));
}

// A disabled surface: flat, close to the window colour, no highlight.
void flatBox(QPainter& p, const QRectF& r, qreal radius, const QColor& fill)
{
    p.setPen(QPen(palette::raised, 1));
    p.setBrush(fill);
    p.drawRoundedRect(r, radius, radius);
}

QImage buttonStrip()
{
    const int cell = 50;
    QImage img = canvas(cell * 5, cell, palette::window);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(2.5, 2.5, cell - 5, cell - 5);
    raisedBox(p, box, 3, palette::raisedHigh, palette::highlight);                      // rest
    pressedBox(p, box.translated(cell, 1), 3, palette::raised.darker(125), palette::shadow);  // pressed
    flatBox(p, box.translated(2 * cell, 0), 3, QColor(0x26, 0x26, 0x26));                // disabled
    pressedBox(p, box.translated(3 * cell, 1), 3, QColor(0x1C, 0x1C, 0x1C), palette::raised);  // disabled, down
    raisedBox(p, box.translated(4 * cell, 0), 3, palette::raisedHigh.lighter(125), palette::highlight.lighter(150));  // hot
    return img;
}

// ---- image slider ----

QImage sliderRuler()
{
    QImage img = canvas(191, 11, palette::window);
    QPainter p(&img);
    p.fillRect(QRect(3, 4, 185, 3), palette::shadow);
    p.fillRect(QRect(3, 7, 185, 1), palette::highlight);
    for (int i = 0; i <= 10; ++i) {
        const int x = 5 + i * 18;
        p.fillRect(QRect(x, i % 5 == 0 ? 0 : 1, 1, i % 5 == 0 ? 3 : 2), palette::textSecondary);
    }
    return img;
}

QImage sliderThumb()
{
    const int s = 11;
    QImage img = canvas(2 * s, s, palette::raised);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int f = 0; f < 2; ++f) {
        const QRectF r(f * s + 0.5, 0.5, s - 1, s - 1);
        raisedBox(p, r, 2, f == 0 ? palette::raisedHigh.lighter(130) : palette::text, palette::text);
        p.setPen(QPen(f == 0 ? palette::text : palette::selection, 1));
        p.drawLine(QPointF(f * s + 5.5, 2), QPointF(f * s + 5.5, s - 2));
    }
    p.end();
    QPainterPath shape;
    shape.addRoundedRect(QRectF(0, 0, s, s), 2.5, 2.5);
    shape.addRoundedRect(QRectF(s, 0, s, s), 2.5, 2.5);
    keyOutside(img, shape, palette::fuchsia);
    return img;
}

// ---- titled panel strips ----

QImage panelStrip(int w, int h, bool top)
{
    QImage img = canvas(w, h, palette::window);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, top ? palette::raisedHigh : palette::window);
    g.setColorAt(1, top ? palette::window : palette::raised);
    p.fillRect(img.rect(), g);
    p.fillRect(QRect(0, top ? 0 : h - 1, w, 1), top ? palette::highlight : palette::shadow);
    // a row of fine marks, like the jog platters' ring
    for (int x = 6; x < w - 6; x += 6) p.fillRect(QRect(x, top ? h - 3 : 1, 1, 1), palette::border);
    return img;
}

// ---- song grid title ----

const QColor kTitleTop{0xB4, 0xB4, 0xB4};
const QColor kTitleBottom{0x8C, 0x8C, 0x8C};

QImage titlePiece(int w, int edge)  // edge: 0 middle, -1 left, +1 right
{
    QImage img = canvas(w, 18, kTitleTop);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, 18);
    g.setColorAt(0, kTitleTop);
    g.setColorAt(1, kTitleBottom);
    p.fillRect(img.rect(), g);
    p.fillRect(QRect(0, 0, w, 1), QColor(0xD8, 0xD8, 0xD8));
    p.fillRect(QRect(0, 17, w, 1), QColor(0x5A, 0x5A, 0x5A));
    if (edge < 0) p.fillRect(QRect(0, 0, 1, 18), QColor(0xD8, 0xD8, 0xD8));
    if (edge > 0) {
        p.fillRect(QRect(w - 2, 1, 1, 16), QColor(0x5A, 0x5A, 0x5A));
        p.fillRect(QRect(w - 1, 1, 1, 16), QColor(0xC8, 0xC8, 0xC8));
    }
    return img;
}

QImage selectionPiece()
{
    QImage img = canvas(32, 18, palette::selection);
    QPainter p(&img);
    p.fillRect(QRect(0, 0, 32, 1), palette::selection.lighter(140));
    return img;
}

QImage stateDot(const QColor& c)
{
    QImage img = canvas(10, 10, palette::rowEven);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QRectF(1, 1, 8, 8));
    return img;
}

// The grid draws the arrows with RGB(128, 128, 128) left out; no antialiasing, so that no
// arrow pixel comes out in that exact grey.
QImage sortArrow(bool up)
{
    QImage img = canvas(8, 10, QColor(128, 128, 128));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPolygon tri;
    if (up)
        tri << QPoint(3, 1) << QPoint(4, 1) << QPoint(7, 7) << QPoint(0, 7);
    else
        tri << QPoint(0, 2) << QPoint(7, 2) << QPoint(4, 8) << QPoint(3, 8);
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1));
    p.setBrush(QColor(0xF0, 0xF0, 0xF0));
    p.drawPolygon(tri);
    return img;
}

// ---- switches ----

QImage toggleGlyph(bool on)
{
    QImage img = canvas(40, 22, palette::window);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track(0.5, 0.5, 39, 21);
    p.setPen(QPen(palette::shadow, 1));
    p.setBrush(on ? palette::selection : palette::raised.darker(130));
    p.drawRoundedRect(track, 10.5, 10.5);
    const QRectF knob(on ? 20 : 3, 3, 16, 16);
    QLinearGradient g(knob.topLeft(), knob.bottomLeft());
    g.setColorAt(0, on ? palette::text : palette::highlight.lighter(130));
    g.setColorAt(1, on ? palette::textSecondary : palette::raisedHigh);
    p.setPen(QPen(palette::shadow, 1));
    p.setBrush(g);
    p.drawEllipse(knob);
    p.end();
    keyOutside(img, rounded(QRectF(0, 0, 40, 22), 11), palette::fuchsia);
    return img;
}

// Black is the see-through colour of these two: nothing inside the outline is pure black.
QImage momentaryGlyph(bool on)
{
    QImage img = canvas(96, 20, palette::raised);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    if (on)
        raisedBox(p, QRectF(0.5, 1.5, 95, 18), 3, palette::selection, palette::selection.lighter(150));
    else
        raisedBox(p, QRectF(0.5, 0.5, 95, 18), 3, palette::raisedHigh, palette::highlight);
    p.end();
    // lift any pixel the shadow line left pure black
    for (int y = 0; y < img.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] & 0xFFFFFF) == 0) line[x] = qRgb(1, 1, 1);
    }
    keyOutside(img, rounded(on ? QRectF(0, 1, 96, 19) : QRectF(0, 0, 96, 19), 3.5), Qt::black);
    return img;
}

// ---- tree folders ----

QImage folderIcon(bool open)
{
    QImage img = canvas(16, 16, Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(0xB0, 0xB0, 0xB0), 1));
    p.setBrush(Qt::NoBrush);
    // one closed outline and no line across it: the white is just outside and inside
    QPolygon outline;
    if (open)
        outline << QPoint(2, 3) << QPoint(6, 3) << QPoint(7, 4) << QPoint(12, 4) << QPoint(12, 7)
                << QPoint(15, 7) << QPoint(12, 13) << QPoint(2, 13);
    else
        outline << QPoint(2, 3) << QPoint(6, 3) << QPoint(7, 4) << QPoint(13, 4) << QPoint(13, 13)
                << QPoint(2, 13);
    p.drawPolygon(outline);
    if (open)
        p.drawLine(QPoint(2, 7), QPoint(10, 7));  // the flap's edge, open at its right end
    else
        p.drawLine(QPoint(3, 6), QPoint(9, 6));   // the tab's fold, open at its right end
    return img;
}

// ---- splash ----

void platter(QPainter& p, const QPointF& c, qreal r, const QColor& accent, qreal markAngle)
{
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    p.drawEllipse(c, r, r);
    QRadialGradient g(c, r - 4);
    g.setColorAt(0, palette::raisedHigh);
    g.setColorAt(1, palette::shadow);
    p.setBrush(g);
    p.drawEllipse(c, r - 4, r - 4);
    p.setPen(QPen(palette::highlight, 1));
    for (int i = 0; i < 72; ++i) {
        const qreal a = qDegreesToRadians(i * 5.0);
        p.drawLine(c + QPointF(qCos(a), qSin(a)) * (r - 12), c + QPointF(qCos(a), qSin(a)) * (r - 7));
    }
    const qreal a = qDegreesToRadians(markAngle);
    p.setPen(QPen(palette::text, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(qCos(a), qSin(a)) * (r - 30), c + QPointF(qCos(a), qSin(a)) * (r - 8));
    p.setPen(QPen(palette::shadow, 1));
    p.setBrush(palette::raised);
    p.drawEllipse(c, 12, 12);
}

QImage splash(ArtContext& ctx, const QString& line)
{
    const int w = 679, h = 321;
    QImage img = canvas(w, h, palette::window);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient bg(0, 0, 0, h);
    bg.setColorAt(0, QColor(0x2A, 0x2A, 0x2A));
    bg.setColorAt(1, QColor(0x15, 0x15, 0x15));
    p.fillRect(img.rect(), bg);

    platter(p, QPointF(118, 128), 92, palette::deckA, -60);
    platter(p, QPointF(w - 118, 128), 92, palette::deckB, 240);

    p.setPen(palette::text);
    p.setFont(ctx.font(40));
    p.drawText(QRect(200, 70, w - 400, 50), Qt::AlignCenter, QStringLiteral("OSTREL"));
    p.setFont(ctx.font(28));
    p.drawText(QRect(200, 118, w - 400, 36), Qt::AlignCenter, QStringLiteral("KORVANTA"));
    p.setPen(palette::textSecondary);
    p.setFont(ctx.font(14));
    p.drawText(QRect(200, 160, w - 400, 22), Qt::AlignCenter, line);
    p.setPen(QPen(palette::border, 1));
    p.drawLine(QPointF(236, 190.5), QPointF(w - 236, 190.5));

    // the light band that carries the black start-up texts and the progress bar
    const QRectF band(0, 262, w, h - 262);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xC8, 0xC8, 0xC8));
    p.drawRect(band);
    p.setBrush(QColor(0xE4, 0xE4, 0xE4));
    p.drawRect(QRectF(0, 262, w, 1));
    p.setBrush(QColor(0x80, 0x80, 0x80));
    p.drawRect(QRectF(558, 275, 108, 13));  // the frame round the progress bar
    p.end();

    QImage framed = img;
    QPainter f(&framed);
    f.setRenderHint(QPainter::Antialiasing);
    f.setPen(QPen(palette::border, 2));
    f.setBrush(Qt::NoBrush);
    f.drawRoundedRect(QRectF(1, 1, w - 2, h - 2), 18, 18);
    f.end();
    keyOutside(framed, rounded(QRectF(0, 0, w, h), 19), palette::fuchsia);
    return framed;
}

void drawKitQuor(ArtContext& ctx)
{
    ctx.saveBmp(QStringLiteral("jvbutton"), buttonStrip());
    ctx.saveBmp(QStringLiteral("JvSliderRULER"), sliderRuler());
    ctx.saveBmp(QStringLiteral("JvSliderTHUMB"), sliderThumb());
    ctx.saveBmp(QStringLiteral("arriba"), panelStrip(379, 8, true));
    ctx.saveBmp(QStringLiteral("abajo"), panelStrip(380, 5, false));
    ctx.saveBmp(QStringLiteral("bcen"), titlePiece(32, 0));
    ctx.saveBmp(QStringLiteral("biz"), titlePiece(4, -1));
    ctx.saveBmp(QStringLiteral("bde"), titlePiece(4, 1));
    ctx.saveBmp(QStringLiteral("bsel"), selectionPiece());
    ctx.saveBmp(QStringLiteral("sem1"), stateDot(palette::meterGreen));
    ctx.saveBmp(QStringLiteral("sem2"), stateDot(palette::meterYellow));
    ctx.saveBmp(QStringLiteral("sem3"), stateDot(palette::meterRed));
    ctx.saveBmp(QStringLiteral("grarriba"), sortArrow(true));
    ctx.saveBmp(QStringLiteral("grabajo"), sortArrow(false));
    ctx.saveBmp(QStringLiteral("jvswitchOFF"), toggleGlyph(false));
    ctx.saveBmp(QStringLiteral("jvswitchON"), toggleGlyph(true));
    ctx.saveBmp(QStringLiteral("boff3"), momentaryGlyph(false));
    ctx.saveBmp(QStringLiteral("bon3"), momentaryGlyph(true));
    ctx.saveBmp(QStringLiteral("folder1"), folderIcon(false));
    ctx.saveBmp(QStringLiteral("folder2"), folderIcon(true));
    ctx.saveBmp(QStringLiteral("Image1"), splash(ctx, QStringLiteral("TWO-DECK DJ MIXING")));
    ctx.saveBmp(QStringLiteral("Image2"), splash(ctx, QStringLiteral("LOADING SKIN")));
}

}  // namespace

ART_MODULE("kit", kit_quor, drawKitQuor);
