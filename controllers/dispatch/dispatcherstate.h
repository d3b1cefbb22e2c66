// The mode and selector state the action families share with each other, with the input routines
// and with the main window's own handlers and timers (jog handling, status timer, lights).
// UI thread only. Deck A's names end in 1 or a, deck B's in 2 or b.
#pragma once

#include <QString>

class DispatcherState {
public:
    // transport
    int revmodea = 127, revmodeb = 127;  // becomes 63 for good after the first alternate reverse press

    // loops, effects and pads
    bool loopmanuala = false, loopmanualb = false;
    int lo1 = 4, lo2 = 4;                // loop length index 1..8
    int fx1 = 3, fx2 = 3;                // effect beat index 1..5
    int LF1 = 0, LF2 = 0;
    int vauta = 0, vautb = 0, vfxa = 0, vfxb = 0;
    int tmode1 = 0, tmode2 = 0;          // jog mode: 0 none, 1 scratch, 2 search, 3 effects
    int selectora = 0, selectorb = 0;    // pad mode
    QString selectatxt = QStringLiteral("A SAMPLER "), selectbtxt = QStringLiteral("B SAMPLER ");
    int selefxloopa = 0, selefxloopb = 0;
    int selecuesama = 0, selecuesamb = 0;
    int seletemrana = 0, seletemranb = 0;
    int selefxmanuala = 0, selefxmanualb = 0;
    bool selefxcuea = false, selefxcueb = false;

    // shift layer and single-deck controllers
    int shifton = 0;
    int mhidcarga = 0, mhidcarga2 = 0;  // MIDI controller 1 / 2 drives deck A (0) or B (1) in single mode
    int hidcarga = 0, hidcarga2 = 0;    // HID controller 1 / 2 likewise

    // controller display texts: the scrolling text of each deck (artist - title, set when a track
    // loads), its scroll position (steps of 0.5), and the fixed-mode "text shown" flags
    QString scroll1, scroll2;
    double scrollpos1 = 0, scrollpos2 = 0;
    int changedis1 = 0, changedis2 = 0;

    // browser
    int seledirectorio = 0;
    QString muevoexplorer = QStringLiteral("FILES");

    // jog wheels and bend, shared with the main loop's jog handling
    bool actjoga = false, actjogb = false;
    bool controlera = false, controlerb = false;
    bool botonscra = false, botonscrb = false;
    bool bcontrolera = false, bcontrolerb = false;
    bool scratching = false, scratching2 = false;
    bool fxing = false, fxing2 = false;
    bool searena1 = false, searena2 = false;
    int xvwhel1 = 0, xvwhel2 = 0;
    int midoldpit1 = 0;
    // bend light texts "0" / "1", kept as flags: true is "1"
    bool ledbendmas1 = false, ledbendmenos1 = false, ledbendmas2 = false, ledbendmenos2 = false;

    // the last light state sent to the MIDI controllers; emptied to resend every light
    QString luces;
};
