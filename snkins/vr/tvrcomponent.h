// The kit's non-visual component: carries the kit's version text.
#pragma once

#include <QObject>
#include <QString>

#include "snkins/vr/tvrtypes.h"

class TVrComponent : public QObject {
    Q_OBJECT
public:
    explicit TVrComponent(QObject* owner = nullptr) : QObject(owner) {}
    QString Version() const { return QString::fromLatin1(FVersion); }

private:
    const char* FVersion = VrVersion;
};
