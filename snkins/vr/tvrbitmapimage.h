// One picture of a shared bitmap list, chosen by index, centred or at the corner. A transparent
// image leaves out the colour of its picture's bottom-left pixel in its own paint only; the
// list's picture is not changed.
#pragma once

#include <QImage>
#include <QVector>

#include "snkins/vr/tvrgraphicimagecontrol.h"

class BitmapListClient;
class TVrBitmapList;

class TVrBitmapImage : public TVrGraphicImageControl {
    Q_OBJECT
public:
    explicit TVrBitmapImage(QWidget* parent = nullptr);

    TVrBitmapList* BitmapList() const;
    // Moves the image's link from the old list to the new one. A list that is destroyed leaves
    // the image without list.
    void SetBitmapList(TVrBitmapList* Value);
    int BitmapIndex() const { return FBitmapIndex; }
    void SetBitmapIndex(int Value);
    bool Center() const { return FCenter; }
    void SetCenter(bool Value) { SetAndRepaint(FCenter, Value); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value) { SetAndRepaint(FStretch, Value); }

    // The list's picture at BitmapIndex, or none.
    QImage* GetBitmap() const;
    QVector<QRgb> GetPalette() const;

protected:
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void Paint() override;

private:
    bool FCenter = true, FStretch = false;
    int FBitmapIndex = -1;
    BitmapListClient* FBitmapList;  // owned (child object)
    QImage* FBitmap = nullptr;       // the picture found at the last paint
};
