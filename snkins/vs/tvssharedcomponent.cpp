#include "snkins/vs/tvssharedcomponent.h"

TVsSharedComponent::~TVsSharedComponent()
{
    while (!FClients.isEmpty()) RemoveLink(FClients.last());
}

void TVsSharedComponent::InsertLink(TVsChangeLink* link)
{
    if (!link) return;
    if (link->FSender) link->FSender->RemoveLink(link);
    link->FSender = this;
    FClients.append(link);
}

void TVsSharedComponent::RemoveLink(TVsChangeLink* link)
{
    if (!link || !FClients.removeOne(link)) return;
    link->FSender = nullptr;
}

void TVsSharedComponent::NotifyClients()
{
    // a client may unlink itself while it is told
    const QList<TVsChangeLink*> clients = FClients;
    for (TVsChangeLink* link : clients)
        if (FClients.contains(link)) link->Change();
}
