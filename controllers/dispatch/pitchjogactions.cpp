// Pitch, bend, jog wheel and search actions: the pitch sliders, bend buttons, pitch range and key
// lock, the jog modes, the hardware jog wheels (they move the wheel counts the on-screen wheels
// follow), search and seek, and the shift layer.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "controllers/controllertables.h"
#include "controllers/dispatch/actiondispatcher.h"
#include "controllers/dispatch/controllersurface.h"
#include "controllers/dispatch/controllervalues.h"
#include "controllers/dispatch/deckbuttons.h"
#include "controllers/dispatch/dispatcherstate.h"
#include "controllers/dispatch/potrules.h"

using namespace deckbuttons;

namespace {

// the on-screen wheels' scale
constexpr int kWheel = 36000;
// a step count past this comes from no real wheel; it is cut here
constexpr int64_t kMaxSteps = 1 << 20;

// jog forms by code
enum Jog { deckAForm = 0, checkFirstThreshold = 1, checkFirstFree = 2 };

constexpr int kRanges[] = {4, 8, 10, 12, 16, 32};

int64_t steps(int64_t n) { return std::clamp<int64_t>(n, 0, kMaxSteps); }

}  // namespace

void ActionDispatcher::addPitchJogActions()
{
    set(25, &ActionDispatcher::modeButtonAction, 0, 0);  // BTNVINYLA
    set(26, &ActionDispatcher::modeButtonAction, 0, 1);  // BTNSEARCHA
    set(27, &ActionDispatcher::modeButtonAction, 0, 2);  // BTNFXA
    set(59, &ActionDispatcher::modeButtonAction, 1, 0);  // BTNVINYLB
    set(60, &ActionDispatcher::modeButtonAction, 1, 1);  // BTNSEARCHB
    set(61, &ActionDispatcher::modeButtonAction, 1, 2);  // BTNFXB
    set(28, &ActionDispatcher::bendAction, 0, 0);        // BTNBENDMENOSA
    set(29, &ActionDispatcher::bendAction, 0, 1);        // BTNBENDMASA
    set(62, &ActionDispatcher::bendAction, 1, 0);        // BTNBENDMENOSB
    set(63, &ActionDispatcher::bendAction, 1, 1);        // BTNBENDMASB
    set(30, &ActionDispatcher::keyLockAction, 0);        // BTNKEYLOCKA
    set(64, &ActionDispatcher::keyLockAction, 1);        // BTNKEYLOCKB
    set(121, &ActionDispatcher::pitchPotAction, 0);      // POTPITCHA
    set(130, &ActionDispatcher::pitchPotAction, 1);      // POTPITCHB
    set(142, &ActionDispatcher::jogAction, 0, deckAForm);            // POTJOGA
    set(252, &ActionDispatcher::jogAction, 0, deckAForm);            // POTSEARCHINGA
    set(143, &ActionDispatcher::jogAction, 1, checkFirstThreshold);  // POTJOGB
    set(253, &ActionDispatcher::jogAction, 1, checkFirstThreshold);  // POTSEARCHINGB
    set(211, &ActionDispatcher::jogAction, 0, checkFirstFree);       // POTJOGAX
    set(212, &ActionDispatcher::jogAction, 1, checkFirstFree);       // POTJOGBX
    set(144, &ActionDispatcher::jogPressAction, 0);      // BTNJOGPRESSA
    set(145, &ActionDispatcher::jogPressAction, 1);      // BTNJOGPRESSB
    set(173, &ActionDispatcher::pitchRangeAction, 0);    // BTNSELTEMPRANGEA
    set(176, &ActionDispatcher::pitchRangeAction, 1);    // BTNSELTEMPRANGEB
    set(201, &ActionDispatcher::jogModeCycleAction, 0);  // BTNTOGGLEMODEA
    set(202, &ActionDispatcher::jogModeCycleAction, 1);  // BTNTOGGLEMODEB
    set(205, &ActionDispatcher::searchAction, 0);        // POTSEARCHA
    set(206, &ActionDispatcher::searchAction, 1);        // POTSEARCHB
    set(248, &ActionDispatcher::positionAction, 0);      // POTPOSITIONA
    set(249, &ActionDispatcher::positionAction, 1);      // POTPOSITIONB
    set(250, &ActionDispatcher::shiftAction, 0);         // BTNSHIFTA
    set(251, &ActionDispatcher::shiftAction, 1);         // BTNSHIFTB
}

// scratch (0), search (1) or effects (2) button: its handler, then its down state inverted
void ActionDispatcher::modeButtonAction(TInfo& e, int deck, int mode)
{
    const SurfaceButton* buttons = mode == 0 ? kScratch : mode == 1 ? kSearch : kEffects;
    const auto toggle = [&](int d) {
        surface_.MouseDown(buttons[d]);
        surface_.SetDown(buttons[d], !surface_.Down(buttons[d]));
    };
    if (e.valor == kPress) {
        toggle(deck);
    } else if (e.valor == kAlternate && deck == 0 && mode == 0) {
        // both decks' vinyl mode, deck B following deck A
        toggle(0);
        surface_.MouseDown(kScratch[1]);
        surface_.SetDown(kScratch[1], surface_.Down(kScratch[0]));
    } else if (e.valor == kAlternate && deck == 0 && mode == 1) {
        toggle(0);
        toggle(1);
    }
}

