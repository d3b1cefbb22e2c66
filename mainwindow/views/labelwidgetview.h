// A label (QLabel) as a LabelView.
#pragma once

#include <QLabel>

#include "mainwindow/logic/labelview.h"
#include "mainwindow/views/widgetcontrol.h"

class LabelWidgetView : public WidgetControl<LabelView, QLabel> {
public:
    using WidgetControl::WidgetControl;

    QString caption() const override { return w_ ? w_->text() : QString(); }
    void setCaption(const QString& text) override
    {
        if (w_ && w_->text() != text) w_->setText(text);
    }
};
