#include "snkins/quor/tquordial.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

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
    dst.fill(0xFF000000);
    {
        QPainter p(&dst);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.setRenderHint(QPainter::Antialiasing);
        p.setTransform(T);
        p.drawImage(0, 0, src);
    }
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
