#include "controllers/hid/hidcontrollers.h"

#include <cmath>
#include <cstdlib>

#include "controllers/controllertables.h"
#include "controllers/dispatch/controllersurface.h"
#include "controllers/dispatch/dispatcherstate.h"
#include "controllers/dispatch/tinfo.h"
#include "controllers/tcontroladora.h"
#include "engine/psoundconfig.h"

namespace {

constexpr int kMirrored = 170;  // light positions that mirror the surface
constexpr int kLayer = 300;     // deck B's layer in single mode

bool noName(const QString& s) { return s.isEmpty() || s == QLatin1String("-"); }

}  // namespace

HidControllers::HidControllers(ControllerTables& tables, DispatcherState& state, ControllerSurface& surface,
                               PSoundConfig& config, TInfo& bp, std::function<void(TInfo&)> updatecontroler,
                               hid::Backend& backend, const QString& profile)
    : tables_(tables), state_(state), surface_(surface), config_(config), bp_(bp),
      updatecontroler_(std::move(updatecontroler)), backend_(backend), profile_(profile)
{
}

HidControllers::~HidControllers() { close(); }

void HidControllers::createDrivers()
{
    if (!hidcontrol1) {
        hidcontrol1 = std::make_unique<TOstrelHid>(backend_);
        hidcontrol1->activo();
    }
    if (!Hidcontrol2) {
        Hidcontrol2 = std::make_unique<TOstrelHid2>(backend_);
        Hidcontrol2->activo();
    }
    tables_.hidcontrol1 = hidcontrol1.get();
    tables_.Hidcontrol2 = Hidcontrol2.get();
}

void HidControllers::close()
{
    tables_.hidcontrol1 = nullptr;
    tables_.Hidcontrol2 = nullptr;
    if (hidcontrol1) hidcontrol1->setfenabled(false);
    if (Hidcontrol2) Hidcontrol2->setfenabled(false);
    hidcontrol1.reset();
    Hidcontrol2.reset();
}

void HidControllers::setUp()
{
    for (int n = 1; n <= 2; ++n) {
        TOstrelHid* d = n == 1 ? hidcontrol1.get() : static_cast<TOstrelHid*>(Hidcontrol2.get());
        if (!d) continue;
        const QString name = n == 1 ? config_.porthid.get() : config_.porthid2.get();
        if (!noName(name)) {
            inicializa(n, name);
            d->setfenabled(true);
        } else {
            d->setfenabled(false);
            d->CheckIn(d->hercules);
        }
    }
}

void HidControllers::inicializahidfile(const QString& name) { inicializa(1, name); }

void HidControllers::inicializahidfile2(const QString& name) { inicializa(2, name); }

void HidControllers::inicializa(int n, const QString& name)
{
    TOstrelHid* d = n == 1 ? hidcontrol1.get() : static_cast<TOstrelHid*>(Hidcontrol2.get());
    if (!d) return;
    d->limpialista();
    d->Enumerate();
    d->setproname(name);
    d->HidCtlDeviceChange();
    d->FonButton = [this, n](TOstrelHid*, bool, int channel, int a1, int a2) { button(n, channel, a1, a2); };
    if (!d->hercules) return;

    THidDisplay& hd = n == 1 ? tables_.hd : tables_.hd2;
    hd.fixed.fill(QStringLiteral("0"));
    hd.fixedA.fill(QStringLiteral("0"));
    hd.fixedB.fill(QStringLiteral("0"));
    if (n == 1) {
        hd.ajustea = hd.ajusteb = 0;
        tables_.ajustea = tables_.ajusteb = 0;
        tables_.nobenda = tables_.nobendb = false;
    }

    controla = std::make_unique<TControladora>(tables_, surface_, profile_);
    controla->pauseMs = loaderPauseMs;
    if (n == 1) controla->loadhidcontroller(config_.hid.get());
    else controla->loadhidcontroller2(config_.hid2.get());

    (n == 1 ? state_.hidcarga : state_.hidcarga2) = 0;
    surface_.SetDown(SurfaceButton::heada, true);
    surface_.SetDown(SurfaceButton::headb, false);
    if (!hd.cadenatexto.isEmpty()) d->cadenatexto = hd.cadenatexto;
    if (!hd.cadenaled.isEmpty()) d->cadenaled = hd.cadenaled;
    if (!hd.cadenaini.isEmpty()) d->ejecutacadena(hd.cadenaini);
    if (!hd.cadenaled.isEmpty()) d->ejecutacadena(hd.cadenaled);
    if (!hd.cadenaini.isEmpty()) d->ejecutacadena(hd.cadenaini);
    for (int p = 0; p < TOstrelHid::kLights; ++p)
        if (!hd.fixed[size_t(p)].isEmpty()) d->lights[size_t(p)] = hd.fixed[size_t(p)];
    d->updatelights();
}

// ---- input

