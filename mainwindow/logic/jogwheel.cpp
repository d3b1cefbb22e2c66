#include "mainwindow/logic/jogwheel.h"

#include <cmath>

#include "engine/carga.h"
#include "engine/decktime.h"
#include "mainwindow/logic/buttonview.h"
#include "mainwindow/logic/deckcontrols.h"
#include "mainwindow/logic/deckflags.h"
#include "mainwindow/logic/loadsource.h"
#include "mainwindow/logic/positionview.h"
#include "mainwindow/logic/songgrid.h"
#include "mainwindow/logic/transport.h"

namespace {
DispatcherState& flagsOf(DeckControls& d)
{
    static DispatcherState none;
    return d.state ? *d.state : none;
}
bool isDown(const ButtonView* b) { return b && b->down(); }
}  // namespace

JogWheel::JogWheel(DeckControls& deckA, DeckControls& deckB, LoadSource& source, Transport& transport)
    : a_(deckA), b_(deckB), source_(source), transport_(transport)
{
}

double JogWheel::dbCurveValue(double factor, double old, double now)
{
    return factor <= 1 ? now : old - (old - now) / factor;
}

double JogWheel::wheelAngle(double x, double y, double w, double h)
{
    const double dx = x - w / 2, dy = y - h / 2;
    return -(std::atan2(dx, dy) * 180 / M_PI);
}

double JogWheel::seamDelta(double delta)
{
    if (delta > 180) return delta - 360;
    if (delta < -180) return delta + 360;
    return delta;
}

int JogWheel::searchBeats(double newangle, double oldangle)
{
    return int(roundEven(seamDelta(newangle - oldangle))) / 2;
}

int JogWheel::effectsDial(double angle) { return 950 - int(roundEven(angle * 850 / 360)); }

float JogWheel::wrapRotation(float r)
{
    if (r > 360) return 1;
    if (r < 1) return 360;
    return r;
}

void JogWheel::doPlaying()
{
    pass(a_);
    pass(b_);
}

void JogWheel::leaveLoop(DeckControls& d)
{
    carga* p = d.player();
    if (p && p->basseqfx->loop) transport_.leaveLoop(d);
}

void JogWheel::pass(DeckControls& d)
{
    DeckFlags f(flagsOf(d), d.deck);
    JogState& j = d.jog;
    carga* p = d.player();
    if (!(j.botonleft || f.controlera || j.tscratchena || f.botonscra)) {
        // idle: a scratch ends, a bend by wheel is let go
        if (p && p->scratching) {
            p->scratching = false;
            p->SetScratchOff();
        } else if (!f.bcontrolera && (isDown(d.bendmas) || isDown(d.bendmenos))) {
            if (isDown(d.bendmas)) transport_.bendmasMouseUp(d);
            if (isDown(d.bendmenos)) transport_.bendmenosMouseUp(d);
            f.ledbendmas = f.ledbendmenos = false;
        }
        return;
    }
    j.scangle = float(j.angle);
    j.oldangle = j.newangle;
    if (j.botonleft) j.newangle = wheelAngle(j.vrxx, j.vryy, wheelWidth, wheelHeight);
    else j.newangle = hooks.wheelCount ? hooks.wheelCount(d.deck) : j.newangle;
    const double delta = j.newangle - j.oldangle;
    // across the seam the speed of the pass stays what it was
    if (delta >= -180 && delta <= 180) {
        j.a = dbCurveValue(4, j.a, delta);
        j.b = j.a * 10000;
    }
    j.angle = 180 - j.newangle;

    if (f.scratching && !j.tscratchena) {
        if (p) p->SetScratch(j.b);
        leaveLoop(d);
    } else if (j.tscratchena) {
        if (std::abs(j.posini) == std::abs(j.mousex)) {
            j.b = 0;
        } else {
            j.a = dbCurveValue(4, j.a, j.posini - j.mousex);
            j.b = j.a * 10000;
        }
        if (p) p->SetScratch(j.b);
        j.posini = j.mousex;
        leaveLoop(d);
    } else if (f.searena) {
        j.beats = searchBeats(j.newangle, j.oldangle);
        if (j.beats != 0 && p) p->SetPositions(j.beats, 1020);
        j.beats = 0;
    } else if (f.fxing) {
        if (d.wet) d.wet->setPosition(effectsDial(j.angle));
    } else if (p && p->basseqfx->Fstatus == sPlay) {
        if (j.b > 100) {
            if (isDown(d.bendmenos)) transport_.bendmenosMouseUp(d);
            if (!isDown(d.bendmas)) transport_.bendmasMouseDown(d);
            f.ledbendmas = true;
            f.ledbendmenos = false;
        } else if (j.b < -100) {
            if (isDown(d.bendmas)) transport_.bendmasMouseUp(d);
            if (!isDown(d.bendmenos)) transport_.bendmenosMouseDown(d);
            f.ledbendmas = false;
            f.ledbendmenos = true;
        } else {
            if (isDown(d.bendmas)) transport_.bendmasMouseUp(d);
            if (isDown(d.bendmenos)) transport_.bendmenosMouseUp(d);
            f.ledbendmas = f.ledbendmenos = false;
        }
    } else if (!(hooks.nobend && hooks.nobend(d.deck))) {
        if (SongGrid* g = source_.msender) {
            if (j.b < -100 && g->currentRow() > 1) g->setCurrentRow(g->currentRow() - 1);
            if (j.b > 100 && g->currentRow() + 1 < g->rowCount()) g->setCurrentRow(g->currentRow() + 1);
        }
    }
    j.rotacion = wrapRotation(j.rotacion + float(j.angle - j.scangle));
    if (hooks.rotate) hooks.rotate(d.deck, j.rotacion);
}

void JogWheel::wheelMouseDown(DeckControls& d, bool left, int x, int y)
{
    if (!left) return;
    JogState& j = d.jog;
    j.vrxx = x;
    j.vryy = y;
    j.oldangle = wheelAngle(x, y, wheelWidth, wheelHeight);
    j.angle = 180 - j.oldangle;
    j.newangle = j.oldangle;
    j.botonleft = true;
}

void JogWheel::wheelMouseMove(DeckControls& d, int x, int y)
{
    d.jog.vrxx = x;
    d.jog.vryy = y;
}

void JogWheel::wheelMouseUp(DeckControls& d) { d.jog.botonleft = false; }

void JogWheel::displayMouseDown(DeckControls& d, bool left, int x)
{
    if (!left) return;
    d.jog.posini = d.jog.mousex = x;
    d.jog.tscratchena = true;
}

void JogWheel::displayMouseMove(DeckControls& d, int x)
{
    if (d.jog.tscratchena) d.jog.mousex = x;
}

void JogWheel::displayMouseUp(DeckControls& d)
{
    d.jog.tscratchena = false;
    if (carga* p = d.player()) p->SetScratchOff();
}

void JogWheel::actjo(DeckControls& d, int position)
{
    DeckFlags f(flagsOf(d), d.deck);
    if (position != d.jog.vwhel || f.botonscra) {
        d.jog.vwhel = position;
        f.xvwhel = 0;
        return;
    }
    if (++f.xvwhel > 1) {
        f.xvwhel = 0;
        if (f.controlera) {
            f.controlera = false;
            d.jog.tscratchena = false;
        }
    }
}
