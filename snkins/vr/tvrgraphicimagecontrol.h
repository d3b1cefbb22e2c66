// An instrument control that draws its whole picture into an off-screen image and then copies
// that image to the screen in one step.
//
// A Transparent control leaves its back buffer see-through where it draws nothing and does not
// declare itself opaque, so Qt composes the parent's picture beneath it; controls never read
// the screen. Colour-keyed copies go into the back buffer as see-through pixels.
#pragma once

#include <QImage>
#include <QPainter>

#include "snkins/vr/tvrgraphiccontrol.h"

class TVrGraphicImageControl : public TVrGraphicControl {
    Q_OBJECT
public:
    explicit TVrGraphicImageControl(QWidget* parent = nullptr);

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);

    // One paint cycle: the control's picture into the back buffer, then the buffer into dest at
    // (0, 0). The widget's own paint event does the same onto the screen.
    void PaintTo(QPainter& dest);
    // One paint cycle into a new image of the control's size (see-through where a transparent
    // control draws nothing).
    QImage RenderImage();
    // The back buffer as the last paint left it.
    const QImage& BitmapImage() const { return FBitmapImage; }

protected:
    // Each control's Paint starts with ClearBitmapCanvas, draws on GetBitmapCanvas and ends with
    // this base Paint, which copies the back buffer to the destination.
    virtual void Paint();
    // A solid brush in Color; fills the back buffer with Color, or with nothing when transparent.
    virtual void ClearBitmapCanvas();
    QPainter& GetBitmapCanvas() { return FCanvas; }

    void paintEvent(QPaintEvent* event) override;

private:
    QImage FBitmapImage;
    QPainter FCanvas;
    QPainter* DestCanvas = nullptr;
    bool FTransparent = false;
};
