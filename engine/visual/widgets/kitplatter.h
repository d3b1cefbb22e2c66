// A deck's platter compass (the kit's TVrCompass) as the visual step reaches it.
#pragma once

#include <QPointer>

#include "engine/visual/platter.h"
#include "snkins/vr/tvrcompass.h"

class KitPlatter : public Platter {
public:
    explicit KitPlatter(TVrCompass* compass) : c_(compass) {}
    bool Enabled() const override { return c_ && c_->isEnabled(); }
    void SetHeading(int degrees) override
    {
        if (c_) c_->SetHeading(degrees);
    }

private:
    QPointer<TVrCompass> c_;
};
