// A component other objects subscribe to through change links. The links belong to their
// clients; destroying the component unlinks them (last first).
#pragma once

#include <QList>
#include <QObject>

#include "snkins/vs/tvschangelink.h"

class TVsSharedComponent : public QObject {
    Q_OBJECT
public:
    explicit TVsSharedComponent(QObject* parent = nullptr) : QObject(parent) {}
    ~TVsSharedComponent() override;

    void InsertLink(TVsChangeLink* link);
    // A link that is not in the list is ignored.
    void RemoveLink(TVsChangeLink* link);
    // Calls Change on every link, in list order.
    void NotifyClients();

    int LinkCount() const { return int(FClients.size()); }

private:
    QList<TVsChangeLink*> FClients;
};
