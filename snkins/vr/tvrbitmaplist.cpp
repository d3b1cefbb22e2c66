#include "snkins/vr/tvrbitmaplist.h"

TVrBitmapList::TVrBitmapList(QObject* owner) : TVrSharedComponent(owner), FBitmaps(new TVrBitmaps(this))
{
    connect(FBitmaps, &TVrPersistent::OnChange, this, &TVrBitmapList::BitmapsChanged);
}

QImage* TVrBitmapList::GetBitmap(int Index) const
{
    if (Index < 0 || Index >= FBitmaps->Count()) return nullptr;
    return FBitmaps->Bitmaps(Index);
}

void TVrBitmapList::BitmapsChanged()
{
    NotifyClients();
    Changed();
}
