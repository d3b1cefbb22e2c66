// One channel's LED level bar (the kit's TRLed) as the visual step reaches it.
#pragma once

#include <QPointer>

#include "engine/visual/levelbar.h"
#include "snkins/vr/trled.h"

class KitLevelBar : public LevelBar {
public:
    explicit KitLevelBar(TRLed* bar) : b_(bar) {}
    void SetPico(int value) override
    {
        if (b_) b_->SetPico(value);
    }
    void SetPosition(int value) override
    {
        if (b_) b_->SetPosition(value);
    }

private:
    QPointer<TRLed> b_;
};
