// The mixer's own controls (what belongs to neither deck) as the handlers see them, with the
// engine and the controller values. The deck parts of the mixer (volume, gain, EQ, kills,
// headphone cue and volume) are in DeckControls. UI thread only.
#pragma once

#include <vector>

class ControllerValues;
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
};
