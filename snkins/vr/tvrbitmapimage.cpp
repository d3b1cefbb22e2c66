#include "snkins/vr/tvrbitmapimage.h"

#include "snkins/vr/bitmaplistclient.h"
#include "snkins/vr/vrfunctions.h"

TVrBitmapImage::TVrBitmapImage(QWidget* parent)
    : TVrGraphicImageControl(parent), FBitmapList(new BitmapListClient(this))
{
    resize(105, 105);
    connect(FBitmapList, &BitmapListClient::Changed, this, [this] { UpdateControlBounds(); });
    connect(FBitmapList, &BitmapListClient::Removed, this, [this] {
        FBitmap = nullptr;
        UpdateControlCanvas();
    });
}

TVrBitmapList* TVrBitmapImage::BitmapList() const { return FBitmapList->List(); }

void TVrBitmapImage::SetBitmapList(TVrBitmapList* Value)
{
    FBitmapList->SetList(Value);
    UpdateControlCanvas();
}

void TVrBitmapImage::SetBitmapIndex(int Value)
{
    if (FBitmapIndex == Value) return;
    FBitmapIndex = Value;
    UpdateControlBounds();
}

QImage* TVrBitmapImage::GetBitmap() const
{
    return FBitmapList->GetBitmap(FBitmapIndex);
}

QVector<QRgb> TVrBitmapImage::GetPalette() const
{
    const QImage* b = GetBitmap();
    return b ? b->colorTable() : QVector<QRgb>();
}

bool TVrBitmapImage::CanAutoSize(int& NewWidth, int& NewHeight)
{
    const QImage* b = GetBitmap();
    if (!b) return true;
    if (Align() == alNone || Align() == alLeft || Align() == alRight) NewWidth = b->width();
    if (Align() == alNone || Align() == alTop || Align() == alBottom) NewHeight = b->height();
    return true;
}

void TVrBitmapImage::Paint()
{
    FBitmap = GetBitmap();
    ClearBitmapCanvas();
    QPainter& canvas = GetBitmapCanvas();
    if (FBitmap && !FBitmap->isNull()) {
        // with Stretch the picture sits unscaled at the corner, like an image that is not centred
        QPoint at(0, 0);
        if (!FStretch && FCenter) at = QPoint((width() - FBitmap->width()) / 2, (height() - FBitmap->height()) / 2);
        if (Transparent()) {
            const QRgb key = FBitmap->pixel(0, FBitmap->height() - 1);
            canvas.drawImage(at, KeyedImage(*FBitmap, FBitmap->rect(), key));
        } else {
            canvas.drawImage(at, *FBitmap);
        }
    }
    ShowDesignFrame(canvas);
    TVrGraphicImageControl::Paint();
}
