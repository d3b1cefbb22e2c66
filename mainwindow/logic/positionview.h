// A slider, dial or level bar of the main window as its handlers see it. setPosition clamps to
// the range and, when the position changes, runs the control's change handler (as a move by the
// user does); setting the range moves a position that falls outside it to the nearest end.
#pragma once

#include "mainwindow/logic/controlview.h"

class PositionView : public ControlView {
public:
    virtual int position() const = 0;
    virtual void setPosition(int position) = 0;
    virtual int minimum() const = 0;
    virtual int maximum() const = 0;
    virtual void setMinimum(int value) = 0;
    virtual void setMaximum(int value) = 0;
};
