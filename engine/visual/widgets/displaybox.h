// A paint box of the deck displays: a widget that shows a picture the visual step draws into.
// Its paint event first runs the step's paint handler (OnPaint), then shows the picture.
#pragma once

#include "engine/dib/dibcanvas.h"
#include "engine/visual/paintbox.h"
#include "engine/visual/widgets/picturewidget.h"

class DisplayBox : public PictureWidget, public PaintBox {
    Q_OBJECT
public:
    explicit DisplayBox(QWidget* parent = nullptr) : PictureWidget(parent) {}

    int Width() const override { return width(); }
    int Height() const override { return height(); }
    DibCanvas& Canvas() override;
    void Changed() override { update(); }

protected:
    void beforePaint() override
    {
        if (OnPaint) OnPaint();
    }

private:
    DibCanvas canvas_{nullptr, 0, 0, 0};
};
