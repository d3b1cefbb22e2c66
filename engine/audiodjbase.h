// State the four deck players, the engine and the sound callbacks share: the decks by
// number, the headphone and recording buses, the routing flags and the three song grids.
// Written by the engine's output set-up, read by the decks on any thread.
#pragma once

#include <array>

#include "engine/shared.h"
#include "platform/sound/sound.h"

class carga;
class Platter;
class SongGridLink;

// ccarga1 .. ccarga4: the deck of number 1..4, nullptr when none.
carga* ccarga(int n);
void setccarga(int n, carga* deck);

extern Shared<int64_t> pausepos;          // last pause position, bytes
extern Shared<bool> usemaster, useheadphones, estagrabando;

// Headphone buses of deck A and B; recording buses of deck A, deck B, sampler 3, sampler 4.
extern Shared<sound::Handle> chanheadphones, chanheadphones2;
extern Shared<sound::Handle> changrabacion, changrabacion2, samgrabacion, samgrabacion2;

// Headphone levels kept by the engine's volheadphones; nothing reads them.
extern Shared<int> headvol1, headvol2;

// Song grids of the Groups, Playlists and Explorer panels (each may be absent).
extern Shared<SongGridLink*> msgfiles, msgplay, msgexplo;

// The platters of deck A and B, stored by the visual step's init; nothing reads them.
extern Shared<Platter*> mdisa, mdisb;

// Rate of the buses and of every deck and output mixer.
constexpr int kBusRate = 44100;
