#include "controllers/controllerlights.h"

#include <algorithm>

#include "controllers/controllertables.h"
#include "controllers/dispatch/controllersurface.h"
#include "controllers/dispatch/deckbuttons.h"
#include "controllers/dispatch/dispatcherstate.h"
#include "controllers/hid/hidcontrollers.h"
#include "controllers/midi/midicontrollers.h"
#include "engine/psoundconfig.h"

using namespace deckbuttons;

namespace {

constexpr int kLevelA = 115, kLevelB = 118;  // SLEDMETERA1, SLEDMETERB1: the deck levels
constexpr int kHeadA = 34, kHeadB = 84;      // SHEADPHONESA, SHEADPHONESB

}  // namespace

ControllerLights::ControllerLights(ControllerTables& tables, DispatcherState& state, ControllerSurface& surface,
                                   PSoundConfig& config, MidiControllers& midi, HidControllers* hid)
    : tables_(tables), state_(state), surface_(surface), config_(config), midi_(midi), hid_(hid)
{
}

QString ControllerLights::lightText() const
{
    std::array<char, kLights + 1> t;
    t.fill('0');
    const auto on = [&](int code, bool lit) { t[size_t(code)] = lit ? '1' : '0'; };
    const auto down = [&](SurfaceButton b) { return surface_.Down(b); };
    const auto anyDown = [&](const SurfaceButton* first, int n) {
        for (int i = 0; i < n; ++i)
            if (down(first[i])) return true;
        return false;
    };

    for (int d = 0; d < 2; ++d) {
        const int o = 50 * d;
        on(1 + o, down(kCue[d]));
        on(2 + o, down(kPause[d]));
        on(3 + o, down(kPlay[d]) || (down(kPause[d]) && !surface_.blink(d)));
        on(4 + o, down(kScratch[d]));
        on(5 + o, down(kSearch[d]));
        on(6 + o, down(kEffects[d]));
        on(7 + o, down(kMemory[d]));
        for (int n = 0; n < 6; ++n) on(8 + n + o, down(kHotCue[d][n]));
        on(14 + o, down(kLoopIn[d]));
        on(15 + o, down(kLoopOut[d]));
        on(16 + o, down(kReloop[d]));
        for (int n = 0; n < 7; ++n) on(17 + n + o, down(kLength[d][n]));
        on(24 + o, down(kSync[d]));
        on(25 + o, down(kLoad[d]));
        on(26 + o, down(kReverse[d]));
        on(27 + o, down(kBrake[d]));
        for (int k = 0; k < 3; ++k) on(28 + k + o, down(kKill[d][k]));
        on(31 + o, down(kBendUp[d]));
        on(32 + o, down(kBendDown[d]));
        on(33 + o, down(kKey[d]));
        on(34 + o, down(kHead[d]));
        for (int k = 0; k < 3; ++k) on(35 + k + o, down(kEffect[d][k]));
        for (int n = 0; n < 5; ++n) on(38 + n + o, down(kBeat[d][n]));
        for (int n = 0; n < 7; ++n) on(43 + n + o, down(kPad[d][n]));
    }

    using B = SurfaceButton;
    const B side[] = {B::bfx, B::bsampler, B::bconfig, B::bmix, B::bax, B::bpexplorer, B::bpplaylist, B::bggrupos};
    for (int k = 0; k < 8; ++k) on(101 + k, down(side[k]));
    on(112, !surface_.bmutemic());

    for (int d = 0; d < 2; ++d) {
        const bool anyLength = anyDown(kLength[d], 8);
        const int selector = d == 0 ? state_.selectora : state_.selectorb;
        const int fxloop = d == 0 ? state_.selefxloopa : state_.selefxloopb;
        const int cuesam = d == 0 ? state_.selecuesama : state_.selecuesamb;
        const int range = d == 0 ? state_.seletemrana : state_.seletemranb;
        const int manual = d == 0 ? state_.selefxmanuala : state_.selefxmanualb;
        const bool fxcue = d == 0 ? state_.selefxcuea : state_.selefxcueb;
        const int lo = d == 0 ? state_.lo1 : state_.lo2;

        on(121 + d, anyLength);
        on(202 + d, anyLength);
        for (int m = 0; m < 4; ++m) on(124 + 4 * d + m, selector == (m + 1) % 4);
        on(132 + 2 * d, fxloop == 0);
        on(133 + 2 * d, fxloop == 1);
        on(136 + 2 * d, cuesam == 0);
        on(137 + 2 * d, cuesam == 1);
        for (int r = 0; r < 6; ++r) on(140 + 6 * d + r, range == r);
        // cue-or-sampler pads: 152..163 deck A, 176..187 deck B
        const int cs = 152 + 24 * d;
        for (int n = 0; n < 6; ++n) {
            const HotCueLook look = surface_.hotCue(d, n + 1);
            on(cs + n, cuesam == 0 && look != HotCueLook::empty);
            on(cs + 6 + n, cuesam != 0 ? down(kPad[d][n]) : look == HotCueLook::loop);
        }
        // loop-length or effect-beat pads: 164..175 deck A, 188..199 deck B
        const int lf = 164 + 24 * d;
        for (int n = 0; n < 7; ++n) on(lf + n, fxloop == 0 && lo == n + 1);
        for (int n = 0; n < 5; ++n) on(lf + 7 + n, fxloop != 0 && down(kBeat[d][n]));
        on(200 + d, surface_.borrar(d));
        // manual-loop pads: 206..209, 215..218
        const int ml = 206 + 9 * d;
        on(ml, manual != 0);
        on(ml + 1, manual != 0 || down(kLoopIn[d]));
        on(ml + 2, manual != 0 ? anyLength : down(kLoopOut[d]));
        on(ml + 3, manual != 0 || down(kReloop[d]));
        // effect-or-cue pads: 210..214, 219..223
        const int fc = 210 + 9 * d;
        on(fc, fxcue);
        on(fc + 1, !fxcue);
        for (int n = 0; n < 3; ++n)
            on(fc + 2 + n, fxcue ? down(kEffect[d][n]) : surface_.hotCue(d, n + 1) != HotCueLook::empty);
        // generic pads: 227..230, 231..234
        const int gp = 227 + 4 * d;
        for (int n = 0; n < 4; ++n) {
            bool lit = false;
            switch (selector) {
            case 0: lit = down(kPad[d][n]); break;
            case 1: lit = n < 3 && down(kEffect[d][n]); break;
            case 2: lit = down(kHotCue[d][n]); break;
            case 3: lit = n < 3 && down(n == 0 ? kLoopIn[d] : n == 1 ? kLoopOut[d] : kReloop[d]); break;
            default: break;
            }
            on(gp + n, lit);
        }
        on(235 + d, down(kLength[d][7]));
        on(237 + d, down(kPlay[d]));
        on(241 + d, down(kHotMode[d]));
    }
    on(204, state_.seledirectorio == 1);
    on(205, down(B::REC));
    on(224, state_.seledirectorio != 0);
    on(225, state_.seledirectorio == 0);
    on(226, down(B::auto_enable));
    on(239, midi_.POWERON1);
    on(240, midi_.POWERON2);
    return QString::fromLatin1(t.data() + 1, kLights);
}

