// The mixer's own controls (what belongs to neither deck) as the handlers see them, with the
// engine and the controller values, and the mixer's handlers. The deck parts of the mixer
// (volume, gain, EQ, kills, headphone cue and volume) are in DeckControls; their handlers take
// the deck (trackvolumeChange for deck A's, trackvolume2Change for deck B's). A change handler
// runs after the control moved; it applies the position and stores the controller copy.
// UI thread only.
#pragma once

#include <functional>
#include <vector>

#include <QString>

class ControllerValues;
class DeckControls;
class PositionView;
class audiobase;

class MixerControls {
public:
    audiobase* adj = nullptr;
    ControllerValues* values = nullptr;

    PositionView* crossfader = nullptr;
    PositionView* volrec = nullptr;

    // binding table: control name and member
    struct Slot {
        const char* name;
        PositionView* MixerControls::*member;
    };
    static const std::vector<Slot>& positionSlots()
    {
        static const std::vector<Slot> table = {{"crossfader", &MixerControls::crossfader},
                                                {"volrec", &MixerControls::volrec}};
        return table;
    }

    // trackvolumeChange / trackvolume2Change: deck volume position x 127 div 100 (the deck
    // clamps it to 100, so 79 and above play at full volume); quorvol1 / quorvol2.
    void trackvolumeChange(DeckControls& d);
    // quorcross, then the engine's crossfader.
    void crossfaderChange();
    // The crossfader's position applied once at the end of start-up, so that the engine's
    // equal-value test never skips a first move (to 0, the engine's start value).
    void applyCrossfader();
    // gain1Change / gain2Change: gain and the three bands to the deck unless a load holds them
    // off (diseq); the copy of the sender's dial by its name ("tre1", "mid1", "bas1", "gain1";
    // deck B's end in 2). Any other sender (the window) stores no copy.
    void gainChange(DeckControls& d, const QString& sender);
    // the +/- buttons beside a dial (g1mas, h1menos, ...): the dial one step on, then the
    // deck's EQ handler with the window as sender
    void stepDial(DeckControls& d, PositionView* dial, int step);
    // kh1 / km1 / kb1 (deck B kh2 / km2 / kb2): the switch's Tag toggles, the deck's kill flag
    // follows it and gain and bands are applied again
    enum class Band { treble, mid, bass };
    void killMouseDown(DeckControls& d, Band band);
    // headaMouseDown / headbMouseDown: the deck's headphone cue on, the other's off; the cued
    // deck becomes the one single-deck controller layers drive
    void headMouseDown(DeckControls& d, DeckControls& other);
    // volhead1Change / volhead2Change
    void volheadChange(DeckControls& d);

    // Whether a MIDI controller's display layout mode is 0 (then every MIDI light is sent
    // again after a headphone change); empty: none is.
    std::function<bool()> midiDisplayModeZero;
};
