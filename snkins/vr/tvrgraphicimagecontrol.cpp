#include "snkins/vr/tvrgraphicimagecontrol.h"

#include "snkins/vr/vrfunctions.h"

TVrGraphicImageControl::TVrGraphicImageControl(QWidget* parent) : TVrGraphicControl(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, true);
}

void TVrGraphicImageControl::SetTransparent(bool Value)
{
    if (FTransparent == Value) return;
    FTransparent = Value;
    setAttribute(Qt::WA_OpaquePaintEvent, !Value);
    UpdateControlCanvas();
}

void TVrGraphicImageControl::ClearBitmapCanvas()
{
    const QColor color = VrColor(Color());
    FCanvas.setBrush(color);
    if (FTransparent) {
        FCanvas.setCompositionMode(QPainter::CompositionMode_Source);
        FCanvas.fillRect(FBitmapImage.rect(), Qt::transparent);
        FCanvas.setCompositionMode(QPainter::CompositionMode_SourceOver);
    } else {
        FCanvas.fillRect(FBitmapImage.rect(), color);
    }
}

void TVrGraphicImageControl::Paint()
{
    FCanvas.end();
    if (DestCanvas) DestCanvas->drawImage(0, 0, FBitmapImage);
}

void TVrGraphicImageControl::PaintTo(QPainter& dest)
{
    const QImage::Format format = FTransparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (FBitmapImage.size() != size() || FBitmapImage.format() != format) FBitmapImage = QImage(size(), format);
    if (FBitmapImage.isNull()) return;
    DestCanvas = &dest;
    FCanvas.begin(&FBitmapImage);
    Paint();
    if (FCanvas.isActive()) FCanvas.end();  // a Paint that did not end in the base one
    DestCanvas = nullptr;
}

QImage TVrGraphicImageControl::RenderImage()
{
    QImage out(size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    if (out.isNull()) return out;
    QPainter p(&out);
    PaintTo(p);
    return out;
}

void TVrGraphicImageControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    PaintTo(p);
}
