// A client's link into a shared component (a bitmap list): the component calls Change on every
// link when its content changes, and the link passes it on as its OnChange signal. The client
// owns the link; destroying it takes it out of its component.
#pragma once

#include <QObject>

class TVrSharedComponent;

class TVrChangeLink : public QObject {
    Q_OBJECT
public:
    explicit TVrChangeLink(QObject* parent = nullptr) : QObject(parent) {}
    ~TVrChangeLink() override;

    // The component the link is inserted in, or none.
    TVrSharedComponent* Sender() const { return FSender; }
    virtual void Change();

signals:
    void OnChange(QObject* Sender);

private:
    friend class TVrSharedComponent;
    TVrSharedComponent* FSender = nullptr;
};
