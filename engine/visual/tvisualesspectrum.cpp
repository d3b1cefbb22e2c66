// The visual step: the spectrum view of one deck, with its position bar and decaying meters.
#include <algorithm>

#include "engine/carga.h"
#include "engine/decktime.h"
#include "engine/precord.h"
#include "engine/speedslider.h"
#include "engine/progressview.h"
#include "engine/visual/levelbar.h"
#include "engine/visual/needlemeter.h"
#include "engine/visual/paintbox.h"
#include "engine/visual/peaklamp.h"
#include "engine/visual/platter.h"
#include "engine/visual/tvisualesdeck.h"
#include "platform/sound/sound.h"

void TVisuales::DrawSpectrum(Deck& d)
{
    PRecord& r = *d.rec;
    if (!r.loaded) return;
    const bool moved = positionUpdate(d);
    // the FFT of what the deck played last, or the zero frame: the bars fall away
    const TFFTData* frame = &FFTFata2;
    if (r.Fstatus == sPlay && d.player &&
        sound::getFft(d.player->activeStream(), FFTFata.data(), 1024))
        frame = &FFTFata;
    if (d.box && d.spec) {
        d.spec->Draw(d.box->Canvas(), *frame, 0, 0);
        d.box->Changed();
    }

    if (d.player && d.player->vdmcslider) d.player->vdmcslider->setPosition(d.player->dmcslider);
    if (d.pro) d.pro->setPosition(r.gfx_posp);
    if (!d.disp) return;

    d.levl = std::max(d.levl - 750, 0);
    d.levr = std::max(d.levr - 750, 0);
    const int64_t i = 2 * int64_t(r.surface) + r.gfx_pos;
    const int l = peakAt(r.wavebufL.get().get(), i), rr = peakAt(r.wavebufR.get().get(), i);
    ++d.updatecount;
    if ((d.updatecount % 4 == 0 || uint16_t(l * 420 + 1) > 21999) && moved) {
        const double gain = r.percgain;
        d.levl = std::max(d.levl, uint16_t(l * 420) + 1);
        d.levr = std::max(d.levr, uint16_t(rr * 420) + 1);
        d.levl = int(std::min<int64_t>(roundEven(d.levl * gain), 36000));
        d.levr = int(std::min<int64_t>(roundEven(d.levr * gain), 36000));
    }
    if (d.left) d.left->SetPosition(std::min(d.levl, 29999));
    if (d.right) d.right->SetPosition(std::min(d.levr, 29999));
    if (d.vu && d.vu->Enabled()) {
        d.vu->SetPico(std::clamp((d.levl + d.levr) / 2, 0, d.n == 1 ? 32700 : 29999));
        if (d.vu->Position() < 0) d.vu->SetPosition(0);
        if (d.led) d.led->SetActive(d.vu->Position() > 22500);
    }
    if (d.disp->Enabled()) d.disp->SetHeading(int(roundEven(r.ms * 360 / 100.0)));
    stateWord(d);
}
