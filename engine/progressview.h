// The deck's scan progress bar, as the deck tick sees it.
#pragma once

class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void setVisible(bool visible) = 0;
    virtual void setPosition(int percent) = 0;
};
