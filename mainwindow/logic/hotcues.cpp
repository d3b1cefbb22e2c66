#include "mainwindow/logic/hotcues.h"

#include "controllers/dispatch/dispatcherstate.h"
#include "engine/carga.h"
#include "engine/decktime.h"
#include "mainwindow/logic/buttonview.h"
#include "mainwindow/logic/deckcontrols.h"
#include "mainwindow/logic/songgrid.h"

namespace {
void show(ButtonView* b, bool down)
{
    if (b && b->down() != down) b->setDown(down);
}
void tag(ButtonView* b, int t)
{
    if (b) b->setTag(t);
}
int tagOf(const ButtonView* b) { return b ? b->tag() : 0; }
bool looping(carga* p) { return p && p->basseqfx->loop; }
}  // namespace

HotCues::HotCues(DeckControls& deckA, DeckControls& deckB) : a_(deckA), b_(deckB) {}

double HotCues::beatsOf(int n)
{
    static const double beats[] = {0.25, 0.5, 1, 2, 4, 8, 16, 32};
    return n >= 1 && n <= 8 ? beats[n - 1] : 0;
}

QString HotCues::cueGraphic(int deck, int slot, int look)
{
    static const char* const forms[2][3] = {{"cb", "ca", "cr"}, {"cbv", "cav", "crv"}};
    return QStringLiteral("%1%2.bmp").arg(QLatin1String(forms[deck == 2 ? 1 : 0][look])).arg(slot);
}

void HotCues::lights()
{
    lucescues();
    lucesloop();
}

void HotCues::memoryMouseDown(DeckControls& d)
{
    d.memorizar = !d.memorizar;
    if (d.memorizar) d.borrar = false;
}

void HotCues::deleteMouseDown(DeckControls& d)
{
    d.borrar = !d.borrar;
    if (d.borrar) d.memorizar = false;
}

void HotCues::cueMouseDown(DeckControls& d, int n)
{
    carga* p = d.player();
    if (!p || n < 1 || n > 6) return;
    PRecord& r = *p->basseqfx;
    const bool hot = d.nhcue && d.nhcue->down();
    if (d.memorizar) {
        double A = double(r.tiempopcm.load()), B = 0;
        if (r.loop) {
            A = double(p->syncloop[0].load());
            B = double(p->syncloop[1].load());
        }
        r.tag[n] = A;
        r.tag[n + 6] = B;
        d.memorizar = false;
        if (hooks.salvacues) hooks.salvacues(d.deck);
        p->actcues();
        p->cargacue = n;
        if (r.Fstatus != sPlay) p->Stop();
        lights();
        return;
    }
    if (d.borrar) {
        r.tag[n] = 0;
        r.tag[n + 6] = 0;
        d.borrar = false;
        p->actcues();
        if (hooks.salvacues) hooks.salvacues(d.deck);
        p->cargacue = n;
        lights();
        return;
    }
    const double A = r.tag[n], B = r.tag[n + 6];
    p->syncloop[0] = roundEven(A);
    p->syncloop[1] = roundEven(B);
    if (r.loop) p->loopexit();
    p->cargacue = n;
    p->fcue1 = roundEven(A);
    tag(d.loopa, 0);
    tag(d.loopb, 0);
    // starts the stored loop at its start and lights both loop buttons when it runs
    auto startLoop = [&] {
        p->syncloop[0] = roundEven(A);
        p->syncloop[1] = roundEven(B);
        p->actcues();
        p->loopexit();
    };
    const TBassStatus st = r.Fstatus;
    if (st == sPlay) {
        if (B == 0) {
            p->SetPosition(roundEven(A));
            if (!hot) p->Stop();
        } else {
            p->Stop();
            p->SetPosition(0);
            p->SetPosition(roundEven(A));
            startLoop();
            if (hot) p->Play();
            if (r.loop) {
                tag(d.loopa, 1);
                tag(d.loopb, 1);
            }
        }
    } else if (st == sStop) {
        p->Stop();
        if (B == 0) {
            if (hot && hooks.btnplayMouseDown) hooks.btnplayMouseDown(d);
            else if (!hot) p->Stop();
        } else if (B - A > shortestHotLoop(d.deck)) {
            startLoop();
            if (r.loop) {
                tag(d.loopa, 1);
                tag(d.loopb, 1);
            }
            if (hot && hooks.btnplayMouseDown) hooks.btnplayMouseDown(d);
            else if (!hot) p->Stop();
        }
    } else {
        p->Stop();
    }
    lights();
}

