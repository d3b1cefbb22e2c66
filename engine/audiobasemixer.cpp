// The engine: crossfader, headphone cue and beat match.
#include <algorithm>

#include "engine/audiobase.h"
#include "engine/audiodjbase.h"
#include "engine/bpmresult.h"
#include "engine/carga.h"
#include "engine/decktime.h"
#include "engine/speedslider.h"

void audiobase::setcrossfader(int tcross)
{
    if (tcross == tcrossfader) return;
    tcrossfader = tcross;
    const int t = tcross * 200 / 127;
    const int a = t > 100 ? t - 100 : 0;
    const int b = t < 100 ? 100 - t : 0;
    if (carga1) carga1->basseqfx->crossfader = a;
    if (carga2) carga2->basseqfx->crossfader = b;
    if (carga1) carga1->SetVolume(carga1->basseqfx->vol);
    if (carga2) carga2->SetVolume(carga2->basseqfx->vol);
}

void audiobase::setheadphones(bool setenable, int canal)
{
    carga* d = canal == 1 ? carga1 : canal == 2 ? carga2 : nullptr;
    if (canal != 1 && canal != 2) return;
    const sound::Handle bus = canal == 1 ? chanheadphones.load() : chanheadphones2.load();
    float level = 0;
    if (useheadphones && setenable && d) level = d->basseqfx->volheadphones / 100.0f;
    if (d) d->headphones = setenable;
    sound::setAttribute(bus, sound::Attribute::Volume, level);
}

// The speed value that gives x the tempo y plays at; false when either has no tempo.
static bool matchedspeed(carga* x, carga* y, int& speed)
{
    const double fbpm = x->fbpm, target = y->fabpm, freq = x->freq;
    if (!bpmresult::known(fbpm) || !bpmresult::known(target) || !(freq > 0)) return false;
    speed = -int(roundEven(target * freq / fbpm));
    return true;
}

static void setsliderpos(carga* x)
{
    if (x->dmcsliderdif != 0)
        x->sliderpos = int(roundEven(double(x->sliderdmc - x->dmcslidermin) * 127 / double(x->dmcsliderdif)));
}

void audiobase::match(carga* x, carga* y, Shared<bool>& enlace, Shared<int>& reference)
{
    if (!x || !y) return;
    int speed = 0;
    const bool can = matchedspeed(x, y, speed);
    if (!x->sliders && (enlace || !can)) {
        x->sliders = true;
        enlace = false;
        return;
    }
    // nothing to follow, or a track without tempo of its own: no link
    if (!can) return;
    if (x->vdmcslider) {
        const int lo = std::min(x->dmcslidermax.load(), x->dmcslidermin.load());
        const int hi = std::max(x->dmcslidermax.load(), x->dmcslidermin.load());
        speed = std::clamp(speed, lo, hi);
    }
    x->sliderdmc = speed;
    x->SetDmcSlider(speed);
    setsliderpos(x);
    reference = y->sliderdmc.load();
    enlace = true;
    x->sliders = false;
}

void audiobase::match1() { match(carga1, carga2, enlace1, asliderdmc2); }
void audiobase::match2() { match(carga2, carga1, enlace2, asliderdmc1); }

void audiobase::follow(carga* x, carga* y, Shared<bool>& enlace, Shared<int>& reference)
{
    if (!x || !y || !enlace || y->sliderdmc == reference) return;
    reference = y->sliderdmc.load();
    int speed = 0;
    if (!matchedspeed(x, y, speed)) return;
    x->sliderdmc = speed;
    x->SetDmcSlider(speed);
    setsliderpos(x);
}

void audiobase::volheadphones(int vol2, double vol1)
{
    if (vol1 == 1.0) headvol1 = vol2;
    else headvol2 = vol2;
}
