// A control's hold on a shared bitmap list: its change link, moved from list to list, and the
// end of a list, after which the control is left without one.
#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>

class TVrBitmapList;
class TVrChangeLink;

class BitmapListClient : public QObject {
    Q_OBJECT
public:
    explicit BitmapListClient(QObject* parent = nullptr);

    TVrBitmapList* List() const;
    // Takes the link out of the old list and inserts it in the new one (none: no list).
    void SetList(TVrBitmapList* list);
    // The list's picture at index, or none (no list, or an index outside it).
    QImage* GetBitmap(int index) const;

signals:
    void Changed();  // the list's pictures changed
    void Removed();  // the list was destroyed

private:
    QPointer<TVrBitmapList> FList;
    TVrChangeLink* FLink;  // owned (child object)
};
