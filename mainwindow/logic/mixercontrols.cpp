#include "mainwindow/logic/mixercontrols.h"

#include "controllers/dispatch/controllervalues.h"
#include "controllers/dispatch/dispatcherstate.h"
#include "engine/audiobase.h"
#include "engine/carga.h"
#include "mainwindow/logic/buttonview.h"
#include "mainwindow/logic/deckcontrols.h"
#include "mainwindow/logic/positionview.h"

namespace {
int at(const PositionView* v, int otherwise) { return v ? v->position() : otherwise; }
}  // namespace

void MixerControls::trackvolumeChange(DeckControls& d)
{
    if (!d.trackvolume) return;
    const int p = d.trackvolume->position();
    if (carga* c = d.player()) c->SetVolume(p * 127 / 100);
    if (d.values) (d.deck == 1 ? d.values->quorvol1 : d.values->quorvol2) = p;
}

void MixerControls::crossfaderChange()
{
    if (!crossfader) return;
    const int p = crossfader->position();
    if (values) values->quorcross = p;
    if (adj) adj->setcrossfader(p);
}

void MixerControls::applyCrossfader()
{
    if (!crossfader || !adj) return;
    // the engine skips a position equal to the one it holds: move it off first
    const int p = crossfader->position();
    adj->setcrossfader(p == 0 ? 1 : 0);
    crossfaderChange();
}

void MixerControls::gainChange(DeckControls& d, const QString& sender)
{
    if (carga* c = d.player(); c && !d.diseq) {
        c->SetfGain(at(d.gain, 10));
        c->Setfbas(at(d.bas, 15) - 15);
        c->Setfmid(at(d.mid, 15) - 15);
        c->Setftre(at(d.tre, 15) - 15);
    }
    if (!d.values) return;
    ControllerValues& v = *d.values;
    const bool a = d.deck == 1;
    if (sender == QLatin1String(d.name("tre1", "tre2"))) (a ? v.quortre1 : v.quortre2) = at(d.tre, 15);
    else if (sender == QLatin1String(d.name("mid1", "mid2"))) (a ? v.quormid1 : v.quormid2) = at(d.mid, 15);
    else if (sender == QLatin1String(d.name("bas1", "bas2"))) (a ? v.quorbass1 : v.quorbass2) = at(d.bas, 15);
    else if (sender == QLatin1String(d.name("gain1", "gain2"))) (a ? v.quorgain1 : v.quorgain2) = at(d.gain, 10);
}

void MixerControls::stepDial(DeckControls& d, PositionView* dial, int step)
{
    if (dial) dial->setPosition(dial->position() + step);
    gainChange(d, QString());
}

void MixerControls::killMouseDown(DeckControls& d, Band band)
{
    ButtonView* sw = band == Band::treble ? d.kh : band == Band::mid ? d.km : d.kb;
    if (!sw) return;
    sw->setTag(sw->tag() == 0 ? 1 : 0);
    if (carga* c = d.player()) {
        Shared<bool>& flag = band == Band::treble ? c->kt : band == Band::mid ? c->km : c->kb;
        flag = sw->tag() == 1;
    }
    gainChange(d, QString());
}

void MixerControls::headMouseDown(DeckControls& d, DeckControls& other)
{
    if (adj) {
        adj->setheadphones(true, d.deck);
        adj->setheadphones(false, other.deck);
    }
    if (d.head) d.head->setDown(true);
    if (other.head) other.head->setDown(false);
    if (DispatcherState* s = d.state) {
        (d.deck == 1 ? s->scrollpos1 : s->scrollpos2) = 0;
        if (midiDisplayModeZero && midiDisplayModeZero()) s->luces.clear();
        carga* c = d.player();
        const bool cued = c && c->headphones;
        // deck A's button: deck A (0) when its cue is on; deck B's: deck B (1) when its is
        const int drives = d.deck == 1 ? (cued ? 0 : 1) : (cued ? 1 : 0);
        s->hidcarga = drives;
        s->mhidcarga = drives;
    }
}

void MixerControls::volheadChange(DeckControls& d)
{
    if (!d.volhead) return;
    const int p = d.volhead->position();
    if (carga* c = d.player()) c->SetVolHead(p);
    if (d.values) (d.deck == 1 ? d.values->quorheada : d.values->quorheadb) = p;
}
