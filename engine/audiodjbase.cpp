#include "engine/audiodjbase.h"

namespace {
std::array<Shared<carga*>, 5> decks{};
}

carga* ccarga(int n) { return n >= 1 && n <= 4 ? decks[n].load() : nullptr; }
void setccarga(int n, carga* deck)
{
    if (n >= 1 && n <= 4) decks[n] = deck;
}

Shared<int64_t> pausepos;
Shared<bool> usemaster, useheadphones, estagrabando;
Shared<sound::Handle> chanheadphones, chanheadphones2;
Shared<sound::Handle> changrabacion, changrabacion2, samgrabacion, samgrabacion2;
Shared<SongGridLink*> msgfiles, msgplay, msgexplo;
Shared<int> headvol1, headvol2;
Shared<Platter*> mdisa, mdisb;
