// A picture button of the kit (TquorButton) as a ButtonView; it has no skin graphic.
#pragma once

#include "mainwindow/logic/buttonview.h"
#include "mainwindow/views/widgetcontrol.h"
#include "snkins/quor/tquorbutton.h"

class QuorButtonView : public WidgetControl<ButtonView, TquorButton> {
public:
    using WidgetControl::WidgetControl;

    bool down() const override { return w_ && w_->Down(); }
    void setDown(bool d) override
    {
        if (w_ && w_->Down() != d) w_->SetDown(d);
    }
    QString graphicName() const override { return QString(); }
    void setGraphicName(const QString&) override {}
    int tag() const override { return w_ ? w_->Tag : 0; }
    void setTag(int tag) override
    {
        if (w_) w_->Tag = tag;
    }
    QString hint() const override { return w_ ? w_->toolTip() : QString(); }
};
