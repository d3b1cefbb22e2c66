// Deck player: the 25 ms tick (end guards, state mirror, tempo hand-over, progress, time
// texts, bend, loop arming, brake).
#include <cmath>

#include "engine/audiodjbase.h"
#include "engine/carga.h"
#include "engine/decklibrary.h"
#include "engine/decktime.h"
#include "engine/microsf.h"
#include "engine/progressview.h"
#include "engine/songgridlink.h"

namespace {
constexpr int64_t kEndGuard = 50000;
}

void carga::dame_tiempo()
{
    PRecord& r = *basseqfx;
    int left = -1;
    r.remain = decode_time(r.lengthms - r.tiempopos, 'R', &left);
    rem = left;
    r.elapsed = decode_time(r.tiempopos, 'E');
}

void carga::fchangetimerTimer()
{
    if (!loaded) return;
    PRecord& r = *basseqfx;
    const bool sampler = ncarga == 3 || ncarga == 4;

    const int64_t pos = Getposition();
    if (freq > 0) r.tiempopos = roundEven(pos / (freq * 4.0) * 1000);

    if (r.Fstatus == sPlay) {
        if (sampler) {
            // a pad plays its sample to the end
            if (r.tiempopcm >= r.length) {
                if (cargacue == 0) fcue1 = 0;
                Stop();
            }
        } else if (r.tiempopcm >= r.length - kEndGuard) {
            if (reversing) {
                Reverse2(0);
                SetPosition(100);
            }
            if (cargacue == 0) fcue1 = 0;
            Stop();
        }
    }
    if (r.tiempopcm <= 1 && r.Fstatus == sPlay && reversing) {
        Reverse2(0);
        SetPosition(1);
    }
    if (!sampler) {
        const TBassStatus st = r.Fstatus;
        if ((st == sStop || st == sPlay || st == sPause) && r.oldlstatus != st) r.oldlstatus = st;
    }
    bpmHandOver();
    const double cell1 = wdpics[1];
    if (progress) {
        progress->setVisible(cell1 > 0);
        progress->setPosition(cell1 > 0 ? static_cast<int>(roundEven(cell1)) : 0);
    }
    dame_tiempo();
    bendStep();
    if (syncnow && r.loop && r.tiempopcm < syncloop[1]) {
        removeLoopSyncs();
        Setloops(ncarga);
        syncnow = false;
    }
    brakeStep();
}

void carga::bpmHandOver()
{
    PRecord& r = *basseqfx;
    const double found = wdpics[0];
    if (found <= 0) return;
    fbpm = found;
    wdpics[0] = 0;
    wdpics[1] = 0;
    r.tag[0] = found;
    SetDmcSlider(dmcslider);
    const QString file = filename;
    if (mquorsql) mquorsql->salvatag(r, file);
    for (SongGridLink* grid : {msgfiles.load(), msgplay.load(), msgexplo.load()}) writeDeckRows(grid, r, file);
}
