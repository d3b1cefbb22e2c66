#include "snkins/vr/tvrcompass.h"

#include <cmath>

#include "snkins/vr/vrfunctions.h"

namespace {
constexpr double DegToRad = 0.017453292519943295769;
}

TVrCompass::TVrCompass(QWidget* parent) : TVrGraphicImageControl(parent)
{
    SetColor(clBlack);
    resize(100, 100);
}

void TVrCompass::SetBackImage(const QImage& Value)
{
    FBackImage = Value;
    UpdateControlBounds();
}

void TVrCompass::SetHeading(int Value)
{
    if (FHeading == Value) return;
    FHeading = Value;
    UpdateControlCanvas();
    Changed();
}

bool TVrCompass::CanAutoSize(int& NewWidth, int& NewHeight)
{
    if ((Align() == alNone || Align() == alLeft || Align() == alRight) && FBackImage.width() > 0)
        NewWidth = FBackImage.width();
    if ((Align() == alNone || Align() == alTop || Align() == alBottom) && FBackImage.height() > 0)
        NewHeight = FBackImage.height();
    return true;
}

QPoint TVrCompass::NeedleEnd() const
{
    const double h = FHeading * DegToRad;
    return QPoint(width() / 2 + int(std::trunc(std::sin(h) * FNeedleLength)),
                  height() / 2 - int(std::trunc(std::cos(h) * FNeedleLength)));
}

void TVrCompass::Paint()
{
    ClearBitmapCanvas();
    QPainter& canvas = GetBitmapCanvas();
    const QPoint c(width() / 2, height() / 2);
    if (!FBackImage.isNull()) DrawBitmap(canvas, rect(), FBackImage, Color(), Transparent(), BitmapRect(FBackImage));

    canvas.setRenderHint(QPainter::Antialiasing);
    canvas.setPen(FCircleOutlineWidth > 0 ? QPen(VrColor(FCircleOutlineColor), FCircleOutlineWidth) : QPen(Qt::NoPen));
    canvas.setBrush(VrColor(FCircleColor));
    canvas.drawEllipse(QPointF(c.x() + 0.5, c.y() + 0.5), FCircleWidth, FCircleWidth);

    if (FNeedleTransparent) {
        // exclusive-or: edge smoothing would leave traces of the needle behind
        canvas.setRenderHint(QPainter::Antialiasing, false);
        canvas.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    }
    canvas.setPen(QPen(VrColor(FNeedleColor), FNeedleWidth, Qt::SolidLine, Qt::RoundCap));
    canvas.drawLine(QPointF(c.x() + 0.5, c.y() + 0.5), QPointF(NeedleEnd()) + QPointF(0.5, 0.5));
    canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);
    TVrGraphicImageControl::Paint();
}
