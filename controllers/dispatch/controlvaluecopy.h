// The window's 10 ms Timer2 step: moves each slider and dial to its controller value global, keeps
// the automix track numbers, the recording level bar and the bend lights up to date, and lets the
// on-screen jog wheels follow the controller counts while a controller drives them. Every control
// is written only when it differs, so an idle tick redraws nothing. UI thread only.
#pragma once

#include <array>
#include <utility>

#include "controllers/dispatch/controllersurface.h"

class ControllerValues;
class DispatcherState;

class ControlValueCopy {
public:
    // The sliders and dials and their globals, in the order the tick copies them. A control's
    // change handler writes its position back into the same global.
    static const std::array<std::pair<SurfaceControl, int ControllerValues::*>, 22> kPairs;

    ControlValueCopy(ControllerSurface& surface, ControllerValues& values, DispatcherState& state);

    void Timer2Timer();

private:
    void automixNumber(SurfaceLabel track, SurfaceLabel number);
    void bendLights(int deck);
    void jogWheel(int deck);

    ControllerSurface& surface_;
    ControllerValues& values_;
    DispatcherState& state_;
};
