// A bitmap knob (TVrBitmapDial) as a PositionView.
#pragma once

#include "mainwindow/views/rangewidgetview.h"
#include "snkins/vr/tvrbitmapdial.h"

class DialView : public RangeWidgetView<TVrBitmapDial> {
public:
    using RangeWidgetView::RangeWidgetView;
};
