#include "mainwindow/logic/presetcontrols.h"

#include "mainwindow/logic/controlview.h"

void PresetControls::higp() { set(0); }
void PresetControls::medp() { set(1); }
void PresetControls::lowp() { set(2); }

void PresetControls::apply(int level)
{
    if (level >= 0 && level <= 2) set(level);
}

void PresetControls::set(int level)
{
    const bool high = level == 0;
    const bool low = level == 2;
    meters_ = high;
    const bool labels = high ? !(extendedView && extendedView()) : true;
    for (ControlView* l : timeLabels)
        if (l) l->setVisible(labels);
    if (!high)
        for (ControlView* j : jogPanels)
            if (j) j->setVisible(true);
    if (setdisplayspec) setdisplayspec(low ? 1 : 0);
    for (ControlView* v : needles)
        if (v) {
            v->setEnabled(high);
            v->setVisible(high);
        }
    for (ControlView* c : compasses)
        if (c) {
            c->setEnabled(!low);
            c->setVisible(!low);
        }
    for (ControlView* c : centreMeters)
        if (c) c->setVisible(high);
    for (ControlView* l : leds)
        if (l) l->setVisible(high);
    if (setFace) {
        setFace(1, high ? QStringLiteral("vuanalogicoA") : QStringLiteral("vuanalogico"));
        setFace(2, high ? QStringLiteral("vuanalogicob") : QStringLiteral("vuanalogico2"));
    }
    static constexpr int kUpdate[3] = {5, 8, 10}, kBuffer[3] = {75, 200, 250};
    if (configup) *configup = kUpdate[level];
    if (configbu) *configbu = kBuffer[level];
}
