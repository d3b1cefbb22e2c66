// A button of the main window as its handlers see it: the skinned buttons and the kit's
// picture buttons alike. The down state is the shown, latched state; the Tag is the integer
// the handlers keep on the button (a lit state, a slot number); the graphic is the skin
// graphic the button is cut from (picture buttons have none and ignore it).
#pragma once

#include <QString>

#include "mainwindow/logic/controlview.h"

class ButtonView : public ControlView {
public:
    virtual bool down() const = 0;
    // Changes only a button whose state differs, so an unchanged surface is not repainted.
    virtual void setDown(bool down) = 0;
    virtual QString graphicName() const = 0;
    virtual void setGraphicName(const QString& name) = 0;
    virtual int tag() const = 0;
    virtual void setTag(int tag) = 0;
    virtual QString hint() const = 0;
};
