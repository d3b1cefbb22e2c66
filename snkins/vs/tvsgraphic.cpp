#include "snkins/vs/tvsgraphic.h"

#include "snkins/vs/bmpfile.h"
#include "snkins/vs/skinerror.h"

void TVsGraphic::SetName(const QString& name)
{
    if (name == FName) return;
    FName = name;
    Changed();
}

void TVsGraphic::SetBitmap(const QImage& bitmap)
{
    FBitmap = bitmap;
    FBmpData.clear();
    Changed();
}

void TVsGraphic::LoadBitmapFromBmp(const QByteArray& fileImage)
{
    QImage image;
    if (!decodeBmp(fileImage, image)) throw SkinError(QStringLiteral("Bitmap image is not valid"));
    FBitmap = image;
    FBmpData = image.isNull() ? QByteArray() : fileImage;
    Changed();
}

QByteArray TVsGraphic::BmpFileImage() const
{
    return FBmpData.isEmpty() ? encodeBmp(FBitmap) : FBmpData;
}

void TVsGraphic::Assign(const TVsGraphic* source)
{
    if (!source) return;
    BeginUpdate();
    FName = source->FName;
    FBitmap = source->FBitmap;
    FBmpData = source->FBmpData;
    EndUpdate();
}
