// A label of the main window as its handlers see it.
#pragma once

#include <QString>

#include "mainwindow/logic/controlview.h"

class LabelView : public ControlView {
public:
    virtual QString caption() const = 0;
    virtual void setCaption(const QString& text) = 0;
};
