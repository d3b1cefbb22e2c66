// The shared list of pictures from which dials and bitmap images take theirs by index. Every
// change of its collection reaches the linked controls (NotifyClients) and then OnChange.
#pragma once

#include "snkins/vr/tvrbitmaps.h"
#include "snkins/vr/tvrsharedcomponent.h"

class TVrBitmapList : public TVrSharedComponent {
    Q_OBJECT
public:
    explicit TVrBitmapList(QObject* owner = nullptr);

    TVrBitmaps* Bitmaps() const { return FBitmaps; }
    // Assigns the given collection's pictures.
    void SetBitmaps(const TVrBitmaps* Value) { FBitmaps->Assign(Value); }
    // The picture at Index, or none when Index < 0 or >= Count.
    QImage* GetBitmap(int Index) const;

signals:
    void OnChange(QObject* Sender);

protected:
    virtual void Changed() { emit OnChange(this); }

private:
    void BitmapsChanged();

    TVrBitmaps* FBitmaps;  // owned (child object)
};