void HidControllers::hIDCONTROL1Button(TOstrelHid*, bool, int midichannel, int adata1, int adata2)
{
    button(1, midichannel, adata1, adata2);
}

void HidControllers::Hidcontrol2Button(TOstrelHid*, bool, int midichannel, int adata1, int adata2)
{
    button(2, midichannel, adata1, adata2);
}

void HidControllers::button(int n, int midichannel, int adata1, int adata2)
{
    TInfo& bp = bp_;
    bp.invert = bp.value = bp.range = bp.rangelo = bp.rangeup = bp.bajo = bp.alto = 0;
    if (adata1 <= 0 || adata1 + kLayer >= ControllerTables::kHidEntries) return;
    const THidDisplay& hd = n == 1 ? tables_.hd : tables_.hd2;
    const bool layerB = hd.modo == 0 && (n == 1 ? state_.hidcarga : state_.hidcarga2) != 0;
    const int index = layerB ? adata1 + kLayer : adata1;

    if (midichannel == 144) {
        const auto& table = n == 1 ? tables_.hidinbut : tables_.hid2inbut;
        bp.accion = table[size_t(index)][0];
        bp.value = table[size_t(adata1)][2];
        bp.valor = adata2 == 127 ? bp.value : adata2;
        updatecontroler_(bp);
    } else if (midichannel == 176) {
        const auto& table = n == 1 ? tables_.hidinpot : tables_.hid2inpot;
        const MappingEntry& e = table[size_t(adata1)];
        bp.accion = table[size_t(index)][0];
        bp.invert = e[6];
        bp.value = e[2];
        bp.range = e[3];
        bp.rangelo = e[4];
        bp.rangeup = e[5];
        bp.bajo = e[4];
        bp.alto = e[5];
        int64_t v = adata2;
        if (bp.rangelo != 0 && bp.rangeup != 0 && bp.rangelo > bp.rangeup) {
            bp.alto = bp.rangelo;
            bp.bajo = bp.rangeup;
            v = v > bp.range ? int64_t(bp.rangelo) + bp.rangeup - v : v + (int64_t(bp.rangelo) - bp.rangeup);
        }
        bp.valor = int32_t(bp.invert <= 0 ? int64_t(bp.value) - v : v);
        updatecontroler_(bp);
    }
}

// ---- display

TOstrelHid* HidControllers::live(int controller) const
{
    TOstrelHid* d = controller == 1 ? hidcontrol1.get() : static_cast<TOstrelHid*>(Hidcontrol2.get());
    return d && d->hercules ? d : nullptr;
}

void HidControllers::updatehiddisplay(int deck) { display(1, deck); }

void HidControllers::updatehiddisplay2(int deck) { display(2, deck); }

void HidControllers::deckFields(TOstrelHid& d, const THidDisplay& hd, int deck)
{
    const bool a = deck == 0;
    const QString elapsed = surface_.Caption(a ? SurfaceLabel::lelapsed1 : SurfaceLabel::lelapsed2);
    d.setLight(a ? hd.dminAstart : hd.dminBstart, elapsed.mid(2, 2));
    d.setLight(a ? hd.dsecAstart : hd.dsecBstart, elapsed.mid(5, 2));
    d.setLight(a ? hd.dmsecAstart : hd.dmsecBstart, elapsed.mid(8, 2));
    const QString total = surface_.deckDuration(deck);
    if (!total.isEmpty()) {
        d.setLight(a ? hd.dminATotstart : hd.dminBTotstart, total.mid(2, 2));
        d.setLight(a ? hd.dsecATotstart : hd.dsecBTotstart, total.mid(5, 2));
        d.setLight(a ? hd.dmsecATotstart : hd.dmsecBTotstart, total.mid(8, 2));
    }
    const QString track = surface_.Caption(a ? SurfaceLabel::track1 : SurfaceLabel::track2);
    const bool none = track == QLatin1String("----") || track.compare(QLatin1String("NEW"), Qt::CaseInsensitive) == 0;
    d.setLight(a ? hd.dtrackAstart : hd.dtrackBstart, none ? QStringLiteral("0") : track);
    const int bpmn = surface_.deckBpmn(deck);
    d.displaydoble(bpmn / 10, a ? hd.dbpmAstart : hd.dbpmBstart, a ? hd.dbpmAlength : hd.dbpmBlength);
    const int pitchn = surface_.deckPitchn(deck);
    d.setLight(a ? hd.dpitchsignmasAstart : hd.dpitchsignmasBstart, pitchn > 0 ? QStringLiteral("1") : QStringLiteral("0"));
    d.setLight(a ? hd.dpitchsignmenosAstart : hd.dpitchsignmenosBstart, pitchn > 0 ? QStringLiteral("0") : QStringLiteral("1"));
    d.setLight(a ? hd.dselectorAstart : hd.dselectorBstart, QString::number(a ? state_.selectora : state_.selectorb));
    d.displaydoble(int(std::llabs(int64_t(pitchn) * 10) & 0x7FFFFFFF), a ? hd.dpitchAstart : hd.dpitchBstart,
                   a ? hd.dpitchAlength : hd.dpitchBlength);
    d.updatelights();
}

