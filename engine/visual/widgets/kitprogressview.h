// A progress bar of the kit (TVrProgressBar) as the engine reaches it: the position bars of the
// spectrum view, and a deck's scan progress.
#pragma once

#include <QPointer>

#include "engine/progressview.h"
#include "snkins/vr/tvrprogressbar.h"

class KitProgressView : public ProgressView {
public:
    explicit KitProgressView(TVrProgressBar* bar) : b_(bar) {}
    void setVisible(bool visible) override
    {
        if (b_ && b_->isVisibleTo(b_->parentWidget()) != visible) b_->setVisible(visible);
    }
    void setPosition(int position) override
    {
        if (b_) b_->SetPosition(position);
    }

private:
    QPointer<TVrProgressBar> b_;
};
