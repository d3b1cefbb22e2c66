// The lamp as the surface places it: TVrCustomLed with nothing of its own.
#pragma once

#include "snkins/vr/tvrcustomled.h"

class TVrLed : public TVrCustomLed {
    Q_OBJECT
public:
    explicit TVrLed(QWidget* parent = nullptr) : TVrCustomLed(parent) {}
};
