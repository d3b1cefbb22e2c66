// The change-counting base of the skin engine's value objects: a batch of edits between
// BeginUpdate and the outermost EndUpdate gives one OnChange.
#pragma once

#include <QObject>

class TVsPersistent : public QObject {
    Q_OBJECT
public:
    explicit TVsPersistent(QObject* parent = nullptr) : QObject(parent) {}

    void BeginUpdate() { ++FUpdateCount; }
    // Ends one level (never below 0) and calls Changed, which fires only at level 0.
    void EndUpdate()
    {
        if (FUpdateCount > 0) --FUpdateCount;
        Changed();
    }
    int UpdateCount() const { return FUpdateCount; }

signals:
    void OnChange(TVsPersistent* Sender);

protected:
    void Changed()
    {
        if (FUpdateCount == 0) emit OnChange(this);
    }

private:
    int FUpdateCount = 0;
};
