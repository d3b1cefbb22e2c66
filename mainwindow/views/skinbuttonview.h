// A skinned button (TVsButton) as a ButtonView; its Tag is the button's dynamic property "Tag".
#pragma once

#include "mainwindow/logic/buttonview.h"
#include "mainwindow/views/widgetcontrol.h"
#include "snkins/vs/tvsbutton.h"

class SkinButtonView : public WidgetControl<ButtonView, TVsButton> {
public:
    using WidgetControl::WidgetControl;

    bool down() const override { return w_ && w_->Down(); }
    void setDown(bool d) override
    {
        if (w_ && w_->Down() != d) w_->SetDown(d);
    }
    QString graphicName() const override { return w_ ? w_->GraphicName() : QString(); }
    void setGraphicName(const QString& name) override
    {
        if (w_ && w_->GraphicName() != name) w_->SetGraphicName(name);
    }
    int tag() const override { return w_ ? w_->property("Tag").toInt() : 0; }
    void setTag(int tag) override
    {
        if (w_) w_->setProperty("Tag", tag);
    }
    QString hint() const override { return w_ ? w_->Hint() : QString(); }
};
