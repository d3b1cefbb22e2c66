#include "engine/visual/widgets/picturewidget.h"

#include <QPainter>

PictureWidget::PictureWidget(QWidget* parent) : QWidget(parent)
{
    // every pixel is ours: Qt need not erase the background first
    setAttribute(Qt::WA_OpaquePaintEvent);
    image_ = QImage(1, 1, QImage::Format_RGB32);
    image_.fill(Qt::black);
}

QImage& PictureWidget::picture()
{
    if (image_.size() != size() && width() > 0 && height() > 0) {
        QImage grown(size(), QImage::Format_RGB32);
        grown.fill(Qt::black);
        QPainter(&grown).drawImage(0, 0, image_);
        image_ = grown;
    }
    return image_;
}

void PictureWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    picture();
}

void PictureWidget::paintEvent(QPaintEvent*)
{
    picture();
    beforePaint();
    QPainter(this).drawImage(0, 0, image_);
}
