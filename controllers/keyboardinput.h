// Keyboard control: while it is on, every key press and release becomes an input event through the
// keyboard map (keyinbut) and goes to the dispatcher. The keyboard button switches it; the library
// panels' search boxes suspend it while they have the focus ("NOKEY" / "KEY" in the Hint mailbox).
// UI thread only.
//
// The main window's application event filter feeds it each key event once: the Qt key turned into
// a virtual-key code by VirtualKeys::fromQtKey, press or release, auto-repeat, and for Shift the
// side from VirtualKeys::shiftSide. The filter swallows the event when AppOnMessage says so.
#pragma once

#include <functional>

#include <QString>

#include "controllers/virtualkeys.h"

class ControllerSurface;
class ControllerTables;
class TInfo;

class KeyboardInput {
public:
    KeyboardInput(ControllerTables& tables, TInfo& bp, ControllerSurface& surface,
                  std::function<void(TInfo&)> updatecontroler);

    bool iskeyboard = false;   // the user's switch; off at every start
    bool usekeyboard = false;  // key events are turned into input events now

    // One key event of virtual key `vk`. A press sends the entry's value, a release value 0; a
    // Shift press sends the entry of the Shift key pressed (162 left, 163 right; a side that is
    // not known counts as right), a Shift release the entry of 16. Returns true when the event
    // must reach no window: the auto-repeats of a held key while keyboard control is on, which
    // send nothing.
    bool AppOnMessage(int vk, bool down, bool autoRepeat, ShiftSide side = ShiftSide::Unknown);

    // The keyboard button (VsButton3): switches keyboard control and the panels' own flag.
    void VsButton3Click();

    // The status timer, every tick, with the Hint mailbox's current word: "NOKEY" keeps keyboard
    // control suspended, "KEY" gives it back the user's setting, any other word leaves it.
    void followHint(const QString& word);

private:
    ControllerTables& tables_;
    TInfo& bp_;
    ControllerSurface& surface_;
    std::function<void(TInfo&)> updatecontroler_;
};
