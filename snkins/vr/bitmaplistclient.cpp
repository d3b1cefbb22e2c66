#include "snkins/vr/bitmaplistclient.h"

#include "snkins/vr/tvrbitmaplist.h"
#include "snkins/vr/tvrchangelink.h"

BitmapListClient::BitmapListClient(QObject* parent) : QObject(parent), FLink(new TVrChangeLink(this))
{
    connect(FLink, &TVrChangeLink::OnChange, this, &BitmapListClient::Changed);
}

void BitmapListClient::SetList(TVrBitmapList* list)
{
    if (FLink->Sender()) FLink->Sender()->RemoveLink(FLink);
    if (FList) disconnect(FList, &QObject::destroyed, this, nullptr);
    FList = list;
    if (!list) return;
    list->InsertLink(FLink);
    connect(list, &QObject::destroyed, this, [this] {
        // the list has already taken out every link
        FList = nullptr;
        emit Removed();
    });
}

TVrBitmapList* BitmapListClient::List() const { return FList; }

QImage* BitmapListClient::GetBitmap(int index) const { return FList ? FList->GetBitmap(index) : nullptr; }
