// A bitmap knob (TVrBitmapDial) as a PositionView.
#pragma once

#include "mainwindow/logic/positionview.h"
#include "mainwindow/views/widgetcontrol.h"
#include "snkins/vr/tvrbitmapdial.h"

class DialView : public WidgetControl<PositionView, TVrBitmapDial> {
public:
    using WidgetControl::WidgetControl;

    int position() const override { return w_ ? w_->Position() : 0; }
    void setPosition(int p) override
    {
        if (w_) w_->SetPosition(p);
    }
    int minimum() const override { return w_ ? w_->MinValue() : 0; }
    int maximum() const override { return w_ ? w_->MaxValue() : 0; }
    void setMinimum(int v) override
    {
        if (w_) w_->SetMinValue(v);
    }
    void setMaximum(int v) override
    {
        if (w_) w_->SetMaxValue(v);
    }
};