void HotCues::loopaMouseDown(DeckControls& d)
{
    carga* p = d.player();
    if (tagOf(d.loopa) == 1) {
        tag(d.loopa, 0);
        if (p) p->loopexit();
    } else {
        tag(d.loopa, 1);
        if (p) p->loopmenos();
        tag(d.loopb, 0);
    }
}

void HotCues::loopbMouseDown(DeckControls& d)
{
    carga* p = d.player();
    if (tagOf(d.loopb) == 1) {
        tag(d.loopb, 0);
        if (p) p->loopexit();
    } else {
        tag(d.loopb, 1);
        if (p) p->loopmas();
        tag(d.loopa, 1);
    }
}

void HotCues::loopreloopMouseDown(DeckControls& d)
{
    carga* p = d.player();
    if (p) p->loopexit();
    const int lit = looping(p) ? 1 : 0;
    tag(d.loopa, lit);
    tag(d.loopb, lit);
    if (!lit && d.loop > 0) d.loop = 0;
}

void HotCues::loopLengthMouseDown(DeckControls& d, int n)
{
    carga* p = d.player();
    if (!p || p->basseqfx->tag[0] < 40 || n < 1 || n > 8) return;
    if (d.state) (d.deck == 1 ? d.state->lo1 : d.state->lo2) = n;
    ButtonView* sender = d.looplength[size_t(n - 1)];
    if (n == d.loop) show(sender, true);
    else d.loop = n;
    tag(d.loopa, 1);
    tag(d.loopb, 1);
    for (ButtonView* b : d.looplength) show(b, tagOf(b) == d.loop);
    p->loop4(beatsOf(n));
    show(sender, true);
    if (looping(p)) tag(d.loopreloop, 0);
}

void HotCues::loopLengthMouseUp(DeckControls& d, int n)
{
    if (n >= 1 && n <= 8) show(d.looplength[size_t(n - 1)], true);
}

void HotCues::lucescues()
{
    for (DeckControls* d : {&a_, &b_}) {
        carga* p = d->player();
        if (!p) continue;
        for (int n = 1; n <= 6; ++n) {
            ButtonView* b = d->cue[size_t(n - 1)];
            const double A = p->basseqfx->tag[n], B = p->basseqfx->tag[n + 6];
            if (!b || A < 0) continue;
            const QString g = cueGraphic(d->deck, n, A == 0 ? 0 : B == 0 ? 1 : 2);
            if (b->graphicName() != g) b->setGraphicName(g);
        }
    }
}

void HotCues::lucesloop()
{
    for (DeckControls* d : {&a_, &b_}) {
        for (ButtonView* b : {d->loopa, d->loopb, d->loopreloop}) show(b, tagOf(b) != 0);
        for (size_t i = 0; i < d->looplength.size(); ++i) show(d->looplength[i], tagOf(d->looplength[i]) == d->loop);
    }
}

void refreshCueRows(SongGrid& grid, const QString& file, const PRecord& deck)
{
    if (file.isEmpty()) return;
    for (int r = 1; r < grid.rowCount(); ++r) {
        if (grid.cell(gridcol::path, r) != file) continue;
        for (int slot = tagslot::cue1; slot <= tagslot::cue11; ++slot)
            grid.setCell(tagSlotColumn(slot), r, QString::number(roundEven(deck.tag[size_t(slot)])));
    }
}
