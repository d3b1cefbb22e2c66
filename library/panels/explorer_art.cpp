// The pictures of the Explorer's drive and folder tree, in the "explorer" set: eight 16 x 16
// node images on white, drawn without antialiasing so that the white reached from (1, 1)
// can be keyed to the tree's colour (TQuorTreeView::prepareIcon): (1, 1) is white in each, and no
// inside is.
//   DIRCLOSE, DIROPEN   folder closed, open
//   COMPUTER            the root nodes
//   HARDDISK            a fixed volume        CDROMDISK   an optical volume
//   FLOPPYDISK          a removable volume    RAMDISK     (kept for the image list)
//   REMOTEDISK          a remote volume
// and the update form's picture, UPDATE, 160 x 200.
#include <functional>

#include <QLinearGradient>
#include <QPainter>

#include "snkins/art/artgen.h"
#include "snkins/art/palette.h"

namespace {

const QColor line{0xB0, 0xB0, 0xB0};
const QColor folderFill{0x6E, 0x7F, 0x91};
const QColor folderFlap{0x8F, 0xA3, 0xB8};
const QColor metal{0x6A, 0x6A, 0x6A};

QImage icon(const std::function<void(QPainter&)>& draw)
{
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    draw(p);
    return img;
}

void box(QPainter& p, const QRect& r, const QColor& fill, const QColor& pen = line)
{
    p.setPen(pen);
    p.setBrush(fill);
    p.drawRect(r);
}

QImage updatePicture(ArtContext& ctx);

void drawExplorerIcons(ArtContext& ctx)
{
    ctx.saveBmp(QStringLiteral("DIRCLOSE"), icon([](QPainter& p) {
        p.setPen(line);
        p.setBrush(folderFill);
        p.drawPolygon(QPolygon({QPoint(1, 3), QPoint(6, 3), QPoint(7, 4), QPoint(14, 4), QPoint(14, 13), QPoint(1, 13)}));
        p.drawLine(QPoint(2, 6), QPoint(13, 6));
    }));
    ctx.saveBmp(QStringLiteral("DIROPEN"), icon([](QPainter& p) {
        p.setPen(line);
        p.setBrush(folderFill);
        p.drawPolygon(QPolygon({QPoint(1, 3), QPoint(6, 3), QPoint(7, 4), QPoint(12, 4), QPoint(12, 13), QPoint(1, 13)}));
        p.setBrush(folderFlap);
        p.drawPolygon(QPolygon({QPoint(4, 7), QPoint(15, 7), QPoint(12, 13), QPoint(1, 13)}));
    }));
    ctx.saveBmp(QStringLiteral("COMPUTER"), icon([](QPainter& p) {
        box(p, QRect(2, 2, 11, 8), QColor(0x3A, 0x5F, 0x85));
        box(p, QRect(6, 11, 3, 1), metal);
        box(p, QRect(3, 13, 9, 1), metal);
    }));
    ctx.saveBmp(QStringLiteral("HARDDISK"), icon([](QPainter& p) {
        box(p, QRect(1, 5, 13, 6), metal);
        p.setPen(palette::loopEdge);
        p.drawLine(QPoint(11, 8), QPoint(12, 8));
        p.setPen(line);
        p.drawLine(QPoint(3, 8), QPoint(8, 8));
    }));
    ctx.saveBmp(QStringLiteral("CDROMDISK"), icon([](QPainter& p) {
        p.setPen(QColor(0x90, 0x90, 0x90));
        p.setBrush(QColor(0xC8, 0xC8, 0xD0));
        p.drawEllipse(QRect(1, 1, 13, 13));
        p.setBrush(QColor(0x9A, 0xA8, 0xC8));
        p.drawEllipse(QRect(5, 5, 5, 5));
        p.setPen(palette::window);
        p.setBrush(palette::window);
        p.drawRect(QRect(7, 7, 1, 1));
    }));
    ctx.saveBmp(QStringLiteral("FLOPPYDISK"), icon([](QPainter& p) {
        box(p, QRect(4, 1, 7, 9), QColor(0x4A, 0x6A, 0x8A));
        box(p, QRect(5, 11, 5, 3), QColor(0xC0, 0xC0, 0xC0), QColor(0x80, 0x80, 0x80));
        p.setPen(palette::window);
        p.drawPoint(6, 12);
        p.drawPoint(8, 12);
    }));
    ctx.saveBmp(QStringLiteral("RAMDISK"), icon([](QPainter& p) {
        p.setPen(line);
        for (int x = 4; x <= 11; x += 2) {
            p.drawLine(QPoint(x, 2), QPoint(x, 3));
            p.drawLine(QPoint(x, 12), QPoint(x, 13));
        }
        box(p, QRect(2, 4, 11, 7), palette::raisedHigh);
    }));
    ctx.saveBmp(QStringLiteral("REMOTEDISK"), icon([](QPainter& p) {
        box(p, QRect(1, 2, 13, 5), metal);
        p.setPen(palette::loopEdge);
        p.drawLine(QPoint(11, 4), QPoint(12, 4));
        p.setPen(line);
        p.drawLine(QPoint(7, 8), QPoint(7, 11));
        p.drawLine(QPoint(2, 12), QPoint(13, 12));
    }));
    ctx.saveBmp(QStringLiteral("UPDATE"), updatePicture(ctx));
}

QImage updatePicture(ArtContext& ctx)
{
    QImage img(160, 200, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient shade(0, 0, 0, 200);
    shade.setColorAt(0, palette::raisedHigh);
    shade.setColorAt(1, palette::raised);
    p.fillRect(img.rect(), shade);
    p.setPen(palette::border);
    p.drawRect(img.rect().adjusted(0, 0, -1, -1));
    p.setRenderHint(QPainter::Antialiasing, true);
    // a disc with an arrow down into a tray
    p.setPen(Qt::NoPen);
    p.setBrush(palette::selection);
    p.drawEllipse(QPointF(80, 78), 48, 48);
    p.setBrush(palette::text);
    p.drawPolygon(QPolygonF({QPointF(72, 50), QPointF(88, 50), QPointF(88, 80), QPointF(102, 80), QPointF(80, 104),
                             QPointF(58, 80), QPointF(72, 80)}));
    p.setPen(QPen(palette::text, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(50, 100), QPointF(50, 112), QPointF(110, 112), QPointF(110, 100)}));
    p.setPen(palette::text);
    p.setFont(ctx.font(16));
    p.drawText(QRect(0, 140, 160, 24), Qt::AlignCenter, QStringLiteral("KORVANTA"));
    p.setPen(palette::textSecondary);
    p.setFont(ctx.plainFont(11));
    p.drawText(QRect(0, 164, 160, 20), Qt::AlignCenter, QStringLiteral("UPDATE"));
    return img;
}

}  // namespace

ART_MODULE("explorer", explorer_icons, drawExplorerIcons);
