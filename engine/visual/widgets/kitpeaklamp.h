// A deck's peak LED (the kit's TVrLed) as the visual step reaches it.
#pragma once

#include <QPointer>

#include "engine/visual/peaklamp.h"
#include "snkins/vr/tvrcustomled.h"

class KitPeakLamp : public PeakLamp {
public:
    explicit KitPeakLamp(TVrCustomLed* led) : l_(led) {}
    void SetActive(bool on) override
    {
        if (l_) l_->SetActive(on);
    }

private:
    QPointer<TVrCustomLed> l_;
};
