// Loading a HID controller's definition file into its tables, its display record and its driver's
// byte tables. Every position a row names is checked: a table row past 520, a "SUMAR" past 65, a
// byte position past 65 in a layout key, is not applied.
#include "controllers/tcontroladora.h"

#include <QFileInfo>

#include "controllers/controllertables.h"
#include "controllers/definitionrow.h"
#include "controllers/dispatch/controllersurface.h"
#include "controllers/hid/tostrelhid.h"
#include "controllers/profilepath.h"

namespace {

constexpr int kTable = ControllerTables::kHidEntries;  // positions 0..520
constexpr int kBytes = TOstrelHid::kBytes;             // driver byte tables 0..65
constexpr int kMaxSpaces = 64;

int digit(QChar c)
{
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) throw DefinitionRow::Error();
    return c.unicode() - '0';
}

// start and length members of the display fields, by group
struct DisplayField {
    const char* group;
    int32_t THidDisplay::*start;
    int32_t THidDisplay::*length;
};

constexpr DisplayField kDisplayFields[] = {
    {"DBPMA", &THidDisplay::dbpmAstart, &THidDisplay::dbpmAlength},
    {"DBPMB", &THidDisplay::dbpmBstart, &THidDisplay::dbpmBlength},
    {"DPITCHA", &THidDisplay::dpitchAstart, &THidDisplay::dpitchAlength},
    {"DPITCHB", &THidDisplay::dpitchBstart, &THidDisplay::dpitchBlength},
    {"DTRACKA", &THidDisplay::dtrackAstart, &THidDisplay::dtrackAlength},
    {"DTRACKB", &THidDisplay::dtrackBstart, &THidDisplay::dtrackBlength},
    {"DPITCHSIGNAMAS", &THidDisplay::dpitchsignmasAstart, &THidDisplay::dpitchsignmasAlength},
    {"DPITCHSIGNBMAS", &THidDisplay::dpitchsignmasBstart, &THidDisplay::dpitchsignmasBlength},
    {"DPITCHSIGNAMENOS", &THidDisplay::dpitchsignmenosAstart, &THidDisplay::dpitchsignmenosAlength},
    {"DPITCHSIGNBMENOS", &THidDisplay::dpitchsignmenosBstart, &THidDisplay::dpitchsignmenosBlength},
    {"DMINATOT", &THidDisplay::dminATotstart, &THidDisplay::dminATotlength},
    {"DMINBTOT", &THidDisplay::dminBTotstart, &THidDisplay::dminBTotlength},
    {"DSECATOT", &THidDisplay::dsecATotstart, &THidDisplay::dsecATotlength},
    {"DSECBTOT", &THidDisplay::dsecBTotstart, &THidDisplay::dsecBTotlength},
    {"DMSECATOT", &THidDisplay::dmsecATotstart, &THidDisplay::dmsecATotlength},
    {"DMSECBTOT", &THidDisplay::dmsecBTotstart, &THidDisplay::dmsecBTotlength},
    {"DMINA", &THidDisplay::dminAstart, &THidDisplay::dminAlength},
    {"DMINB", &THidDisplay::dminBstart, &THidDisplay::dminBlength},
    {"DSECA", &THidDisplay::dsecAstart, &THidDisplay::dsecAlength},
    {"DSECB", &THidDisplay::dsecBstart, &THidDisplay::dsecBlength},
    {"DMSECA", &THidDisplay::dmsecAstart, &THidDisplay::dmsecAlength},
    {"DMSECB", &THidDisplay::dmsecBstart, &THidDisplay::dmsecBlength},
    {"DSELECTORA", &THidDisplay::dselectorAstart, &THidDisplay::dselectorAlength},
    {"DSELECTORB", &THidDisplay::dselectorBstart, &THidDisplay::dselectorBlength},
    {"DTEXTOA", &THidDisplay::dtextoAstart, &THidDisplay::dtextoAlength},
    {"DTEXTOB", &THidDisplay::dtextoBstart, &THidDisplay::dtextoBlength},
};

// "+", "S", "X", "M" keys: two-digit positions for data bytes 1 .. (n div 2) - 1
template <typename Each>
void pairs(const QString& key, Each each)
{
    const int count = int(key.size() / 2) - 1;
    for (int q = 1; q <= count; ++q) {
        const int v = digit(key[2 * q - 1]) * 10 + digit(key[2 * q]);
        if (q < kBytes) each(q, v);
    }
}

}  // namespace

void TControladora::loadhidcontroller(const QString& fileName)
{
    const QString path = ProfilePath::find(profile_, QStringLiteral("devices/HID/") + fileName);
    loadHid(1, &path, nullptr);
}

