#include "snkins/vs/tvsimage.h"

#include <QWindow>

#include "snkins/vs/tvsgraphic.h"
#include "snkins/vs/tvsskin.h"

TVsImage::TVsImage(QWidget* parent) : TVsSkinGraphicControl(parent) { SetBounds(0, 0, 60, 60); }

void TVsImage::SetAutoSize(bool on)
{
    if (on == FAutoSize) return;
    FAutoSize = on;
    UpdateBounds();
}

void TVsImage::SetCenter(bool on)
{
    if (on == FCenter) return;
    FCenter = on;
    RepaintControl();
}

void TVsImage::SetStretch(bool on)
{
    if (on == FStretch) return;
    FStretch = on;
    RepaintControl();
}

void TVsImage::SetAlign(TAlign align)
{
    if (align == FAlign) return;
    FAlign = align;
    UpdateBounds();
}

void TVsImage::SetBounds(int left, int top, int width, int height)
{
    const QSize room = Skin() ? Skin()->size() : QSize(width, height);
    switch (FAlign) {
    case alTop: left = 0, top = 0, width = room.width(); break;
    case alBottom: left = 0, top = room.height() - height, width = room.width(); break;
    case alLeft: left = 0, top = 0, height = room.height(); break;
    case alRight: left = room.width() - width, top = 0, height = room.height(); break;
    case alClient: left = 0, top = 0, width = room.width(), height = room.height(); break;
    case alNone:
        if (FAutoSize && Graphic() && ClipRect()->Width() > 0 && ClipRect()->Height() > 0) {
            width = ClipRect()->Width();
            height = ClipRect()->Height();
        }
        break;
    }
    TVsSkinGraphicControl::SetBounds(left, top, width, height);
}

void TVsImage::Paint()
{
    PaintBackImage();
    if (!Graphic()) return;
    const QImage& bitmap = Graphic()->Bitmap();
    const QRect clip = ClipRect()->BoundsRect();
    if (FStretch) {
        // only the part of the clip the graphic has; nearest pixels keep the mask colour exact
        const QRect from = clip.intersected(bitmap.rect());
        if (from.isEmpty()) return;
        const QImage scaled = bitmap.copy(from).scaled(size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        DrawTransparent(FBitmap, QPoint(0, 0), scaled, scaled.rect(), MaskColor());
    } else {
        const QPoint at = FCenter ? QPoint((width() - clip.width()) / 2, (height() - clip.height()) / 2) : QPoint(0, 0);
        DrawTransparent(FBitmap, at, bitmap, clip, MaskColor());
    }
}

void TVsImage::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    TVsSkinGraphicControl::MouseDown(button, shift, x, y);
    if (button != Qt::LeftButton || !FFormDrag) return;
    if (QWindow* handle = window()->windowHandle()) handle->startSystemMove();
}
