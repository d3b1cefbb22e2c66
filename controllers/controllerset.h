// Everything the controllers keep for the main window, made in one go: the mapping tables and
// options, the controller value globals and dispatcher state, the two input events, the action
// dispatcher, keyboard control, the two MIDI and the two HID controllers, the 10 ms value copy and
// the lights. The main window owns one, implements the surface it is made with, and wires its
// timers (Timer2 -> valueCopy.Timer2Timer, Timer3 -> lights.Timer3Timer), key events, activation
// (hid.createDrivers once, then hid.setUp) and close (hid.close, lights.apagamidilights) to it.
#pragma once

#include <QString>

#include "controllers/controllerlights.h"
#include "controllers/controllertables.h"
#include "controllers/dispatch/actiondispatcher.h"
#include "controllers/dispatch/controllervalues.h"
#include "controllers/dispatch/controlvaluecopy.h"
#include "controllers/dispatch/dispatcherstate.h"
#include "controllers/dispatch/tinfo.h"
#include "controllers/hid/hidcontrollers.h"
#include "controllers/keyboardinput.h"
#include "controllers/midi/midicontrollers.h"
#include "engine/ostrelli.h"
#include "platform/hid/hidapibackend.h"
#include "platform/midi/rtmidibackend.h"

class ControllerSurface;
class PSoundConfig;

class ControllerSet {
public:
    ControllerSet(ControllerSurface& surface, PSoundConfig& config,
                  midi::Backend& backend = midi::RtMidiBackend::instance(), const QString& profile = GetUserProfile(),
                  hid::Backend& hidBackend = hid::HidapiBackend::instance());

    // Start-up: reads the keyboard map (devices/teclado.key) through a loader freed right after.
    void loadKeyboardMap();

    ControllerTables tables;
    ControllerValues values;
    DispatcherState state;
    TInfo bp, bp2;
    ActionDispatcher dispatcher;
    KeyboardInput keyboard;
    MidiControllers midi;
    HidControllers hid;
    ControlValueCopy valueCopy;
    ControllerLights lights;

private:
    ControllerSurface& surface_;
    QString profile_;
};
