#include "snkins/quor/tquordial.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <cmath>

namespace {
// dst := src drawn through `t` with bilinear sampling, blended over opaque black. Our own loop
// rather than QPainter's: the main loop turns the platter on every pass, and QPainter spreads
// smooth transforms over a thread pool.
void rotateOverBlack(const QImage& src, QImage& dst, const QTransform& t)
{
    bool invertible = false;
    const QTransform inv = t.inverted(&invertible);
    dst.fill(0xFF000000);
    if (!invertible) return;
    const QImage s = src.format() == QImage::Format_ARGB32_Premultiplied
                         ? src
                         : src.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int sw = s.width(), sh = s.height();
    auto texel = [&](int x, int y) -> QRgb {
        if (x < 0 || y < 0 || x >= sw || y >= sh) return 0;
        return reinterpret_cast<const QRgb*>(s.constScanLine(y))[x];
    };
    for (int y = 0; y < dst.height(); ++y) {
        QRgb* out = reinterpret_cast<QRgb*>(dst.scanLine(y));
        for (int x = 0; x < dst.width(); ++x) {
            // the source point under this pixel's centre, relative to texel centres
            const QPointF at = inv.map(QPointF(x + 0.5, y + 0.5)) - QPointF(0.5, 0.5);
            const int x0 = int(std::floor(at.x())), y0 = int(std::floor(at.y()));
            const double fx = at.x() - x0, fy = at.y() - y0;
            const QRgb p00 = texel(x0, y0), p10 = texel(x0 + 1, y0), p01 = texel(x0, y0 + 1),
                       p11 = texel(x0 + 1, y0 + 1);
            auto mix = [&](int shift) {
                auto c = [shift](QRgb p) { return double((p >> shift) & 0xFF); };
                const double top = c(p00) * (1 - fx) + c(p10) * fx;
                const double bottom = c(p01) * (1 - fx) + c(p11) * fx;
                return int(std::lround(top * (1 - fy) + bottom * fy));
            };
            // premultiplied colour over black is the colour itself
            out[x] = qRgba(mix(16), mix(8), mix(0), 255);
        }
    }
}
}  // namespace

TQuorDial::TQuorDial(QWidget* parent) : QWidget(parent)
{
    resize(64, 64);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TQuorDial::setfstep(int valor)
{
    if (valor == fstep) return;
    fstep = valor <= 0 ? 1 : valor;
}

void TQuorDial::turnTo(int valor, double sign)
{
    FCount = valor;
    if (!imgred.isNull()) {
        angle = valor / fstep;  // integer division, as the count goes in whole degrees
        ScaleRot(imgred, bitmap, sign * angle);
    }
    newangle = angle - 180;
}

void TQuorDial::setfcount(int valor)
{
    if (valor == FCount) {
        controller = false;
        return;
    }
    turnTo(valor, -1);
}

void TQuorDial::setautocount(int valor) { turnTo(valor, +1); }

void TQuorDial::setcontroler(bool enabled)
{
    controller = enabled;
    oldangle = newangle;
}

void TQuorDial::setfimage(const QImage& imagen1)
{
    if (imagen1.isNull()) return;
    // a transparent 1-pixel border keeps the rotated edge smooth
    imgred = QImage(imagen1.size(), QImage::Format_ARGB32_Premultiplied);
    imgred.fill(Qt::transparent);
    {
        QPainter p(&imgred);
        const QRect inner = imgred.rect().adjusted(1, 1, -1, -1);
        p.drawImage(inner, imagen1, inner);
    }
    resize(imagen1.size());
    bitmap = QImage(imagen1.size(), QImage::Format_ARGB32_Premultiplied);
    bitmap.fill(0xFF000000);
    SrcR = imagen1.width() - 2;
    SrcB = imagen1.height() - 2;
    setVisible(true);
    setMask(QRegion(rect(), QRegion::Ellipse));
    oldan = std::numeric_limits<double>::quiet_NaN();
    ScaleRot(imgred, bitmap, -angle);
}

void TQuorDial::ScaleRot(const QImage& src, QImage& dst, double alpha)
{
    if (alpha == oldan) return;
    if (src.isNull() || dst.isNull() || SrcR <= 0 || SrcB <= 0) return;
    oldan = alpha;
    T.reset();
    T.translate(SrcR / 2.0, SrcB / 2.0);
    T.rotate(-alpha);  // QTransform turns clockwise on screen for a positive angle
    T.translate(-SrcR / 2.0, -SrcB / 2.0);
    BeginUpdate();
    rotateOverBlack(src, dst, T);
    EndUpdate();
}

void TQuorDial::EndUpdate()
{
    if (--updateCount <= 0) {
        updateCount = 0;
        update();
    }
}

void TQuorDial::paintEvent(QPaintEvent*)
{
    if (bitmap.isNull() || width() <= 0 || height() <= 0) return;
    QPainter p(this);
    p.drawImage(0, 0, bitmap);
}

void TQuorDial::mousePressEvent(QMouseEvent* e)
{
    pressedInside = true;
    emit mouseDown(e->button(), e->modifiers(), e->position().toPoint().x(), e->position().toPoint().y());
}

void TQuorDial::mouseMoveEvent(QMouseEvent* e)
{
    emit mouseMove(e->modifiers(), e->position().toPoint().x(), e->position().toPoint().y());
}

void TQuorDial::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint at = e->position().toPoint();
    emit mouseUp(e->button(), e->modifiers(), at.x(), at.y());
    if (pressedInside && rect().contains(at) && inButton) emit clicked();
    pressedInside = false;
}
