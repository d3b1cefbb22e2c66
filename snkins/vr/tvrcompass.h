// A dial with a background picture, a filled hub and a needle at a heading in degrees
// (0 up, 90 right, clockwise). The decks use it as the turntable position indicator.
#pragma once

#include <QImage>
#include <QVector>

#include "snkins/vr/tvrgraphicimagecontrol.h"

class TVrCompass : public TVrGraphicImageControl {
    Q_OBJECT
public:
    explicit TVrCompass(QWidget* parent = nullptr);

    const QImage& BackImage() const { return FBackImage; }
    // Copied; AutoSize follows the picture.
    void SetBackImage(const QImage& Value);
    int Heading() const { return FHeading; }
    void SetHeading(int Value);
    int NeedleLength() const { return FNeedleLength; }
    void SetNeedleLength(int Value) { SetAndRepaint(FNeedleLength, Value); }
    int NeedleWidth() const { return FNeedleWidth; }
    void SetNeedleWidth(int Value) { SetAndRepaint(FNeedleWidth, Value); }
    TColor NeedleColor() const { return FNeedleColor; }
    void SetNeedleColor(TColor Value) { SetAndRepaint(FNeedleColor, Value); }
    // An exclusive-or needle, visible on any background.
    bool NeedleTransparent() const { return FNeedleTransparent; }
    void SetNeedleTransparent(bool Value) { SetAndRepaint(FNeedleTransparent, Value); }
    TColor CircleColor() const { return FCircleColor; }
    void SetCircleColor(TColor Value) { SetAndRepaint(FCircleColor, Value); }
    int CircleWidth() const { return FCircleWidth; }
    void SetCircleWidth(int Value) { SetAndRepaint(FCircleWidth, Value); }
    TColor CircleOutlineColor() const { return FCircleOutlineColor; }
    void SetCircleOutlineColor(TColor Value) { SetAndRepaint(FCircleOutlineColor, Value); }
    int CircleOutlineWidth() const { return FCircleOutlineWidth; }
    void SetCircleOutlineWidth(int Value) { SetAndRepaint(FCircleOutlineWidth, Value); }

    QVector<QRgb> GetPalette() const { return FBackImage.colorTable(); }
    // The end of the needle for the current heading.
    QPoint NeedleEnd() const;

signals:
    void OnChange(QObject* Sender);

protected:
    virtual void Changed() { emit OnChange(this); }
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void Paint() override;

private:
    QImage FBackImage;
    int FHeading = 90, FNeedleLength = 40, FNeedleWidth = 2;
    TColor FNeedleColor = clRed;
    bool FNeedleTransparent = false;
    TColor FCircleColor = clNavy;
    int FCircleWidth = 8;
    TColor FCircleOutlineColor = clBlue;
    int FCircleOutlineWidth = 1;
};
