// A deck's needle meter, as the visual step sees it: the peak input, the needle's position,
// the state word under the hub and the colour of the remaining time it shows.
#pragma once

#include <QString>

#include "engine/dib/dibtypes.h"

class NeedleMeter {
public:
    virtual ~NeedleMeter() = default;
    // A peak above the needle's position throws it up at once.
    virtual void SetPico(int value) = 0;
    virtual double Position() const = 0;
    virtual void SetPosition(double value) = 0;
    virtual bool Enabled() const = 0;
    // The deck's state word ("PLAY", "CUE", ...) in `color` (0xBBGGRR).
    virtual void SetStateWord(const QString& word, TColor color) = 0;
    // The end-of-track warning turns the remaining time to `color`, and back.
    virtual void SetRemainColor(TColor color) = 0;
};
