// The visual step: set-up, the schedule, the paint events, positions and the deck meters.
// The waveform and overview drawing is in tvisualeswave.cpp, the spectrum view in
// tvisualesspectrum.cpp.
#include "engine/visual/tvisuales.h"

#include <algorithm>
#include <climits>

#include <QPointer>
#include <QThread>
#include <QTimer>

#include "engine/audiodjbase.h"
#include "engine/carga.h"
#include "engine/decktime.h"
#include "engine/dib/tdibultra.h"
#include "engine/precord.h"
#include "engine/progressview.h"
#include "engine/visual/cuestrip.h"
#include "engine/visual/levelbar.h"
#include "engine/visual/needlemeter.h"
#include "engine/visual/paintbox.h"
#include "engine/visual/peaklamp.h"
#include "engine/visual/platter.h"
#include "engine/visual/shownimage.h"
#include "engine/visual/textlabel.h"
#include "engine/visual/tvisualesdeck.h"

namespace {

// The deck player whose record this is (the decks register themselves by number).
carga* playerOf(const PRecord* r)
{
    if (!r) return nullptr;
    for (int n = 1; n <= 4; ++n)
        if (carga* c = ccarga(n); c && c->basseqfx == r) return c;
    return nullptr;
}

std::unique_ptr<TDIBUltra> boxSurface(PaintBox* box, TColor brush)
{
    if (!box) return nullptr;
    const int w = std::max(box->Width(), 1), h = std::max(box->Height(), 1);
    auto s = std::make_unique<TDIBUltra>(w, h, DUpf24);
    s->SetClipRect({0, 0, w, h});
    s->SetBrhColor(brush);
    s->NotLast = true;
    s->FillRect(s->ClpRect);
    return s;
}

std::unique_ptr<TDIBUltra> background(const std::shared_ptr<TDIBUltra>& bmp)
{
    auto s = std::make_unique<TDIBUltra>(std::max(bmp->DIBWidth, 1), std::max(bmp->DIBHeight, 1), DUpf16);
    s->Cnv.BitBlt(0, 0, bmp->DIBWidth, bmp->DIBHeight, bmp->Cnv, 0, 0);
    return s;
}

int clampInt(int64_t v) { return int(std::clamp<int64_t>(v, INT_MIN / 2, INT_MAX / 2)); }

}  // namespace

TVisuales::TVisuales(QObject* parent) : QObject(parent), timer_(new QTimer(this))
{
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(dormir_);
    QObject::connect(timer_, &QTimer::timeout, this, [this] { muevelo(); });
    FFTFata2.fill(0.0f);
}

TVisuales::~TVisuales() = default;

bool TVisuales::running() const { return timer_->isActive(); }

void TVisuales::init(PRecord* deckA, PRecord* deckB)
{
    dib1 = boxSurface(paintbox1, cg[0]);
    dib1p = boxSurface(paintboxp1, cp[0]);
    dib2 = boxSurface(paintbox2, cg[0]);
    dib2p = boxSurface(paintboxp2, cp[0]);

    if (!bmp1 || !bmp2 || !bmp3) bmpfondo = false;
    if (bmpfondo) {
        dibf1 = background(bmp1);
        dibf2 = background(bmp2);
        dibf3 = background(bmp3);
    }

    // a box may outlive the step: its paint event then only shows what it has
    const QPointer<TVisuales> self(this);
    auto bind = [&](PaintBox* box, void (TVisuales::*handler)()) {
        if (box) box->OnPaint = [self, handler] {
            if (self) (self.data()->*handler)();
        };
    };
    bind(paintbox1, &TVisuales::spaint1);
    bind(paintboxp1, &TVisuales::spaint1p);
    bind(paintbox2, &TVisuales::spaint2);
    bind(paintboxp2, &TVisuales::spaint2p);

    ox1 = deckA;
    ox2 = deckB;
    if (xdispa) mdisa = xdispa;
    if (xdispb) mdisb = xdispb;

    auto spectrum = [this](PaintBox* box, TColor pen) {
        auto s = std::make_unique<TSpectrum>(box ? box->Width() : 1, box ? box->Height() : 1);
        s->DrawType = 1;
        s->SpecHeight = 40;
        s->DrawRes = 2;
        s->ColWidth = 15;
        s->ShowPeak = true;
        s->BkgColor = cg[0];
        s->PenColor = pen;
        return s;
    };
    mspectrum = spectrum(paintbox1, cg[2]);
    mspectrum2 = spectrum(paintbox2, cg[3]);

    dormir_ = 2;
    timer_->setInterval(dormir_);
    if (visualing) timer_->start();
}

