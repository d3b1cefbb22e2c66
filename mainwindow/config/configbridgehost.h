// What the configuration bridge asks of the main window: its configuration button, the MIDI
// ports and HID drivers, the configuration row, the skin, the presets, the outputs and the key
// lock buttons. Tform1 gives it; tests record the calls.
#pragma once

#include <functional>

class PSoundConfig;

class ConfigBridgeHost {
  public:
    virtual ~ConfigBridgeHost() = default;

    virtual PSoundConfig& soundcfg() = 0;
    // the configuration button shows "tconfigon.bmp" (open) or "tconfigoff.bmp", released
    virtual bool configButtonOpen() const = 0;
    virtual void setConfigButton(bool open) = 0;

    // Creates the dialog (its creation steps run); showDialog shows it window-modal and returns
    // at once; `closed` runs once it has closed, with cambioskin.
    virtual void createDialog() = 0;
    virtual void showDialog(std::function<void(bool cambioskin)> closed) = 0;

    // the first activation's dialog: the splash goes before it, the window comes to the front after
    virtual void hideSplash() = 0;
    virtual void raiseWindow() = 0;

    // MidiOutput1, MidiInput1, MidiOutput2, MidiInput2 closed
    virtual void closeMidiPorts() = 0;
    // MidiInput1 and MidiInput2 replaced by new, closed input port objects
    virtual void replaceMidiInputs() = 0;
    // CHARDISPLAY1, CHARDISPLAY2, changedis1, changedis2 := 0 (the HID displays)
    virtual void resetDisplays() = 0;
    // changedis1, changedis2 := 0
    virtual void resetDisplayCounters() = 0;

    virtual void writeRow() = 0;     // Tmsql.graboconfig(soundcfg)
    virtual void asignoconfig() = 0; // Tform1.asignoconfig
    // both MIDI controllers set up from portconin / portconin2, "-" included
    virtual void setUpMidi() = 0;
    // each HID controller whose driver exists: set up for porthid / porthid2, or switched off
    virtual void setUpHid() = 0;
    virtual void clearLights() = 0;          // luces := empty
    virtual void changeSkin() = 0;           // the skin change with the splash, maximizo, the view Tags
    virtual void applyPreset(int level) = 0; // higp 0, medp 1, lowp 2
    virtual bool stoppedcarga() const = 0;
    virtual void restartOutput(bool alsa) = 0; // desinitds (ALSA) or desinitasio (JACK)
    virtual void playcargas() = 0;
    virtual void enableKeylock(bool on) = 0; // key1, key2
};
