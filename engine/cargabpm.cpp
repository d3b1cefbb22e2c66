// Deck player: the tempo of the whole file on a scan of its own.
#include "engine/audiodjbase.h"
#include "engine/bpmresult.h"
#include "engine/carga.h"
#include "engine/decktemposcan.h"

void carga::CalculaBPM()
{
    if (!loaded) return;
    // the deck tick takes the result over as it takes the peaks worker's
    bpmscan_->start(filename, &carga::GetBPM_Process, [this](float bpm) {
        GetBPM_Process(0, 0);
        wdpics[0] = bpm > 0 ? double(bpmresult::fold(bpm)) : double(bpmresult::kNoTempo);
    });
}

void carga::GetBPM_Process(sound::Handle, float percent)
{
    if (carga* a = ccarga(1)) a->wdpics[1] = percent;
}
