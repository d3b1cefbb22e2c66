// The choices of the controller and skin lists that outlive one configuration dialog: set by the
// lists' fills and check changes, stored at OK, and kept for the next dialog of this run. Only
// `controladora` is emptied when a dialog is created. UI thread only.
#pragma once

#include <QString>

struct PendingChoices {
    QString controladora, portconin, controladora2, portconin2; // MIDI map and port, controllers 1 and 2
    QString nhid, porthid, nhid2, porthid2;                     // HID map and device, controllers 1 and 2
    QString skin;

    // the program's one set; empty when the program starts
    static PendingChoices& unit();
};
