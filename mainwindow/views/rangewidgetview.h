// A widget with a position between a minimum and a maximum as a PositionView: for the widgets
// that read them as Position, MinValue and MaxValue and set them as SetPosition, SetMinValue
// and SetMaxValue (the bitmap knob, the skinned slider).
#pragma once

#include "mainwindow/logic/positionview.h"
#include "mainwindow/views/widgetcontrol.h"

template <class W>
class RangeWidgetView : public WidgetControl<PositionView, W> {
public:
    using WidgetControl<PositionView, W>::WidgetControl;

    int position() const override { return w() ? w()->Position() : 0; }
    void setPosition(int p) override
    {
        if (w()) w()->SetPosition(p);
    }
    int minimum() const override { return w() ? w()->MinValue() : 0; }
    int maximum() const override { return w() ? w()->MaxValue() : 0; }
    void setMinimum(int v) override
    {
        if (w()) w()->SetMinValue(v);
    }
    void setMaximum(int v) override
    {
        if (w()) w()->SetMaxValue(v);
    }

private:
    W* w() const { return this->w_; }
};
