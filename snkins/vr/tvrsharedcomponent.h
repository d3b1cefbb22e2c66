// A component that several controls use at once; each client inserts a change link and is told
// of every change through it.
#pragma once

#include <QList>

#include "snkins/vr/tvrcomponent.h"

class TVrChangeLink;

class TVrSharedComponent : public TVrComponent {
    Q_OBJECT
public:
    explicit TVrSharedComponent(QObject* owner = nullptr) : TVrComponent(owner) {}
    // Removes every link, last first.
    ~TVrSharedComponent() override;

    void InsertLink(TVrChangeLink* Link);
    // A link that is not in the list is ignored.
    void RemoveLink(TVrChangeLink* Link);
    int LinkCount() const { return int(FClients.size()); }

protected:
    // Calls Change of every link, in list order.
    void NotifyClients();

private:
    QList<TVrChangeLink*> FClients;  // owned by the client controls
};