void TControladora::loadhidcontroller2(const QString& fileName)
{
    const QString path = ProfilePath::find(profile_, QStringLiteral("devices/HID/") + fileName);
    loadHid(2, &path, nullptr);
}

void TControladora::loadhidcontrollerData(int controller, const QByteArray& xml)
{
    loadHid(controller == 2 ? 2 : 1, nullptr, &xml);
}

void TControladora::loadHid(int controller, const QString* path, const QByteArray* data)
{
    TOstrelHid* driver = controller == 1 ? mmform.hidcontrol1 : mmform.Hidcontrol2;
    if (!driver || (path && !QFileInfo(*path).isFile())) return;

    THidDisplay& hd = controller == 1 ? mmform.hd : mmform.hd2;
    hd.modo = 1;
    (controller == 1 ? mmform.CHARDISPLAY1 : mmform.CHARDISPLAY2) = 0;
    hd.scrollamos = true;
    hd.fixtext.clear();
    hd.spaces.clear();
    const std::array<ControllerTables::HidTable*, 4> tables =
        controller == 1 ? std::array{&mmform.hidinbut, &mmform.hidinpot, &mmform.hidourec, &mmform.hidourec2}
                        : std::array{&mmform.hid2inbut, &mmform.hid2inpot, &mmform.hid2ourec, &mmform.hid2ourec2};
    for (ControllerTables::HidTable* t : tables) clearFields0to5(*t);
    for (int i = 0; i < kBytes; ++i) {
        driver->leds[size_t(i)].clear();
        driver->multi[size_t(i)] = driver->sumar[size_t(i)] = driver->dire[size_t(i)] = 0;
        driver->valor[size_t(i)] = driver->tipo[size_t(i)] = driver->tipol[size_t(i)] = driver->btoi[size_t(i)] = 0;
        // each load starts its direction counters afresh
        driver->signo[size_t(i)] = 0;
        driver->lista[size_t(i)].clear();
        driver->luces[size_t(i)].clear();
    }
    driver->valsigno.fill(0);
    hd.cadenatexto.clear();
    hd.cadenaled.clear();

    readRows(path, data, [&](const DefinitionRow& row) { hidRow(controller, *driver, hd, row); });
    pause();
}

