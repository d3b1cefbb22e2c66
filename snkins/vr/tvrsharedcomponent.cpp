#include "snkins/vr/tvrsharedcomponent.h"

#include "snkins/vr/tvrchangelink.h"

TVrSharedComponent::~TVrSharedComponent()
{
    while (!FClients.isEmpty()) RemoveLink(FClients.last());
}

void TVrSharedComponent::InsertLink(TVrChangeLink* Link)
{
    if (!Link) return;
    if (Link->FSender) Link->FSender->RemoveLink(Link);
    Link->FSender = this;
    FClients.append(Link);
}

void TVrSharedComponent::RemoveLink(TVrChangeLink* Link)
{
    const qsizetype at = FClients.indexOf(Link);
    if (at < 0) return;
    FClients.removeAt(at);
    Link->FSender = nullptr;
}

void TVrSharedComponent::NotifyClients()
{
    // a client may drop its link while it is told; walk a copy
    const QList<TVrChangeLink*> links = FClients;
    for (TVrChangeLink* link : links)
        if (FClients.contains(link)) link->Change();
}
