// A skinned slider (TVsSlider) as a PositionView.
#pragma once

#include "mainwindow/views/rangewidgetview.h"
#include "snkins/vs/tvsslider.h"

class SkinSliderView : public RangeWidgetView<TVsSlider> {
public:
    using RangeWidgetView::RangeWidgetView;
};
