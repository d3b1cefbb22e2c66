// The rotary knob: an integer between MinValue and MaxValue shown as one frame of a strip of
// ImageCount equally wide pictures, taken from a shared bitmap list. Frame i shows the whole
// percents from 100 i / ImageCount up to just below 100 (i + 1) / ImageCount; 100 % shows the
// last. Turned by dragging sideways or up and down, or by clicks (left up, right down).
// OnChange fires, and the knob repaints, only when the whole percent of the range changes.
#pragma once

#include <QImage>
#include <QPoint>
#include <QVector>

#include "snkins/vr/tvrgraphicimagecontrol.h"

class BitmapListClient;
class TVrBitmapList;

enum TDialStyle { dsLeftRightMove, dsTopBottomMove, dsButtonClick };

class TVrBitmapDial : public TVrGraphicImageControl {
    Q_OBJECT
public:
    explicit TVrBitmapDial(QWidget* parent = nullptr);

    int MinValue() const { return FMinValue; }
    int MaxValue() const { return FMaxValue; }
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    void SetMinValue(int Value);
    void SetMaxValue(int Value);
    int ImageCount() const { return FImageCount; }
    void SetImageCount(int Value);
    TVrBitmapList* BitmapList() const;
    void SetBitmapList(TVrBitmapList* Value);
    int BitmapIndex() const { return FBitmapIndex; }
    void SetBitmapIndex(int Value);
    TDialStyle Style() const { return FStyle; }
    void SetStyle(TDialStyle Value) { FStyle = Value; }
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value; }
    bool HideCursor() const { return FHideCursor; }
    void SetHideCursor(bool Value) { FHideCursor = Value; }

    // The whole percent of the range that Position stands at (0 for an empty range).
    int GetPercentDone() const;
    // The frame the knob shows now.
    int FrameIndex() const;
    QSize FrameSize() const { return QSize(FImageWidth, FImageHeight); }
    QVector<QRgb> GetPalette() const { return FCurrBitmap ? FCurrBitmap->colorTable() : QVector<QRgb>(); }
    void Loaded() override;

signals:
    void OnChange(QObject* Sender);

protected:
    virtual void Changed() { emit OnChange(this); }
    // Takes the strip picture and frame size afresh from the list (every change of the list).
    void UpdateImage();
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void Paint() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int FMinValue = 0, FMaxValue = 100, FPosition = 0;
    int FImageCount = 0, FImageWidth = 0, FImageHeight = 0;
    TDialStyle FStyle = dsLeftRightMove;
    int FIncrement = 10;
    QImage* FCurrBitmap = nullptr;  // the list's strip picture
    BitmapListClient* FBitmapList;  // owned (child object)
    int FBitmapIndex = -1;
    bool FDragging = false, FHideCursor = true;
    QPoint FPoint;  // where the pointer would be at 0 %
    QPoint FMouse;  // where the button went down
};
