#include "controllers/dispatch/controlvaluecopy.h"

#include <cmath>

#include "controllers/dispatch/controllervalues.h"
#include "controllers/dispatch/dispatcherstate.h"

using C = SurfaceControl;
using V = ControllerValues;

const std::array<std::pair<SurfaceControl, int ControllerValues::*>, 22> ControlValueCopy::kPairs = {{
    {C::trackfrequency, &V::quorfreq1}, {C::trackfrequency2, &V::quorfreq2},
    {C::trackvolume, &V::quorvol1},     {C::trackvolume2, &V::quorvol2},
    {C::crossfader, &V::quorcross},
    {C::bas1, &V::quorbass1},           {C::bas2, &V::quorbass2},
    {C::mid1, &V::quormid1},            {C::mid2, &V::quormid2},
    {C::tre1, &V::quortre1},            {C::tre2, &V::quortre2},
    {C::gain1, &V::quorgain1},          {C::gain2, &V::quorgain2},
    {C::dry1, &V::quordry1},            {C::wet1, &V::quorpara1},
    {C::dry2, &V::quordry2},            {C::wet2, &V::quorpara2},
    {C::samplevolume, &V::quorsam1},    {C::samplevolume2, &V::quorsam2},
    {C::volhead1, &V::quorheada},       {C::volhead2, &V::quorheadb},
    {C::volrec, &V::quorvolrec},
}};

ControlValueCopy::ControlValueCopy(ControllerSurface& surface, ControllerValues& values, DispatcherState& state)
    : surface_(surface), values_(values), state_(state)
{
}

void ControlValueCopy::Timer2Timer()
{
    surface_.SetPosition(C::RLed3, surface_.grabapeak());
    for (const auto& [control, global] : kPairs)
        if (surface_.Position(control) != values_.*global) surface_.SetPosition(control, values_.*global);
    automixNumber(SurfaceLabel::track1, SurfaceLabel::laut_t1);
    automixNumber(SurfaceLabel::track2, SurfaceLabel::laut_t2);
    bendLights(0);
    bendLights(1);
    jogWheel(0);
    jogWheel(1);
}

// "000" while the deck has no track number, else the number's three digits after its first character
void ControlValueCopy::automixNumber(SurfaceLabel track, SurfaceLabel number)
{
    const QString t = surface_.Caption(track);
    const QString shown = t == QLatin1String("----") || t.compare(QLatin1String("NEW"), Qt::CaseInsensitive) == 0
                              ? QStringLiteral("000")
                              : t.mid(1, 3);
    if (surface_.Caption(number) != shown) surface_.SetCaption(number, shown);
}

// While the wheel is held with the mouse and not scratching, a held bend button's light goes out.
void ControlValueCopy::bendLights(int deck)
{
    const ControllerSurface::JogMouse jog = surface_.jogMouse(deck);
    const bool searena = deck == 0 ? state_.searena1 : state_.searena2;
    const bool fxing = deck == 0 ? state_.fxing : state_.fxing2;
    if (!jog.botonleft) return;
    if ((searena || fxing || jog.tscratchena) && surface_.deckSearchMode(deck)) return;
    if (std::fabs(jog.fscratch) >= 1) return;
    if (surface_.Down(deck == 0 ? SurfaceButton::bendmenos1 : SurfaceButton::Bendmenos2))
        (deck == 0 ? state_.ledbendmenos1 : state_.ledbendmenos2) = false;
    if (surface_.Down(deck == 0 ? SurfaceButton::bendmas1 : SurfaceButton::BendMas2))
        (deck == 0 ? state_.ledbendmas1 : state_.ledbendmas2) = false;
}

void ControlValueCopy::jogWheel(int deck)
{
    const SurfaceControl wheel = deck == 0 ? C::vrwheela : C::vrWheelb;
    const int count = deck == 0 ? values_.quorwhel1 : values_.quorwhel2;
    bool& actjog = deck == 0 ? state_.actjoga : state_.actjogb;
    if (surface_.Position(wheel) != count) {
        if (deck == 0 ? state_.controlera : state_.controlerb) surface_.SetPosition(wheel, count);
        return;
    }
    if (!actjog) return;
    bool& ledMenos = deck == 0 ? state_.ledbendmenos1 : state_.ledbendmenos2;
    bool& ledMas = deck == 0 ? state_.ledbendmas1 : state_.ledbendmas2;
    if (surface_.Down(deck == 0 ? SurfaceButton::bendmenos1 : SurfaceButton::Bendmenos2) && ledMenos) ledMenos = false;
    if (surface_.Down(deck == 0 ? SurfaceButton::bendmas1 : SurfaceButton::BendMas2) && ledMas) ledMas = false;
    actjog = false;
}
