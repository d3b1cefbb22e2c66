// The deck's scan progress bar (the kit's TVrProgressBar) as the deck tick reaches it.
#pragma once

#include <QPointer>

#include "engine/progressview.h"
#include "snkins/vr/tvrprogressbar.h"

class ProgressLink : public ProgressView {
public:
    explicit ProgressLink(TVrProgressBar* bar) : b_(bar) {}
    void setVisible(bool visible) override
    {
        if (b_ && b_->isHidden() == visible) b_->setVisible(visible);
    }
    void setPosition(int percent) override
    {
        if (b_) b_->SetPosition(percent);
    }

private:
    QPointer<TVrProgressBar> b_;
};
