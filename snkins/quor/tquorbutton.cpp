#include "snkins/quor/tquorbutton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointingDevice>

#include "snkins/quor/kitpicture.h"

TquorButton::TquorButton(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    FGraphico = kitPicture("jvbutton");
    const QColor fontColour = palette().color(QPalette::WindowText);
    fcolnormal = fcoldown = fcolover = fontColour;
    fitToPicture();
}

void TquorButton::SetBounds(int left, int top, int w, int h)
{
    if (!FGraphic->isNull()) {
        w = frameWidth();
        h = FGraphic->height();
    }
    FMask = QImage(qMax(w, 1), qMax(h, 1), QImage::Format_RGB32);
    setGeometry(left, top, w, h);
}

void TquorButton::fitToPicture() { SetBounds(x(), y(), width(), height()); }

void TquorButton::Setnumber(int value)
{
    Findex = value;
    if (value == 1) FGraphic = &FGraphico;
    if (value == 2) FGraphic = &FGraphico2;
    if (value == 3) FGraphic = &FGraphico3;
    if (!FGraphic->isNull() && frameWidth() != width())
        fitToPicture();
    else
        update();
}

void TquorButton::SetDown(bool value)
{
    if (value == FDown) return;
    FDown = value;
    update();
}

void TquorButton::SetMaskColor(const QColor& value)
{
    if (value == FMaskColor) return;
    FMaskColor = value;
    update();
}

void TquorButton::setcaption(const QString& text)
{
    fcaption = text;
    update();
}

void TquorButton::setcaption_colorup(const QColor& c)
{
    fcolnormal = c;
    update();
}

void TquorButton::setcaption_colordown(const QColor& c)
{
    fcoldown = c;
    update();
}

void TquorButton::setcaption_colorover(const QColor& c)
{
    fcolover = c;
    update();
}

bool TquorButton::CheckClick(int x, int y) const
{
    return x > 0 && x < frameWidth() && y > 0 && y < height();
}

int TquorButton::GlyphIndex() const
{
    if (!isEnabled()) return FDown ? 3 : 2;
    const bool pressed = Style == bsButton ? FBtnDown : (FBtnDown || FDown);
    if (pressed) return 1;
    if (FHasMouse) return 4;
    return 0;
}

void TquorButton::paintEvent(QPaintEvent*)
{
    // a strip narrower than five pixels has no frame to show
    if (FGraphic->isNull() || frameWidth() <= 0 || width() <= 0 || height() <= 0) return;
    if (frameWidth() != width()) {
        fitToPicture();
        return;
    }
    const int index = GlyphIndex();
    QPainter p(this);
    const QRect source(index * width() + FClipRect.left(), FClipRect.top(), width(), height());
    p.drawImage(rect(), *FGraphic, source);
    if (!fcaption.isEmpty()) {
        QColor colour = palette().color(QPalette::WindowText);
        if (index == 0) colour = fcolnormal;
        if (index == 1) colour = fcoldown;
        if (index == 4) colour = fcolover;
        p.setFont(font());
        p.setPen(colour);
        const QFontMetrics fm(font());
        const int tw = fm.horizontalAdvance(fcaption), th = fm.height();
        p.drawText(QRect(width() / 2 - tw / 2, (height() - th) / 2, tw, th), Qt::AlignLeft | Qt::AlignTop,
                   fcaption);
    }
}

void TquorButton::setHasMouse(bool v)
{
    if (FHasMouse == v) return;
    FHasMouse = v;
    update();
}

void TquorButton::enterEvent(QEnterEvent* e)
{
    setHasMouse(!FBtnDown && !ltouch);
    emit mouseEnter();
    QWidget::enterEvent(e);
}

void TquorButton::leaveEvent(QEvent* e)
{
    setHasMouse(false);
    emit mouseLeave();
    QWidget::leaveEvent(e);
}

void TquorButton::mouseMoveEvent(QMouseEvent* e)
{
    const bool inside = rect().contains(e->position().toPoint());
    if (FBtnDown) {
        // no leave arrives while the button is held: leaving the rectangle is the leave
        if (!inside) setHasMouse(false);
        return;
    }
    // a move without a held press stands for the enter and leave notices
    if (inside && !FHasMouse) setHasMouse(!ltouch);
    if (!inside) setHasMouse(false);
}

void TquorButton::mousePressEvent(QMouseEvent* e)
{
    const QPoint at = e->position().toPoint();
    emit mouseDown(e->button(), e->modifiers(), at.x(), at.y());
    const Qt::MouseButtons others = e->buttons() & ~Qt::MouseButtons(Qt::LeftButton);
    const bool plainLeft = e->button() == Qt::LeftButton && others == Qt::NoButton &&
                           !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (!plainLeft || !isEnabled() || !CheckClick(at.x(), at.y())) return;
    ltouch = e->pointingDevice() && e->pointingDevice()->type() == QInputDevice::DeviceType::TouchScreen;
    FBtnDown = true;
    FDown = !FDown;
    update();
}

void TquorButton::mouseDoubleClickEvent(QMouseEvent* e)
{
    // the second press of a double click is reported but not taken as a press
    const QPoint at = e->position().toPoint();
    emit mouseDown(e->button(), e->modifiers(), at.x(), at.y());
}

void TquorButton::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint at = e->position().toPoint();
    emit mouseUp(e->button(), e->modifiers(), at.x(), at.y());
    if (FBtnDown && e->button() != Qt::LeftButton) return;  // the held left press goes on
    if (FBtnDown && !rect().contains(at)) FHasMouse = false;
    const bool completed = FHasMouse && FBtnDown;
    if (FBtnDown) {
        if (Style == bsSwitch && !completed) FDown = !FDown;
        FBtnDown = false;
        update();
    }
    if (completed) emit clicked();
}

void TquorButton::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange) update();
    QWidget::changeEvent(e);
}
