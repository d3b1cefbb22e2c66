// The momentary push button of the dialogs: a switch that is on only while a mouse button is
// held on it, its caption centred over the glyph ("bon3" on, "boff3" off, black see-through).
#pragma once

#include "snkins/quor/tjvswitch2.h"

class TQuorSwitch1 : public Tjvswitch2 {
    Q_OBJECT
public:
    explicit TQuorSwitch1(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};