void TVisuales::muevelo()
{
    if (QThread::currentThread() != thread()) {
        // the peaks workers' progress: the step runs on the display's thread, nobody waits
        QMetaObject::invokeMethod(this, [this] { step(); }, Qt::QueuedConnection);
        return;
    }
    step();
}

void TVisuales::step()
{
    if (uno) {
        moveit2();
        uno = false;
    } else {
        moveit();
        uno = true;
    }
}

void TVisuales::setdisplayspec(bool valor)
{
    displayspec = valor;
    if (valor) {
        for (ProgressView* p : {pro1, pro2})
            if (p) p->setVisible(true);
        for (CueStrip* c : {imgcues1, imgcues2})
            if (c) c->Clear();
        dormir_ = 25;
    } else {
        for (ProgressView* p : {pro1, pro2})
            if (p) p->setVisible(false);
        dormir_ = 2;
    }
    timer_->setInterval(dormir_);
}

void TVisuales::suspender()
{
    posit = 0;
    visualing = false;
    if (QThread::currentThread() == thread()) timer_->stop();
    else QMetaObject::invokeMethod(timer_, &QTimer::stop, Qt::QueuedConnection);
}

// ------------------------------------------------------------------------------------------
// Paint events

void TVisuales::paintSurface(TDIBUltra* surface, PaintBox* box)
{
    if (!surface || !box) return;
    const int w = box->Width(), h = box->Height();
    if (w <= 0 || h <= 0) return;
    surface->BufferDim(w, h);
    surface->DrawOn({0, 0, w, h}, box->Canvas(), 0, 0);
    surface->BufferOf(box);
}

void TVisuales::spaint1() { paintSurface(dib1.get(), paintbox1); }
void TVisuales::spaint1p() { paintSurface(dib1p.get(), paintboxp1); }
void TVisuales::spaint2() { paintSurface(dib2.get(), paintbox2); }
void TVisuales::spaint2p() { paintSurface(dib2p.get(), paintboxp2); }

// ------------------------------------------------------------------------------------------
// One deck's step

TVisuales::Deck TVisuales::side(int n)
{
    const bool a = n == 1;
    PRecord* rec = a ? ox1 : ox2;
    return Deck{n,
                rec,
                playerOf(rec),
                a ? paintbox1 : paintbox2,
                a ? paintboxp1 : paintboxp2,
                a ? dib1.get() : dib2.get(),
                a ? dib1p.get() : dib2p.get(),
                a ? dibf1.get() : dibf2.get(),
                a ? imgcues1 : imgcues2,
                a ? xdispa : xdispb,
                a ? vu1 : vu2,
                a ? led1 : led2,
                a ? xrll1 : xrll2,
                a ? xrlr1 : xrlr2,
                a ? pro1 : pro2,
                a ? lab1 : lab3,
                a ? lab2 : lab4,
                a ? imgend1 : imgend2,
                a ? mspectrum.get() : mspectrum2.get(),
                a ? zpos1 : zpos2,
                a ? dibpeq : dibpeq2,
                a ? drawpar : drawpar2,
                a ? dawpar : dawpar2,
                a ? levl : levl2,
                a ? levr : levr2,
                a ? updatecount : updatecount2};
}

void TVisuales::moveit() { moveDeck(1); }
void TVisuales::moveit2() { moveDeck(2); }

