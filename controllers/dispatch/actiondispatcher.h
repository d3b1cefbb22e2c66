// The action dispatcher (the window's updatecontroler): every input event of the keyboard, the
// MIDI and the HID controllers becomes the action of its control code. The actions are kept in a
// table by code, filled by one file per action family (transportactions.cpp, ...); a code without
// an entry does nothing. Button actions press the window's own buttons through the surface; pot
// actions write the controller value globals that ControlValueCopy moves into the controls.
// UI thread only.
#pragma once

#include <array>

#include "controllers/dispatch/tinfo.h"

class ControllerSurface;
class ControllerTables;
class ControllerValues;
class DispatcherState;

class ActionDispatcher {
public:
    static constexpr int kCodes = 268;  // control codes 0..267

    ActionDispatcher(ControllerSurface& surface, ControllerValues& values, DispatcherState& state,
                     ControllerTables& tables);

    // Performs the action of info.accion. The event is copied on entry, so nothing the action
    // sets off can change the values it works with; only oldvalor, which the dispatcher owns, is
    // written back into `info`.
    void updatecontroler(TInfo& info);

    // The codes that never have an action (BTNUNKNOWN, the microphone and timecode buttons, the
    // unfinished steps, POTMASTER, BTNSELECTSONGS, BTNTOTHRU) and every code above 267.
    static bool hasNoAction(int code);

private:
    using Action = void (ActionDispatcher::*)(TInfo& e, int deck);
    struct Entry {
        Action run = nullptr;
        int deck = 0;  // 0 deck A, 1 deck B
    };
    void set(int code, Action run, int deck);

    // ---- families, one file each
    void addTransportActions();

    // ---- deck transport (transportactions.cpp)
    void playAction(TInfo& e, int deck);
    void cueAction(TInfo& e, int deck);
    void pauseAction(TInfo& e, int deck);
    void loadAction(TInfo& e, int deck);
    void syncAction(TInfo& e, int deck);
    void reverseAction(TInfo& e, int deck);
    void brakeAction(TInfo& e, int deck);
    // The LOAD button's alternate press while the browser walks the tree; the browser family
    // gives it its action.
    void alternateLoadSelect(int deck);

    std::array<Entry, kCodes> table_{};
    ControllerSurface& surface_;
    DispatcherState& state_;
    // the pot, jog, mixer and browser families work on these
    [[maybe_unused]] ControllerValues& values_;
    [[maybe_unused]] ControllerTables& tables_;
};
