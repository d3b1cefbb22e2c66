#include "mainwindow/logic/transport.h"

#include "controllers/dispatch/controllervalues.h"
#include "engine/audiobase.h"
#include "engine/carga.h"
#include "mainwindow/logic/buttonview.h"
#include "mainwindow/logic/deckcontrols.h"
#include "mainwindow/logic/deckflags.h"
#include "mainwindow/logic/labelview.h"
#include "mainwindow/logic/loadsource.h"
#include "mainwindow/logic/positionview.h"
#include "mainwindow/logic/songgrid.h"

namespace {
DispatcherState& flagsOf(DeckControls& d)
{
    static DispatcherState none;  // a deck without controllers keeps its flags here
    return d.state ? *d.state : none;
}
void show(ButtonView* b, bool down)
{
    if (b) b->setDown(down);
}
bool isDown(const ButtonView* b) { return b && b->down(); }
TBassStatus status(carga* p) { return p ? p->basseqfx->Fstatus.load() : sStop; }
}  // namespace

Transport::Transport(DeckControls& deckA, DeckControls& deckB, LoadSource& source)
    : a_(deckA), b_(deckB), source_(source)
{
}

DeckControls& Transport::other(const DeckControls& d) { return d.deck == 1 ? b_ : a_; }

void Transport::leaveLoop(DeckControls& d)
{
    if (carga* p = d.player()) p->loopexit();
    for (ButtonView* b : {d.loopb, d.loopa, d.loopreloop})
        if (b) b->setTag(0);
    if (d.loop > 0) d.loop = 0;
    if (hooks.lucesloop) hooks.lucesloop();
}

// a search by the jog wheel ends: forward again, scratch over
void Transport::endSearch(DeckControls& d, bool clearWheel)
{
    d.jog.tscratchena = false;
    if (clearWheel) d.jog.botonleft = false;
    if (carga* p = d.player()) {
        p->Reverse2(0);
        p->SetScratchOff();
    }
}

void Transport::btnplayMouseDown(DeckControls& d)
{
    DeckFlags f(flagsOf(d), d.deck);
    carga* p = d.player();
    const bool searching = p && p->ssearch;
    if (status(p) == sPause) {
        if (f.scratching && searching) {
            d.jog.tscratchena = false;
            p->ssearch = false;
            endSearch(d, false);
        }
        btnpauseMouseDown(d);
        return;
    }
    if (f.scratching && searching) endSearch(d, true);
    show(d.btnplay, true);
    show(d.btncue, false);
    if (p) {
        p->PlayCue();
        p->ssearch = false;
        p->search = false;
    }
    f.scratching = isDown(d.scratch);
}

void Transport::btnpauseMouseDown(DeckControls& d)
{
    DeckFlags f(flagsOf(d), d.deck);
    carga* p = d.player();
    if (p) p->Pause();
    f.scratching = status(p) == sPause ? true : isDown(d.scratch);
}

void Transport::btncueMouseDown(DeckControls& d)
{
    carga* p = d.player();
    if (p && p->ssearch) {
        btncueClick(d);
        return;
    }
    if (p && p->basseqfx->loop) leaveLoop(d);
    if (p) {
        if (status(p) != sStop) p->Stop();
        else p->Play();
    }
    show(d.btncue, true);
}

void Transport::btncueMouseUp(DeckControls& d)
{
    carga* p = d.player();
    if (status(p) == sPlay) p->Stop();
    show(d.btncue, false);
}

void Transport::btncueClick(DeckControls& d)
{
    DeckFlags f(flagsOf(d), d.deck);
    carga* p = d.player();
    if (f.scratching && p && p->ssearch) {
        d.jog.vwhel = d.jog.xposit = d.jog.beats = d.jog.oldposition = 0;
        endSearch(d, false);
    }
    f.scratching = isDown(d.scratch);
    show(d.btncue, true);
    show(d.btnplay, false);
    if (p) {
        p->Stop();
        p->ssearch = false;
        p->search = false;
        if (p->basseqfx->loop) leaveLoop(d);
    }
    if (d.adj && d.adj->autoenable) {
        d.adj->autoenable = false;
        if (hooks.automixOff) hooks.automixOff();
    }
}

void Transport::reverseMouseDown(DeckControls& d)
{
    if (carga* p = d.player()) p->Reverse2(p->reversing ? 0 : 1);
}

void Transport::brakeMouseDown(DeckControls& d)
{
    carga* p = d.player();
    const int secs = d.adj && d.adj->soundcfg ? d.adj->soundcfg->brake.load() : 0;
    if (!p || secs <= 0) return;
    // the ruler holds the negated rate: rate / (40 x seconds) on each 25 ms tick
    p->brakefreq = float(-p->dmcslider) / float(secs * 40);
    p->brakeperc = p->freqchan.load();
    p->parada = !p->parada;
    if (!p->parada) {
        p->removeparada();
        const int at = d.trackfrequency ? d.trackfrequency->position() : p->slider.load();
        p->SetSlider(at - 1);
        p->SetSlider(at);
    }
}