// bend down (0) or up (1): held while the controller's button is held
void ActionDispatcher::bendAction(TInfo& e, int deck, int up)
{
    bool& held = deck == 0 ? state_.bcontrolera : state_.bcontrolerb;
    bool& ledUp = deck == 0 ? state_.ledbendmas1 : state_.ledbendmas2;
    bool& ledDown = deck == 0 ? state_.ledbendmenos1 : state_.ledbendmenos2;
    const SurfaceButton button = up ? kBendUp[deck] : kBendDown[deck];
    if (e.valor == kPress) {
        held = true;
        (up ? ledUp : ledDown) = true;
        (up ? ledDown : ledUp) = false;
        surface_.MouseDown(button);
    } else if (e.valor == kRelease) {
        held = false;
        (up ? ledUp : ledDown) = false;
        surface_.MouseUp(button);
    }
}

void ActionDispatcher::keyLockAction(TInfo& e, int deck, int)
{
    const auto lock = [&](int d) {
        if (surface_.Enabled(kKey[d])) surface_.MouseDown(kKey[d]);
    };
    if (e.valor == kPress) {
        lock(deck);
    } else if (e.valor == kAlternate) {
        lock(0);
        lock(1);
    }
}

void ActionDispatcher::pitchPotAction(TInfo& e, int deck, int)
{
    const SurfaceControl slider = deck == 0 ? SurfaceControl::trackfrequency : SurfaceControl::trackfrequency2;
    int& pitch = deck == 0 ? values_.quorfreq1 : values_.quorfreq2;
    const int min = surface_.Min(slider), max = surface_.Max(slider);
    if (PotRules::endless(e)) {
        if ((e.oldvalor == e.range && e.valor >= 0) || e.valor > e.oldvalor)
            pitch = int(std::min<int64_t>(int64_t(pitch) + e.value, max));
        else if ((e.oldvalor <= 1 && e.valor == e.range) || e.valor < e.oldvalor)
            pitch = int(std::max<int64_t>(int64_t(pitch) - e.value, min));
        e.oldvalor = e.valor;
        return;
    }
    const bool relative = deck == 0 ? PotRules::relativeStrict(e) : PotRules::relative(e);
    if (relative) {
        pitch = PotRules::step(pitch, PotRules::up(e), 1, min, max);
        return;
    }
    const std::optional<int> v = PotRules::absolute(e, 127);
    if (!v || *v == surface_.Position(slider)) return;
    // a move to the other deck arms this deck's pick-up: the pitch follows the fader only once
    // the fader reaches the deck's current pitch
    if (tables_.midmodo1 == 1 && state_.midoldpit1 == (deck == 0 ? 2 : 1)) surface_.deckSetSliders(deck, false);
    state_.midoldpit1 = deck + 1;
    pitch = *v;
}

void ActionDispatcher::jogAction(TInfo& e, int deck, int form)
{
    const bool relative = form == deckAForm ? PotRules::relative(e) : PotRules::relativeStrict(e);
    std::optional<int> turn;
    if (!relative) {
        turn = PotRules::jogStep(e);
        if (!turn) return;
    }
    (deck == 0 ? state_.actjoga : state_.actjogb) = true;
    (deck == 0 ? state_.controlera : state_.controlerb) = true;
    int& counter = deck == 0 ? values_.quorwhel1 : values_.quorwhel2;
    int64_t count = counter;

    if (relative) {
        (deck == 0 ? state_.xvwhel1 : state_.xvwhel2) = 0;
        const int ajuste = form == checkFirstFree ? 0 : (deck == 0 ? tables_.ajustea : tables_.ajusteb);
        const bool touched = form != checkFirstFree && (deck == 0 ? state_.botonscra : state_.botonscrb);
        const int64_t valor = e.valor, range = e.range, value = e.value;
        const auto passes = [&](int64_t distance) { return ajuste <= 0 || distance >= ajuste || touched; };
        if (form == deckAForm) {
            if (valor > range && passes(valor - range)) {
                for (int64_t i = steps(valor - range + 1); i > 0; --i) {
                    count += value;
                    if (count >= kWheel) count = 0;
                }
            } else if (valor < range && passes(range - valor)) {
                for (int64_t i = steps(range - valor + 1); i > 0; --i) {
                    count -= value;
                    if (count <= 0) count = kWheel;
                }
            }
        } else if (valor >= range && passes(valor - range)) {
            for (int64_t i = steps(valor - range + 1); i > 0; --i) {
                if (count >= kWheel) count = 0;
                count += value;
            }
        } else if (valor < range && passes(range - valor)) {
            // the wrap happens only from exactly 0, so the count may go below 0
            for (int64_t i = steps(range - valor + 1); i > 0; --i) {
                if (count == 0) count = kWheel;
                count -= value;
            }
        }
        counter = int32_t(uint32_t(uint64_t(count)));
        return;
    }

    const int64_t threshold = std::llabs(int64_t(e.rangelo));
    const int64_t distance = std::llabs(int64_t(e.valor) - e.oldvalor);
    const bool forward = (e.oldvalor == e.range && e.valor >= 0) || e.valor > e.oldvalor;
    const bool backward = !forward && ((e.oldvalor <= 1 && e.valor == e.range) || e.valor < e.oldvalor);
    if (forward || backward) {
        // small moves add up until they pass the threshold
        if (threshold > 0 && distance < threshold) return;
        for (int64_t i = steps(e.value); i > 0; --i) {
            count += forward ? *turn : -*turn;
            if (forward && count > kWheel) count = 1;
            if (!forward && count < 1) count = kWheel;
        }
        counter = int32_t(uint32_t(uint64_t(count)));
    }
    e.oldvalor = e.valor;
}