void HidControllers::display(int n, int deck)
{
    TOstrelHid* d = live(n);
    if (!d || !d->fenabled) return;
    const THidDisplay& hd = n == 1 ? tables_.hd : tables_.hd2;
    const auto resetText = [&] {
        if (!hd.cadenaini.isEmpty()) d->ejecutacadena(hd.cadenaini);
    };

    if (hd.modo == 0) {
        if (deck != 0 && deck != 1) return;
        deckFields(*d, hd, deck);
        const bool a = deck == 0;
        const int first = a ? hd.dtextoAstart : hd.dtextoBstart;
        const int last = a ? hd.dtextoAlength : hd.dtextoBlength;
        const QString& selection = a ? state_.selectatxt : state_.selectbtxt;
        QString text;
        if (hd.scrollamos) {
            const QString whole = hd.spaces + selection + (a ? state_.scroll1 : state_.scroll2);
            // halves to the even number; a start below 1 counts as 1
            const int from = std::max(1, int(std::nearbyint(a ? state_.scrollpos1 : state_.scrollpos2)));
            text = whole.mid(from - 1, std::max(0, last));
        } else if (!hd.fixtext.isEmpty()) {
            text = hd.spaces + hd.fixtext + (a ? QStringLiteral(" A") : QStringLiteral(" B"));
        } else {
            text = hd.spaces + selection;
        }
        const bool resetFirst = n == 1 && a;
        if (resetFirst) resetText();
        if (first > 0 && last > 0) d->displaytexto(text, first, last);
        if (!resetFirst) resetText();
        return;
    }

    if (hd.cargasingle.isEmpty()) return;
    const bool a = hd.cargasingle == QLatin1String("A");
    deckFields(*d, hd, a ? 0 : 1);
    const int first = a ? hd.dtextoAstart : hd.dtextoBstart;
    const int last = a ? hd.dtextoAlength : hd.dtextoBlength;
    const QString& selection = a ? state_.selectatxt : state_.selectbtxt;
    if (hd.scrollamos) {
        int& shown = a ? state_.changedis1 : state_.changedis2;
        if (shown == 0) {
            if (first > 0 && last > 0) d->displaytexto((hd.spaces + selection).mid(5, selection.size()), first, last);
            shown = 1;
        }
    } else {
        const QString text = hd.fixtext.isEmpty() ? hd.spaces + selection
                                                  : hd.spaces + hd.fixtext + (a ? QStringLiteral(" A") : QStringLiteral(" B"));
        if (first > 0 && last > 0) d->displaytexto(text, first, last);
    }
    resetText();
}

void HidControllers::Timer3Step()
{
    for (int n = 1; n <= 2; ++n) {
        TOstrelHid* d = live(n);
        if (!d) continue;
        if ((n == 1 ? tables_.CHARDISPLAY1 : tables_.CHARDISPLAY2) <= 0) {
            d->updatelights();
            continue;
        }
        state_.scrollpos1 += 0.5;
        if (state_.scrollpos1 > state_.scroll1.size() + 15) state_.scrollpos1 = 0;
        state_.scrollpos2 += 0.5;
        if (state_.scrollpos2 > state_.scroll2.size() + 15) state_.scrollpos2 = 0;
        display(n, n == 1 ? state_.hidcarga : state_.hidcarga2);
    }
}

// ---- lights that mirror the surface

void HidControllers::mirrorLights(const QString& text)
{
    mirror(1, text);
    mirror(2, text);
}

void HidControllers::mirror(int n, const QString& text)
{
    TOstrelHid* d = live(n);
    if (!d || !d->fenabled) return;
    const THidDisplay& hd = n == 1 ? tables_.hd : tables_.hd2;
    const auto& byLight = n == 1 ? tables_.hidourec2 : tables_.hid2ourec2;
    const auto& byCode = n == 1 ? tables_.hidourec : tables_.hid2ourec;
    const bool layerB = hd.modo == 0 && (n == 1 ? state_.hidcarga : state_.hidcarga2) != 0;
    for (int k = 1; k <= kMirrored; ++k) {
        const int c = byLight[size_t(layerB ? k + kLayer : k)][0];
        if (c <= 0 || c >= ControllerTables::kHidEntries || c > text.size()) continue;
        const int32_t light = byCode[size_t(c)][0];
        if (layerB ? light > 0 : light != 0) d->setLight(k, text.mid(c - 1, 1));
    }
    if (n == 1 && hd.modo == 0) d->setLight(layerB ? hd.sheada : hd.sheadb, QStringLiteral("0"));
}
