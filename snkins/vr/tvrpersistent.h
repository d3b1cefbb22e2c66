// A small sub-object a control owns (bevel, palette, bitmap collection): it tells its owner of
// every change through OnChange, unless an update bracket is open.
#pragma once

#include <QObject>

class TVrPersistent : public QObject {
    Q_OBJECT
public:
    explicit TVrPersistent(QObject* parent = nullptr) : QObject(parent) {}

    void BeginUpdate() { ++FUpdateCount; }
    // Closes a bracket and reports the change.
    void EndUpdate();

signals:
    void OnChange(QObject* Sender);

protected:
    // Fires OnChange only outside every update bracket.
    virtual void Changed();

    int FUpdateCount = 0;
};
