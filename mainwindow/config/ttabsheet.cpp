#include "mainwindow/config/ttabsheet.h"

#include <QPainter>

TTabsheet::TTabsheet(QWidget* parent) : QWidget(parent) {}

void TTabsheet::SetColor(const QColor& value) {
    if (value == FColor) return;
    FColor = value;
    setAttribute(Qt::WA_OpaquePaintEvent, FColor.isValid());
    update();
}

void TTabsheet::paintEvent(QPaintEvent* e) {
    if (!FColor.isValid()) {
        QWidget::paintEvent(e);
        return;
    }
    QPainter p(this);
    p.fillRect(rect(), FColor);
}
