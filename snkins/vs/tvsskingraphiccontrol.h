// The base of every skinned control: a child widget of a TVsSkin that composes itself in an
// image (FBitmap) over a cached copy of the surface's background at its place (FBackImage,
// cut from the background graphic, never read from the screen), and copies a part (ClipRect)
// of a named graphic of the surface's composer with a mask colour transparent. The control
// paints every pixel it covers, so its own change repaints it alone, never the surface.
#pragma once

#include <QCursor>
#include <QImage>
#include <QPointer>
#include <cstdint>

#include "snkins/vs/skinwidget.h"
#include "snkins/vs/tvscliprect.h"
#include "snkins/vs/tvsgraphic.h"

class TVsIni;
class TVsSkin;

class TVsSkinGraphicControl : public SkinWidget {
    Q_OBJECT
public:
    // `parent` must be a TVsSkin (or none, to place the control later with SetParent);
    // anything else throws SkinError("Control needs to be placed on a TVsSkin component.").
    explicit TVsSkinGraphicControl(QWidget* parent = nullptr);
    ~TVsSkinGraphicControl() override;

    void SetParent(QWidget* parent);
    TVsSkin* Skin() const { return FSkin; }

    // Moves and sizes the control; a subclass may impose its own size.
    virtual void SetBounds(int left, int top, int width, int height);
    void SetBoundsRect(const QRect& r) { SetBounds(r.x(), r.y(), r.width(), r.height()); }

    // The graphic the control cuts its look from, found by name through the surface.
    const QString& GraphicName() const { return FGraphicName; }
    void SetGraphicName(const QString& name);
    TVsGraphic* Graphic() const { return FGraphic; }
    TVsClipRect* ClipRect() const { return FClipRect; }
    // 0xBBGGRR, transparent when the graphic is copied; clNone (the default) copies opaque.
    uint32_t MaskColor() const { return FMaskColor; }
    void SetMaskColor(uint32_t color);

    uint32_t DesignColor() const { return FDesignColor; }
    void SetDesignColor(uint32_t color) { FDesignColor = color; }
    // With tracking on, the control's cursor shows only while the pointer is over one of
    // its opaque pixels (the button's hot state).
    bool CursorTracking() const { return FCursorTracking; }
    void SetCursorTracking(bool on);

    // While above 0 the control does not repaint itself.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    // Schedules a repaint of this control alone (none inside an update bracket).
    void RepaintControl();

    // Re-resolves the graphic by name; with ResetClip the clip rectangle becomes the whole
    // graphic. The surface's refresh calls it with false, keeping chosen clip rectangles.
    virtual void UpdateGraphic(bool ResetClip);
    // Re-applies the current bounds (a subclass may impose a size) and repaints.
    virtual void UpdateBounds();
    // The whole graphic, or a null image without one.
    virtual void GetGraphicBitmap(QImage& bitmap) const;
    // The control's section of a skin description file: "Rect", "Hint", "ShowHint", then
    // "ClipRect" and "MaskColor" on writing (a subclass's keys after them); the other way
    // round on reading. An absent "ClipRect" reads as an empty rectangle at (0, 0).
    virtual void WriteConfig(TVsIni& ini) const;
    virtual void ReadConfig(const TVsIni& ini);

    QImage& GetBitmapCanvas() { return FBitmap; }
    void CopyBackImage(QImage& bitmap) const { bitmap = FBackImage; }
    void GetGraphicNames(QStringList& list) const;

    // Copies `source` (src) into `dest` at `at`; pixels of `maskColor` leave the destination
    // unchanged (clNone: an opaque copy). Parts outside either image are skipped.
    static void DrawTransparent(QImage& dest, const QPoint& at, const QImage& source, const QRect& src,
                                uint32_t maskColor);

protected:
    // Starts the composition: FBitmap becomes the cached background under the control.
    void PaintBackImage();
    // Composes FBitmap; the base draws nothing of its own.
    virtual void Paint() {}
    // The pointer left the control.
    virtual void MouseLeave();
    // Shows `cursor` while tracking, keeping the user's cursor for later.
    void UpdateCursor(const QCursor& cursor);
    const QCursor& RefCursor() const { return FRefCursor; }

    void paintEvent(QPaintEvent*) override;
    void leaveEvent(QEvent*) override;
    void changeEvent(QEvent*) override;
    bool event(QEvent*) override;

    QImage FBitmap;
    QImage FBackImage;

private:
    void ClipChanged();

    TVsSkin* FSkin = nullptr;
    QString FGraphicName;
    QPointer<TVsGraphic> FGraphic;
    TVsClipRect* FClipRect;
    uint32_t FMaskColor;
    uint32_t FDesignColor;
    int FUpdateCount = 0;
    QCursor FRefCursor;
    bool FCursorTracking = false;
    bool FSettingCursor = false;
    bool FBackValid = false;  // FBackImage was cut at FBackRect from the current background
    QRect FBackRect;
};