int ControllerLights::level(int deck, int modo) const
{
    const SurfaceControl left = deck == 0 ? SurfaceControl::xl : SurfaceControl::xl1;
    const SurfaceControl right = deck == 0 ? SurfaceControl::xr : SurfaceControl::xr1;
    const int64_t v = modo == 0 ? int64_t(surface_.Position(left)) * 127 / 30000
                                : (int64_t(surface_.Position(left)) + surface_.Position(right)) * 127 / 60000;
    return int(std::min<int64_t>(v, 127));
}

void ControllerLights::Timer3Timer()
{
    const bool hidDrivers = hid_ && (hid_->hidcontrol1 || hid_->Hidcontrol2);
    if (config_.inicializada || config_.inicializada2 || hidDrivers) updatemidilights();
    if (config_.inicializada && tables_.MCHARDISPLAY1 == 1) updatemiddisplay(0);
    if (hid_) hid_->Timer3Step();
}

void ControllerLights::send(int n, int status, int data1, int data2)
{
    TMidiOutput* out = (n == 1 ? midi_.MidiOutput1 : midi_.MidiOutput2).get();
    if (!out) return;
    out->PutShort(uint8_t(status), uint8_t(data1), uint8_t(data2));
    ++sent_;
}

void ControllerLights::updatemidilights()
{
    const QString text = lightText();
    const QString& old = state_.luces;
    for (int n = 1; n <= 2; ++n) {
        const bool live = n == 1 ? config_.inicializada.load() : config_.inicializada2.load();
        const bool resend = n == 1 ? tables_.showleds : tables_.showleds2;
        if (!live || (text == old && !resend)) continue;
        const int modo = (n == 1 ? tables_.hdm : tables_.hdm2).modo;
        sendController(n, text, level(0, modo), level(1, modo));
    }
    if (hid_ && text != old) hid_->mirrorLights(text);
    state_.luces = text;
}

