// The status timer Timer1 (50 ms) and the Hint mailbox: clock, deck texts, lights, and every
// mailbox word taken in order (StatusTimer), with the automix walk (AutomixWalk). The
// controllers' keyboard follows the last focus word seen (set->keyboard.followHint).
#include "controllers/controllerset.h"
#include "engine/audiobase.h"
#include "engine/carga.h"
#include "mainwindow/explorerpanelview.h"
#include "mainwindow/songpanelviews.h"
#include "mainwindow/logic/buttonview.h"
#include "mainwindow/logic/automixswitch.h"
#include "mainwindow/tform1.h"
#include "snkins/quor/tjvswitch2.h"
#include "snkins/vr/tvrquorangularmeter.h"

void Tform1::Timer1Timer()
{
    if (!walk.playlist && ep3) walk.playlist = ep3->grid();
    // the walk advances the numbers the automix switch set when automix started
    if (automix) {
        walk.cpn = &automix->CURRENTPLAYNUMBER;
        walk.found = &automix->currentplayfinded;
    }
    status.tick();
}

void Tform1::wireStatus()
{
    status.Timet = labelView(QStringLiteral("Timet"));
    status.VsButton3 = buttonView(QStringLiteral("VsButton3"));
    status.imgplay1 = controlView(QStringLiteral("imgplay1"));
    status.implay2 = controlView(QStringLiteral("implay2"));
    status.hooks.iskeyboard = [this] { return set && set->keyboard.iskeyboard; };
    status.hooks.followHint = [this](const QString& word) {
        if (set) set->keyboard.followHint(word);
    };
    status.hooks.blink = [this](int deck) { return deck == 1 ? loop.blinka : loop.blinkb; };
    // until the panels' own widgets land, a refresh is the cues' one: the database rows and
    // the rows of the bare grids
    status.hooks.salvatag = [this](int deck, bool) { salvacues(deck); };
    status.hooks.fxswitch = [this](int deck, bool on) {
        if (auto* s = get<Tjvswitch2>(QLatin1String(deck == 1 ? "fxa" : "fxb")); s && s->StateOn() != on)
            s->setStateOn(on);
    };
    status.hooks.meter = [this](int deck, const QString& remain, const QString& elapsed) {
        if (auto* vu = get<TVrQuorAngularMeter>(QLatin1String(deck == 1 ? "vu1" : "vu2"))) {
            vu->setremain(remain);
            vu->setelapsed(elapsed);
        }
    };
    status.hooks.others = [this] {
        // the samplers: the stop pad lit while a sampler plays, let go when it has stopped; the
        // pad last pressed lit while it plays
        for (int n = 0; n < 2; ++n) {
            SamplerControls::Side& s = samplers.side[size_t(n)];
            const bool plays = s.player && s.player->playing();
            if (plays) {
                if (s.stop && !s.stop->down()) s.stop->setDown(true);
                s.playing = true;
            } else {
                if (s.stop && s.stop->down()) {
                    if (n == 0) vl7MouseDown(this, Qt::LeftButton, Qt::NoModifier, 1, 1);
                    else vr7MouseDown(this, Qt::LeftButton, Qt::NoModifier, 1, 1);
                    s.stop->setDown(false);
                }
                s.playing = false;
            }
            if (plays && s.selected >= 1 && s.selected <= 6)
                if (ButtonView* pad = s.pads[size_t(s.selected - 1)]; pad && !pad->down()) pad->setDown(true);
        }
        // the recording button and the centre views' buttons
        if (ButtonView* rec = buttonView(QStringLiteral("REC")); rec && adj && rec->down() != adj->grabando.load())
            rec->setDown(adj->grabando);
        for (const char* name : {"bmix", "bsampler", "bfx", "bax"})
            if (ButtonView* b = buttonView(QLatin1String(name)); b && b->down() != (b->tag() != 0)) b->setDown(b->tag() != 0);
        if (ButtonView* b = buttonView(QStringLiteral("bconfig")); b && b->down()) b->setDown(false);
    };

    walk.playlist = ep3 ? ep3->grid() : nullptr;
    walk.laut_t1 = labelView(QStringLiteral("laut_t1"));
    walk.laut_t2 = labelView(QStringLiteral("laut_t2"));
    walk.hooks.btnloadMouseDown = [this](int deck) {
        if (deck == 1) btnload1MouseDown(this, Qt::LeftButton, Qt::NoModifier, 1, 1);
        else btnload2MouseDown(this, Qt::LeftButton, Qt::NoModifier, 1, 1);
    };
    walk.hooks.automixOff = [this] { automixOff(); };
}