void TVisuales::moveDeck(int n)
{
    Deck d = side(n);
    if (!d.rec) return;
    if (displayspec) {
        DrawSpectrum(d);
        return;
    }
    if (d.rec->showwave) {
        // the drawn wave whenever a background is missing (also when bmpfondo was set after init)
        DrawingNextImage(d, !bmpfondo || !d.dibf || !dibf3);
        Drawpeq(d);
    }
}

bool TVisuales::positionUpdate(Deck& d)
{
    PRecord& r = *d.rec;
    int64_t p = -1;
    double rate = 44100;
    if (d.player) {
        p = sound::getPosition(d.player->activeStream());
        if (d.player->freq > 0) rate = d.player->freq;
    }
    if (p < 0) p = r.tiempopcm;  // no stream: the position the record holds
    const int64_t previous = r.tiempopcm;
    r.tiempopos = roundEven(double(previous) / (rate * 4.0) * 1000);
    r.tiempopcm = p;
    const int64_t tp = std::max<int64_t>(r.tiempopos, 0);
    r.ms = int(tp % 60000 % 1000 / 10);
    const int64_t length = r.length;
    int64_t g = 0, gp = 0;
    if (length > 0) {
        g = roundEven(double(p) * r.ratio / double(length));
        gp = roundEven(double(p) * r.surface / double(length));
    }
    r.gfx_pos = int(std::clamp<int64_t>(g, 0, INT_MAX / 2));
    r.gfx_posp = clampInt(gp) + 2;
    const bool moved = r.gfx_pos != d.zpos;
    d.zpos = r.gfx_pos;
    return moved;
}

// ------------------------------------------------------------------------------------------
// Meters

void TVisuales::meters(Deck& d, bool moved)
{
    PRecord& r = *d.rec;
    int left = 0, right = 0;
    if (moved) {
        const int64_t i = 2 * int64_t(r.surface) + r.gfx_pos;
        const double gain = r.percgain;
        left = uint16_t(peakAt(r.wavebufL.get().get(), i) * 420 + 1) + (d.n == 1 ? 1 : 0);
        right = uint16_t(peakAt(r.wavebufR.get().get(), i) * 420 + 1) + (d.n == 1 ? 1 : 0);
        left = clampInt(roundEven(left * gain));
        right = clampInt(roundEven(right * gain));
    }
    if (d.left) d.left->SetPico(left);
    if (d.right) d.right->SetPico(right);
    if (d.vu) {
        d.vu->SetPico((left + right) / 2);
        if (d.led) d.led->SetActive(d.vu->Position() > 28000);
    }
    if (d.n == 1) levl = levr = 0;
    if (d.disp->Enabled()) d.disp->SetHeading(int(roundEven(r.ms * 360 / 100.0)));
    stateWord(d);
}

void TVisuales::stateWord(Deck& d)
{
    if (!d.vu) return;
    PRecord& r = *d.rec;
    const bool on = d.vu->Enabled();
    const TBassStatus st = r.Fstatus;
    if (r.loop) d.vu->SetStateWord(QStringLiteral("LOOP"), cp[6]);
    else if (d.player && d.player->ssearch) d.vu->SetStateWord(QStringLiteral("SEARCHING"), on ? 0x21BDFF : 0x0082B9);
    else if (st == sPlay) d.vu->SetStateWord(QStringLiteral("PLAY"), on ? 0x1CD089 : 0x008000);
    else if (st == sPause) d.vu->SetStateWord(QStringLiteral("PAUSE"), 0x0AB1FC);
    else if (st == sStop) d.vu->SetStateWord(QStringLiteral("CUE"), on ? 0x0000FF : 0x000080);
}

void TVisuales::endWarning(Deck& d, bool on)
{
    const TColor c = on ? cp[7] : labcolor;
    if (d.end) d.end->SetVisible(on);
    if (d.vu) d.vu->SetRemainColor(c);
    if (d.caption) d.caption->SetFontColor(c);
    if (d.remain) d.remain->SetFontColor(c);
}