void ActionDispatcher::jogPressAction(TInfo& e, int deck, int)
{
    surface_.MouseUp(kBendUp[deck]);
    surface_.MouseUp(kBendDown[deck]);
    (deck == 0 ? state_.ledbendmas1 : state_.ledbendmas2) = false;
    (deck == 0 ? state_.ledbendmenos1 : state_.ledbendmenos2) = false;
    bool& fxing = deck == 0 ? state_.fxing : state_.fxing2;
    bool& searena = deck == 0 ? state_.searena1 : state_.searena2;
    bool& scratching = deck == 0 ? state_.scratching : state_.scratching2;
    bool& touched = deck == 0 ? state_.botonscra : state_.botonscrb;
    if (e.valor == kPress) {
        if (!surface_.Down(kScratch[deck])) surface_.SetDown(kScratch[deck], true);
        fxing = false;
        searena = false;
        if (surface_.Down(kSearch[deck])) surface_.SetDown(kSearch[deck], false);
        scratching = true;
        if (surface_.Down(kEffects[deck])) surface_.SetDown(kEffects[deck], false);
        touched = true;
    } else if (e.valor == kRelease) {
        if (surface_.Down(kScratch[deck])) surface_.SetDown(kScratch[deck], false);
        fxing = scratching = searena = touched = false;
        surface_.deckSetScratchOff(deck);
    }
}

void ActionDispatcher::pitchRangeAction(TInfo& e, int deck, int)
{
    if (e.valor != kPress) return;
    int& index = deck == 0 ? state_.seletemrana : state_.seletemranb;
    index = (index + 1) % 6;
    const int range = kRanges[index];
    const int position = surface_.deckSetPitchv(deck, range);
    if (surface_.deckLoaded(deck)) {
        // off its ends first, so that its change handler always runs
        const SurfaceControl slider = deck == 0 ? SurfaceControl::trackfrequency : SurfaceControl::trackfrequency2;
        const int p = surface_.Position(slider);
        if (p == 127) surface_.SetPosition(slider, 126);
        else if (p == 0) surface_.SetPosition(slider, 1);
        surface_.SetPosition(slider, position);
    }
    surface_.SetCaption(deck == 0 ? SurfaceLabel::lpitp1 : SurfaceLabel::lpitp2, QString::number(range) + QLatin1Char('%'));
}

void ActionDispatcher::jogModeCycleAction(TInfo& e, int deck, int)
{
    if (e.valor != kPress) return;
    int& mode = deck == 0 ? state_.tmode1 : state_.tmode2;
    mode = (mode + 1) % 4;
    if (mode == 0) {
        for (const SurfaceButton b : {kEffects[deck], kScratch[deck], kSearch[deck]}) {
            if (!surface_.Down(b)) continue;
            surface_.MouseDown(b);
            surface_.SetDown(b, false);
        }
        return;
    }
    const SurfaceButton b = mode == 1 ? kScratch[deck] : mode == 2 ? kSearch[deck] : kEffects[deck];
    surface_.MouseDown(b);
    surface_.SetDown(b, true);
}

void ActionDispatcher::searchAction(TInfo& e, int deck, int)
{
    if (!PotRules::relative(e)) return;
    surface_.deckSetPositions(deck, PotRules::up(e) ? 2 : -2, 1020);
}

void ActionDispatcher::positionAction(TInfo& e, int deck, int)
{
    // a full scale of 0 would seek by a division by zero
    if (e.valor > 0 && e.value > 0) surface_.deckSetPositionm(deck, e.valor, e.value);
}

void ActionDispatcher::shiftAction(TInfo& e, int, int)
{
    if (e.valor > 0) state_.shifton = 1;
    else if (e.valor == 0) state_.shifton = 0;
}
