// The kit's image slider (TnSlider: the text size, the automix times) as a PositionView.
#pragma once

#include "mainwindow/logic/positionview.h"
#include "mainwindow/views/widgetcontrol.h"
#include "snkins/quor/tnslider.h"

class ImageSliderView : public WidgetControl<PositionView, TnSlider> {
public:
    using WidgetControl::WidgetControl;

    int position() const override { return w_ ? w_->Position() : 0; }
    void setPosition(int p) override
    {
        if (w_) w_->SetPosition(p);
    }
    int minimum() const override { return w_ ? w_->Minvalue() : 0; }
    int maximum() const override { return w_ ? w_->Maxvalue() : 0; }
    void setMinimum(int v) override
    {
        if (w_) w_->SetMinvalue(v);
    }
    void setMaximum(int v) override
    {
        if (w_) w_->SetMaxvalue(v);
    }
};
