#include "mainwindow/logic/statustimer.h"

#include <QStringList>

#include "controllers/dispatch/dispatcherstate.h"
#include "engine/audiobase.h"
#include "engine/carga.h"
#include "engine/hintmailbox.h"
#include "mainwindow/logic/automixwalk.h"
#include "mainwindow/logic/buttonview.h"
#include "mainwindow/logic/deckcontrols.h"
#include "mainwindow/logic/hotcues.h"
#include "mainwindow/logic/labelview.h"

namespace {
void show(ButtonView* b, bool down)
{
    if (b && b->down() != down) b->setDown(down);
}
void text(LabelView* l, const QString& t)
{
    if (l && l->caption() != t) l->setCaption(t);
}
bool isDown(const ButtonView* b) { return b && b->down(); }
}  // namespace

StatusTimer::StatusTimer(DeckControls& deckA, DeckControls& deckB, HintMailbox& mailbox, AutomixWalk& walk,
                         HotCues& cues)
    : a_(deckA), b_(deckB), mailbox_(mailbox), walk_(walk), cues_(cues)
{
}

QString StatusTimer::clockText(const QTime& t, const QLocale& locale)
{
    // the separator the locale puts between hours and minutes
    QString sep = QStringLiteral(":");
    const QString f = locale.timeFormat(QLocale::ShortFormat);
    for (int i = 0; i < f.size(); ++i) {
        const QChar c = f[i];
        if (c == u'h' || c == u'H') {
            int j = i;
            while (j < f.size() && (f[j] == u'h' || f[j] == u'H')) ++j;
            int k = j;
            while (k < f.size() && f[k] != u'm') ++k;
            if (k > j && k < f.size()) sep = f.mid(j, k - j);
            break;
        }
    }
    const auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    return two(t.hour()) + sep + two(t.minute()) + sep + two(t.second());
}

void StatusTimer::deckLights(DeckControls& d)
{
    carga* p = d.player();
    if (!p) return;
    PRecord& r = *p->basseqfx;
    // headphone cue
    show(d.head, p->headphones);
    show(d.headhidden, isDown(d.head));
    // deck texts
    const QString bpm = r.bpm.get(), pitch = r.pitch.get();
    text(d.lbpm, bpm.isEmpty() ? QStringLiteral("000.000") : bpm);
    text(d.lpit, pitch.isEmpty() ? QStringLiteral("00.00") : pitch);
    text(d.lelapsed, r.elapsed.get());
    text(d.lremain, r.remain.get());
    if (hooks.meter) hooks.meter(d.deck, r.remain.get(), r.elapsed.get());
    // reloop
    if (d.loopreloop) {
        const int lit = r.loop || r.freloop ? 1 : 0;
        if (d.loopreloop->tag() != lit) d.loopreloop->setTag(lit);
        show(d.loopreloop, lit == 1);
    }
    // kills
    for (ButtonView* k : {d.kh, d.kb, d.km}) show(k, k && k->tag() != 0);
    // transport
    const TBassStatus st = r.Fstatus;
    if (st == sPlay) {
        show(d.btnplay, true);
        show(d.btncue, false);
        show(d.btnpause, false);
    } else if (st == sPause) {
        show(d.btnplay, false);
        show(d.btnpause, true);
        show(d.btncue, false);
    } else if (st == sStop) {
        show(d.btnplay, false);
        show(d.btnpause, false);
        show(d.btncue, true);
    }
    // the play image blinks while paused, shows while playing or searching
    if (ControlView* img = d.deck == 1 ? imgplay1 : implay2; img && p->rem > 30) {
        const bool on = isDown(d.btnpause) ? (hooks.blink && hooks.blink(d.deck)) : isDown(d.btnplay) || p->ssearch;
        if (img->visible() != on) img->setVisible(on);
    }
    // beat match, key lock, brake, reverse
    if (d.adj) show(d.match, d.deck == 1 ? d.adj->enlace1.load() : d.adj->enlace2.load());
    show(d.key, p->keylock);
    show(d.keyhidden, p->keylock);
    show(d.brake, p->parada);
    show(d.reverse, p->reversing);
    show(d.btnload, false);
    // hot cue modes and buttons
    show(d.memory, d.memorizar);
    show(d.delete_, d.borrar);
    for (size_t i = 0; i < d.cue.size(); ++i) show(d.cue[i], p->cargacue == int(i) + 1);
    // effects: beat buttons, effect buttons and the switch
    if (d.state) {
        const int fx = d.deck == 1 ? d.state->fx1 : d.state->fx2;
        for (size_t i = 0; i < d.beat.size(); ++i) show(d.beat[i], fx == int(i) + 1);
    }
    bool anyfx = false;
    for (ButtonView* e : {d.echo, d.flange, d.wah}) {
        show(e, e && e->tag() == 1);
        anyfx = anyfx || isDown(e);
    }
    if (hooks.fxswitch) hooks.fxswitch(d.deck, anyfx);
    if (d.lfx && d.lfx->visible() != anyfx) d.lfx->setVisible(anyfx);
}

void StatusTimer::tick()
{
    text(Timet, clockText(hooks.now ? hooks.now() : QTime::currentTime(), locale));
    cues_.lucesloop();
    cues_.lucescues();
    deckLights(a_);
    deckLights(b_);
    show(VsButton3, hooks.iskeyboard && hooks.iskeyboard());
    if (hooks.others) hooks.others();
    mailbox();
}

void StatusTimer::mailbox()
{
    QStringList seen;
    for (const QString& word : mailbox_.takeAll()) {
        if (word == QLatin1String("NOKEY") || word == QLatin1String("KEY")) {
            focusWord = word;
            continue;
        }
        if (seen.contains(word)) continue;
        seen << word;
        if (word == QLatin1String("SALVATAG1") || word == QLatin1String("SALVATAG2")) {
            if (hooks.salvatag) hooks.salvatag(word.endsWith(u'1') ? 1 : 2, false);
        } else if (word == QLatin1String("SALVAPUE1") || word == QLatin1String("SALVAPUE2")) {
            if (hooks.salvatag) hooks.salvatag(word.endsWith(u'1') ? 1 : 2, true);
        } else if (word == QLatin1String("ECARGACANCION1") || word == QLatin1String("ECARGACANCION2")) {
            walk_.step(word.endsWith(u'1') ? 1 : 2, true);
        } else if (word == QLatin1String("CARGACANCION1") || word == QLatin1String("CARGACANCION2")) {
            walk_.step(word.endsWith(u'1') ? 1 : 2, false);
        }
        // "SALVABPM" and unknown words: nothing
    }
    if (!focusWord.isEmpty() && hooks.followHint) hooks.followHint(focusWord);
}