void Transport::keyMouseDown(DeckControls& d)
{
    if (carga* p = d.player()) p->setkeylock(!p->keylock);
}

void Transport::bendmasMouseDown(DeckControls& d)
{
    carga* p = d.player();
    const TBassStatus st = status(p);
    if (p && st == sPlay) {
        p->pitchbending_on(sMas);
    } else if (p && st == sStop) {
        if (SongGrid* g = source_.msender; g && g->currentRow() + 1 < g->rowCount())
            g->setCurrentRow(g->currentRow() + 1);
    }
    show(d.bendmas, true);
}

void Transport::bendmasMouseUp(DeckControls& d)
{
    if (carga* p = d.player()) p->pitchbending_off();
    show(d.bendmas, false);
}

void Transport::bendmenosMouseDown(DeckControls& d)
{
    carga* p = d.player();
    const TBassStatus st = status(p);
    if (p && st == sPlay) {
        p->pitchbending_on(sMenos);
    } else if (p && st == sStop) {
        if (SongGrid* g = source_.msender; g && g->currentRow() > 1) g->setCurrentRow(g->currentRow() - 1);
    }
    show(d.bendmenos, true);
}

void Transport::bendmenosMouseUp(DeckControls& d)
{
    if (carga* p = d.player()) p->pitchbending_off();
    show(d.bendmenos, false);
}

void Transport::matchMouseDown(DeckControls& d)
{
    carga* p = d.player();
    carga* q = other(d).player();
    if (!p || !q || !d.adj) return;
    if (p->basseqfx->tag[0] < 40 || q->basseqfx->tag[0] < 40) return;
    if (d.deck == 1) d.adj->match1();
    else d.adj->match2();
    show(d.match, d.deck == 1 ? d.adj->enlace1.load() : d.adj->enlace2.load());
}

void Transport::trackfrequencyChange(DeckControls& d)
{
    carga* p = d.player();
    if (!d.trackfrequency || (p && p->parada)) return;
    const int at = d.trackfrequency->position();
    if (p) p->SetSlider(at);
    if (d.values) (d.deck == 1 ? d.values->quorfreq1 : d.values->quorfreq2) = at;
}

void Transport::pitchRange(DeckControls& d, int range)
{
    if (carga* p = d.player()) {
        const int at = p->SetPitchv(range);
        if (p->loaded && d.trackfrequency) {
            // each move runs the slider's change handler
            if (d.trackfrequency->position() == 127) d.trackfrequency->setPosition(126);
            if (d.trackfrequency->position() == 0) d.trackfrequency->setPosition(1);
            d.trackfrequency->setPosition(at);
        }
    }
    if (d.lpitp) d.lpitp->setCaption(QString::number(range) + QLatin1Char('%'));
}

void Transport::seek(DeckControls& d, int x, int width)
{
    if (carga* p = d.player()) p->SetPositionm(x, width);
}

void Transport::showMixerUnlessEffects()
{
    const DispatcherState& s = flagsOf(a_);
    if (!s.fxing && !s.fxing2 && hooks.bmixMouseDown) hooks.bmixMouseDown();
}

void Transport::scratchMouseDown(DeckControls& d)
{
    DeckFlags f(flagsOf(d), d.deck);
    if (!isDown(d.scratch)) {
        f.fxing = f.searena = false;
        show(d.search, false);
        f.scratching = true;
        show(d.effects, false);
        f.tmode = 1;
    } else {
        f.fxing = f.scratching = f.searena = false;
        f.tmode = 0;
    }
    showMixerUnlessEffects();
}

void Transport::searchMouseDown(DeckControls& d)
{
    DeckFlags f(flagsOf(d), d.deck);
    if (!isDown(d.search)) {
        f.fxing = false;
        f.searena = true;
        f.scratching = false;
        show(d.scratch, false);
        show(d.effects, false);
        f.tmode = 2;
    } else {
        f.fxing = f.scratching = f.searena = false;
        f.tmode = 0;
    }
    showMixerUnlessEffects();
}

void Transport::effectsMouseDown(DeckControls& d)
{
    DeckFlags f(flagsOf(d), d.deck);
    if (!isDown(d.effects)) {
        f.fxing = true;
        f.searena = f.scratching = false;
        show(d.scratch, false);
        show(d.search, false);
        f.tmode = 3;
        const bool shown = hooks.bfxDown && hooks.bfxDown();
        const bool wide = hooks.modemax && hooks.modemax();
        if (!shown && !wide && hooks.bfxMouseDown) hooks.bfxMouseDown();
    } else {
        f.fxing = f.scratching = f.searena = false;
        f.tmode = 0;
        showMixerUnlessEffects();
    }
}
