// The controller mapping tables and the options the definition files set: the fields of the
// main window that the loaders write and the input paths, the dispatcher and the lights read.
// UI thread only; the MIDI tables are rewritten only while that controller's ports are closed.
#pragma once

#include <array>
#include <vector>

#include "controllers/mappingentry.h"
#include "controllers/thiddisplay.h"
#include "controllers/tmiddisplay.h"

class TOstrelHid;

class ControllerTables {
public:
    static constexpr int kMidiEntries = 65536;  // indexed by MIDI key (input) or output code (output)
    static constexpr int kKeyEntries = 256;     // one per virtual-key code
    static constexpr int kHidEntries = 521;     // HID tables: 0..520, above 300 deck B's layer
    using HidTable = std::array<MappingEntry, kHidEntries>;

    ControllerTables();

    // MIDI controller 1 and 2: input tables by MIDI key, output tables by output code
    std::vector<MappingEntry> midiinbut, midiourec, midiinbut2, midiourec2;
    // the keyboard map, by virtual-key code
    std::array<MappingEntry, kKeyEntries> keyinbut{};
    // HID controller 1 and 2: buttons by button number, value bytes by data byte position, lights
    // by output code (hidourec: [0] the light position) and by light position (hidourec2: [0] the
    // output code)
    HidTable hidinbut{}, hidinpot{}, hidourec{}, hidourec2{};
    HidTable hid2inbut{}, hid2inpot{}, hid2ourec{}, hid2ourec2{};
    THidDisplay hd, hd2;
    int CHARDISPLAY1 = 0, CHARDISPLAY2 = 0;  // the HID controller has a character display
    // the HID drivers, while the window has them (from the first activation to the close)
    TOstrelHid* hidcontrol1 = nullptr;
    TOstrelHid* Hidcontrol2 = nullptr;

    int ajustea = 0, ajusteb = 0;      // jog adjustment of deck A / B (below 1: every movement acts)
    bool nobenda = false, nobendb = false;  // the jog wheel does not move the song list's selection
    int delchana = 0, delchanb = 0;    // status whose lights controller 1 / 2's set-up switches off
    bool showleds = false, showleds2 = false;  // resend the lights at every light tick
    int midmodo1 = 0;                  // controller mode of the last "MODO" row, MIDI or HID
    int MCHARDISPLAY1 = 0;             // MIDI character display switch
    TMidDisplay hdm, hdm2;
};
