// Any widget of the window as a ControlView (panels, paint boxes, hosts, images).
#pragma once

#include "mainwindow/logic/controlview.h"
#include "mainwindow/views/widgetcontrol.h"

class WidgetView : public WidgetControl<ControlView> {
public:
    using WidgetControl::WidgetControl;
};
