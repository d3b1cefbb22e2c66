#include "library/panels/busybar.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>

BusyBar::BusyBar(QWidget* parent) : QWidget(parent)
{
    timer_.setInterval(30);
    connect(&timer_, &QTimer::timeout, this, &BusyBar::step);
}

void BusyBar::setActive(bool active)
{
    active_ = active;
    follow();
}

void BusyBar::follow()
{
    if (active_ && isVisible() && isEnabled()) {
        if (!timer_.isActive()) timer_.start();
    } else {
        timer_.stop();
    }
}

void BusyBar::showEvent(QShowEvent*) { follow(); }

void BusyBar::hideEvent(QHideEvent*) { follow(); }

void BusyBar::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) follow();
}

void BusyBar::step()
{
    if (!isEnabled()) return;
    position_ += 4;
    if (position_ > width()) position_ = -gradientWidth;
    update();
}

void BusyBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), colour);
    if (!active_) return;
    // the band rises to the end colour and falls back, so it has no hard edge
    QLinearGradient g(position_, 0, position_ + gradientWidth, 0);
    g.setColorAt(0, startColour);
    g.setColorAt(0.5, endColour);
    g.setColorAt(1, startColour);
    p.fillRect(QRect(position_, 0, gradientWidth, height()), g);
}
