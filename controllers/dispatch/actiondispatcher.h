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
    // `arg` tells apart the codes one action serves (a loop length, a pad number, a pot's code)
    using Action = void (ActionDispatcher::*)(TInfo& e, int deck, int arg);
    struct Entry {
        Action run = nullptr;
        int deck = 0;  // 0 deck A, 1 deck B
        int arg = 0;
    };
    void set(int code, Action run, int deck, int arg = 0);

    // ---- families, one file each
    void addTransportActions();
    void addHotCueLoopActions();
    void addPitchJogActions();
    void addMixerActions();
    void addEffectsActions();
    void addPadActions();
    void addBrowserActions();

    // ---- deck transport (transportactions.cpp)
    void playAction(TInfo& e, int deck, int arg);
    void cueAction(TInfo& e, int deck, int arg);
    void pauseAction(TInfo& e, int deck, int arg);
    void loadAction(TInfo& e, int deck, int arg);
    void syncAction(TInfo& e, int deck, int arg);
    void reverseAction(TInfo& e, int deck, int arg);
    void brakeAction(TInfo& e, int deck, int arg);
    // The LOAD button's alternate press while the browser walks the tree (browseractions.cpp).
    void alternateLoadSelect(int deck);

    // ---- hot cues and loops (hotcueloopactions.cpp)
    void loopInAction(TInfo& e, int deck, int arg);
    void loopOutAction(TInfo& e, int deck, int arg);
    void loopExitAction(TInfo& e, int deck, int arg);
    void autoloopAction(TInfo& e, int deck, int arg);
    void cueMemoryAction(TInfo& e, int deck, int arg);
    void cueDeleteAction(TInfo& e, int deck, int arg);
    void hotCueAction(TInfo& e, int deck, int arg);
    void nextHotCueAction(TInfo& e, int deck, int arg);
    void previousHotCueAction(TInfo& e, int deck, int arg);
    void loopManualAction(TInfo& e, int deck, int arg);
    void autoloopPotAction(TInfo& e, int deck, int arg);
    void selectFxLoopAction(TInfo& e, int deck, int arg);
    void timeFxUpAction(TInfo& e, int deck, int arg);
    void timeFxDownAction(TInfo& e, int deck, int arg);
    void autoloopInAction(TInfo& e, int deck, int arg);
    void selectManualAction(TInfo& e, int deck, int arg);
    void manualLoopAction(TInfo& e, int deck, int arg);
    void hotCueModeAction(TInfo& e, int deck, int arg);
    void pressLength(int deck, int n);
    void stepLength(int deck, bool up);
    void defaultLoop(int deck);
    void stepOrDefault(int deck, bool up);
    void pressHotCue(int deck, int slot);
    void reloop(int deck);

    // ---- pitch, bend, jog wheels and search (pitchjogactions.cpp)
    void modeButtonAction(TInfo& e, int deck, int arg);
    void bendAction(TInfo& e, int deck, int arg);
    void keyLockAction(TInfo& e, int deck, int arg);
    void pitchPotAction(TInfo& e, int deck, int arg);
    void jogAction(TInfo& e, int deck, int arg);
    void jogPressAction(TInfo& e, int deck, int arg);
    void pitchRangeAction(TInfo& e, int deck, int arg);
    void jogModeCycleAction(TInfo& e, int deck, int arg);
    void searchAction(TInfo& e, int deck, int arg);
    void positionAction(TInfo& e, int deck, int arg);
    void shiftAction(TInfo& e, int deck, int arg);

    // ---- mixer (mixeractions.cpp)
    void mixerPotAction(TInfo& e, int deck, int arg);
    void killAction(TInfo& e, int deck, int arg);
    void headphoneAction(TInfo& e, int deck, int arg);
    void phonesSplitAction(TInfo& e, int deck, int arg);
    void headVolumeStepAction(TInfo& e, int deck, int arg);

    // ---- effects, sampler, automix and recording (effectsactions.cpp)
    void effectsPotAction(TInfo& e, int deck, int arg);
    void effectButtonAction(TInfo& e, int deck, int arg);
    void effectBeatAction(TInfo& e, int deck, int arg);
    void effectBeatPotAction(TInfo& e, int deck, int arg);
    void samplerPadAction(TInfo& e, int deck, int arg);
    void plainButtonAction(TInfo& e, int deck, int arg);
    void pressBeat(int deck, int n);
    void stepEffectBeat(int deck, bool up);

    // ---- pad modes and selectors (padactions.cpp)
    void selectorAction(TInfo& e, int deck, int arg);
    void selectModeAction(TInfo& e, int deck, int arg);
    void panelModeAction(TInfo& e, int deck, int arg);
    void genericPadAction(TInfo& e, int deck, int arg);
    void selectCueSamplerAction(TInfo& e, int deck, int arg);
    void cueSamplerPadAction(TInfo& e, int deck, int arg);
    void fxCueSelectAction(TInfo& e, int deck, int arg);
    void fxCuePadAction(TInfo& e, int deck, int arg);
    void setMode(int deck, int mode);
    void restartScroll(int deck);

    // ---- browser navigation (browseractions.cpp)
    void browserAction(TInfo& e, int deck, int arg);
    bool haveSource() const;
    void treeStep(bool down);
    void treeSelect();
    void rowStep(bool down);
    void selectAndFocus();
    void browsePot(const TInfo& e, bool tree);
    void nextPanelView();
    void focusShownPanels();

    std::array<Entry, kCodes> table_{};
    ControllerSurface& surface_;
    DispatcherState& state_;
    ControllerValues& values_;
    ControllerTables& tables_;
};
