// The deck's pitch ruler (a skinned slider) as the deck reaches it. A deck may set it from its
// loading thread: there the change is handed to the slider's thread and the caller goes on.
// position() answers from any thread with the last position the slider took or was given.
#pragma once

#include <atomic>

#include <QPointer>

#include "engine/speedslider.h"
#include "snkins/vs/tvsslider.h"

class SpeedSliderLink : public SpeedSlider {
public:
    explicit SpeedSliderLink(TVsSlider* slider);

    void setRange(int minimum, int maximum) override;
    void setPosition(int position) override;
    int position() const override { return position_.load(); }

private:
    template <class F>
    void onSliderThread(F&& f);
    QPointer<TVsSlider> s_;
    std::atomic<int> position_{0};
};
