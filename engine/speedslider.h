// The deck's speed slider on the main window, as the deck sees it. Positions are negative
// sample rates: the minimum is the fastest rate.
#pragma once

class SpeedSlider {
public:
    virtual ~SpeedSlider() = default;
    virtual void setRange(int minimum, int maximum) = 0;
    virtual void setPosition(int position) = 0;
    virtual int position() const = 0;
};
