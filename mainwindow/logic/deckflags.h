// One deck's view of the flags the window's handlers share with the controllers
// (DispatcherState): the jog modes, the controller jog drive and bend buttons, the bend light
// texts and the last loop length pressed. Deck A's fields end in 1 or a, deck B's in 2 or b;
// DeckFlags(state, deck) hands out deck's own. UI thread only.
#pragma once

#include "controllers/dispatch/dispatcherstate.h"

struct DeckFlags {
    DeckFlags(DispatcherState& s, int deck)
        : scratching(deck == 1 ? s.scratching : s.scratching2),
          searena(deck == 1 ? s.searena1 : s.searena2),
          fxing(deck == 1 ? s.fxing : s.fxing2),
          tmode(deck == 1 ? s.tmode1 : s.tmode2),
          controlera(deck == 1 ? s.controlera : s.controlerb),
          botonscra(deck == 1 ? s.botonscra : s.botonscrb),
          bcontrolera(deck == 1 ? s.bcontrolera : s.bcontrolerb),
          xvwhel(deck == 1 ? s.xvwhel1 : s.xvwhel2),
          ledbendmas(deck == 1 ? s.ledbendmas1 : s.ledbendmas2),
          ledbendmenos(deck == 1 ? s.ledbendmenos1 : s.ledbendmenos2),
          lo(deck == 1 ? s.lo1 : s.lo2),
          fx(deck == 1 ? s.fx1 : s.fx2)
    {
    }
    bool& scratching;    // scratching / scratching2
    bool& searena;       // searena1 / searena2
    bool& fxing;         // fxing / fxing2
    int& tmode;          // tmode1 / tmode2
    bool& controlera;    // controlera / controlerb
    bool& botonscra;     // botonscra / botonscrb
    bool& bcontrolera;   // bcontrolera / bcontrolerb
    int& xvwhel;         // xvwhel1 / xvwhel2
    bool& ledbendmas;    // ledbendmas1 / ledbendmas2
    bool& ledbendmenos;  // ledbendmenos1 / ledbendmenos2
    int& lo;             // lo1 / lo2
    int& fx;             // fx1 / fx2
};