void ControllerLights::sendController(int n, const QString& text, int levelA, int levelB)
{
    const std::vector<MappingEntry>& out = n == 1 ? tables_.midiourec : tables_.midiourec2;
    const QString& old = state_.luces;
    const bool single = (n == 1 ? tables_.hdm : tables_.hdm2).modo == 0;
    // single-deck lights follow the deck the MIDI input drives
    const bool deckB = single && state_.mhidcarga != 0;
    const auto mapped = [&](int k) { return out[size_t(k)][0] != 0; };
    const auto status = [&](int k) { return out[size_t(k)][1] & 0xFF; };
    const auto number = [&](int k) { return out[size_t(k)][0] & 0xFF; };

    if (single) {
        if (mapped(kHeadA) && mapped(kHeadB)) {
            const bool shared = int64_t(out[kHeadB][0]) - 100 == out[kHeadA][0];
            if (n == 2 || !shared) {
                // the other deck's headphone light on a control both decks share goes off
                if (!deckB && number(kHeadB) >= 100) send(n, status(kHeadB), number(kHeadB) - 100, 0);
                if (deckB) send(n, status(kHeadA), number(kHeadA), 0);
            }
        } else if (n == 2) {
            if (!deckB && mapped(kHeadB) && number(kHeadB) >= 100) send(n, status(kHeadB), number(kHeadB) - 100, 0);
            if (deckB && mapped(kHeadA)) send(n, status(kHeadA), number(kHeadA), 0);
        }
        if (mapped(kLevelA)) send(n, status(kLevelA), number(kLevelA), levelA);
        if (mapped(kLevelB)) send(n, status(kLevelB), number(kLevelB), levelB);
    }

    for (int k = 1; k <= kLights; ++k) {
        if (!single && (k == kLevelA || k == kLevelB)) {
            if (mapped(k)) send(n, status(k), number(k), k == kLevelA ? levelA : levelB);
            continue;
        }
        const bool changed = k > old.size() || old[k - 1] != text[k - 1];
        if (!changed || !mapped(k)) continue;
        const bool lit = text[k - 1] == QLatin1Char('1');
        if (n == 1 && !single && !lit && (k == kHeadA || k == kHeadB) && out[kHeadA][0] == out[kHeadB][0]) continue;

        const MappingEntry& e = out[size_t(k)];
        int num = number(k);
        if (deckB) {
            // a deck B row sits 100 above its control; a number below 100 names none
            num -= 100;
            if (num < 0) continue;
        }
        const int s = status(k), form = e[4];
        const int onValue = e[2], offValue = e[3];
        if (n == 2 && form == 0) {
            send(n, s, num, lit ? 127 : 0);
        } else if (lit) {
            if (form == 0 || form >= 255) send(n, s, num, onValue);
            else if (form <= 126 || single) send(n, s, onValue, num);
        } else {
            if (form == 0) send(n, s, num, deckB ? 0 : (offValue > 0 ? offValue : 0));
            else if (form < 255) send(n, s, offValue, num);
        }
    }
}

void ControllerLights::apagamidilights()
{
    const QString zero(kLights, QLatin1Char('0'));
    const QString& old = state_.luces;
    if (old != zero) {
        for (int n = 1; n <= 2; ++n) {
            const bool live = n == 1 ? config_.inicializada.load() : config_.inicializada2.load();
            if (!live) continue;
            const std::vector<MappingEntry>& out = n == 1 ? tables_.midiourec : tables_.midiourec2;
            for (int k = 1; k <= kLights; ++k) {
                const bool wasOn = k > old.size() || old[k - 1] != QLatin1Char('0');
                if (wasOn && out[size_t(k)][0] != 0) send(n, out[size_t(k)][1] & 0xFF, out[size_t(k)][0] & 0xFF, 0);
            }
        }
    }
    if (hid_) hid_->mirrorLights(zero);
    if (old != zero) state_.luces = zero;
}