void TControladora::hidRow(int controller, TOstrelHid& driver, THidDisplay& hd, const DefinitionRow& row)
{
    const int32_t p = row.number("control_midino");
    const QString group = row.text("control_group");
    const bool first = controller == 1;
    auto text = [&](const char* element) { return row.text(element); };

    if (group == QLatin1String("INPUT")) {
        if (p >= kTable) return;
        const QString chan = text("midichan");
        if (chan == QLatin1String("144")) {
            MappingEntry& e = (first ? mmform.hidinbut : mmform.hid2inbut)[size_t(p)];
            e[0] = damecontrol(text("control_key"));
            e[1] = 144;
            row.readScale(e);
        } else if (chan == QLatin1String("176")) {
            MappingEntry& e = (first ? mmform.hidinpot : mmform.hid2inpot)[size_t(p)];
            e[0] = damecontrol(text("control_key"));
            e[1] = 176;
            row.readScale(e);
            e[6] = text("miditype") == QLatin1String("CtrlI") ? 0 : 1;
        }
    } else if (group == QLatin1String("OUTPUT")) {
        const int code = damecontrolou(text("control_key"));
        if (code == 0 || p >= kTable) return;
        if (code == 34) hd.sheada = p;
        if (code == 84) hd.sheadb = p > 300 ? p - 300 : p;
        MappingEntry& byLight = (first ? mmform.hidourec2 : mmform.hid2ourec2)[size_t(p)];
        byLight[0] = code;
        byLight[1] = row.number("midichan");
        row.readScale(byLight);
        MappingEntry& byCode = (first ? mmform.hidourec : mmform.hid2ourec)[size_t(code)];
        byCode[0] = p;
        byCode[1] = byLight[1];
        for (int k = 2; k <= 5; ++k) byCode[size_t(k)] = byLight[size_t(k)];
    } else if (group == QLatin1String("POTJOGAADJUST")) {
        mmform.ajustea = row.number("sensitivity");
    } else if (group == QLatin1String("POTJOGBADJUST")) {
        mmform.ajusteb = row.number("sensitivity");
    } else if (group == QLatin1String("POTJOGANOLIST")) {
        mmform.nobenda = true;
    } else if (group == QLatin1String("POTJOGBNOLIST")) {
        mmform.nobendb = true;
    } else if (group == QLatin1String("VALORBENDA")) {
        surface_.setvalorbend(0, row.number("sensitivity"));
    } else if (group == QLatin1String("VALORBENDB")) {
        surface_.setvalorbend(1, row.number("sensitivity"));
    } else if (group == QLatin1String("CONFIG")) {
        hidLayout(controller, driver, row);
    } else if (group == QLatin1String("CADENAINI")) {
        hd.cadenaini = text("control_key");
    } else if (group == QLatin1String("CADENAFIN")) {
        hd.cadenafin = text("control_key");
    } else if (group == QLatin1String("FIXTEXTO")) {
        hd.fixtext = text("control_key");
    } else if (group == QLatin1String("CADENALED")) {
        hd.cadenaled = text("control_key");
    } else if (group == QLatin1String("CADENATEXTO")) {
        hd.cadenatexto = text("control_key");
    } else if (group == QLatin1String("MODO")) {
        const QString key = text("control_key");
        if (key == QLatin1String("SINGLE")) {
            mmform.midmodo1 = 1;
            hd.modo = 0;
        } else {
            hd.modo = 1;
        }
        if (key == QLatin1String("CARGAA")) {
            hd.cargasingle = QStringLiteral("A");
            hd.modo = 1;
        } else if (key == QLatin1String("CARGAB")) {
            hd.cargasingle = QStringLiteral("B");
            hd.modo = 1;
        } else {
            hd.cargasingle.clear();
        }
    } else if (group == QLatin1String("SPACES")) {
        const int32_t n = row.number("sensitivity");
        if (n >= 2) hd.spaces = QString(std::min(n, kMaxSpaces), QLatin1Char(' '));
    } else if (group == QLatin1String("NOSCROLL")) {
        hd.scrollamos = row.number("sensitivity") == 1;
    } else if (group == QLatin1String("FIXEDA") || group == QLatin1String("FIXED")) {
        const int32_t chan = row.number("midichan");
        if (p >= kTable) return;
        (group == QLatin1String("FIXED") ? hd.fixed : hd.fixedA)[size_t(p)] =
            chan == 0 ? QStringLiteral("1") : QString::number(chan);
    } else if (group == QLatin1String("FIXEDB")) {
        if (p < kTable) hd.fixedB[size_t(p)] = QStringLiteral("1");
    } else if (group == QLatin1String("SUMAR")) {
        const int32_t offset = row.number("miditype");
        if (p < kBytes) driver.valor[size_t(p)] = offset;
    } else {
        for (const DisplayField& f : kDisplayFields) {
            if (group != QLatin1String(f.group)) continue;
            hd.*f.start = p;
            hd.*f.length = row.number("midichan");
            if (group == QLatin1String("DTEXTOA") || group == QLatin1String("DTEXTOB"))
                driver.modotexto = row.number("sensitivity") == 1 ? 1 : 0;
            break;
        }
    }
}

// A "CONFIG" row: the report layout key in control_key.
void TControladora::hidLayout(int controller, TOstrelHid& driver, const DefinitionRow& row)
{
    const QString key = row.text("control_key");
    if (key == QLatin1String("CHARDISPLAY")) {
        (controller == 1 ? mmform.CHARDISPLAY1 : mmform.CHARDISPLAY2) = 1;
        return;
    }
    if (key.isEmpty()) return;
    const QChar kind = key[0];
    if (kind == QLatin1Char('B') || kind == QLatin1Char('L')) {
        auto& table = kind == QLatin1Char('B') ? driver.tipo : driver.tipol;
        for (int p = 2; p <= key.size(); ++p) {
            const int d = digit(key[p - 1]);
            if (p - 1 < kBytes) table[size_t(p - 1)] = d;
        }
    } else if (kind == QLatin1Char('+')) {
        pairs(key, [&](int q, int v) { driver.signo[size_t(q)] = v; });
    } else if (kind == QLatin1Char('S')) {
        pairs(key, [&](int q, int v) { driver.sumar[size_t(q)] = v; });
    } else if (kind == QLatin1Char('M')) {
        pairs(key, [&](int q, int v) { driver.multi[size_t(q)] = v; });
    } else if (kind == QLatin1Char('X')) {
        const int32_t zero = row.number("sensitivity"), rest = row.number("range");
        const int32_t low = row.number("rangelo"), high = row.number("rangeup");
        pairs(key, [&](int q, int v) {
            driver.dire[size_t(q)] = v;
            driver.direzero = zero;
            driver.rangezero = rest;
            driver.direlow = low;
            driver.direhig = high;
        });
    }
}
