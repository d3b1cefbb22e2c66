// Loading a MIDI controller's definition file into its mapping tables, filter and options.
#include "controllers/tcontroladora.h"

#include <algorithm>

#include <QFileInfo>

#include "controllers/controllertables.h"
#include "controllers/definitionrow.h"
#include "controllers/dispatch/controllersurface.h"
#include "controllers/profilepath.h"

namespace {

// start and length members of the display fields, by group
struct DisplayField {
    const char* group;
    int32_t TMidDisplay::*start;
    int32_t TMidDisplay::*length;
};

constexpr DisplayField kDisplayFields[] = {
    {"DMINA", &TMidDisplay::dminAstart, &TMidDisplay::dminAlength},
    {"DSECA", &TMidDisplay::dsecAstart, &TMidDisplay::dsecAlength},
    {"DMSECA", &TMidDisplay::dmsecAstart, &TMidDisplay::dmsecAlength},
    {"DTRACKA", &TMidDisplay::dtrackAstart, &TMidDisplay::dtrackAlength},
    {"DBPMA", &TMidDisplay::dbpmAstart, &TMidDisplay::dbpmAlength},
    {"DPITCHA", &TMidDisplay::dpitchAstart, &TMidDisplay::dpitchAlength},
    {"DMINB", &TMidDisplay::dminbstart, &TMidDisplay::dminblength},
    {"DSECB", &TMidDisplay::dsecbstart, &TMidDisplay::dsecblength},
    {"DMSECB", &TMidDisplay::dmsecbstart, &TMidDisplay::dmsecblength},
    {"DTRACKB", &TMidDisplay::dtrackbstart, &TMidDisplay::dtrackblength},
    {"DBPMB", &TMidDisplay::dbpmbstart, &TMidDisplay::dbpmblength},
    {"DPITCHB", &TMidDisplay::dpitchbstart, &TMidDisplay::dpitchblength},
};

}  // namespace

void TControladora::loadcontroller(const QString& fileName)
{
    const QString path = ProfilePath::find(profile_, QStringLiteral("devices/") + fileName);
    loadMidi(1, &path, nullptr);
}

void TControladora::loadcontroller2(const QString& fileName)
{
    const QString path = ProfilePath::find(profile_, QStringLiteral("devices/") + fileName);
    loadMidi(2, &path, nullptr);
}

void TControladora::loadcontrollerData(int controller, const QByteArray& xml)
{
    loadMidi(controller == 2 ? 2 : 1, nullptr, &xml);
}

void TControladora::loadMidi(int controller, const QString* path, const QByteArray* data)
{
    if (path && !QFileInfo(*path).isFile()) return;

    // the first controller lets through only the numbers its rows name, the second every number
    (controller == 1 ? ignore : ignore2).fill(controller == 1 ? 1 : 0);
    clearFields0to5(controller == 1 ? mmform.midiinbut : mmform.midiinbut2);
    clearFields0to5(controller == 1 ? mmform.midiourec : mmform.midiourec2);
    mmform.hdm.modo = 1;
    mmform.hdm2.modo = 1;
    mmform.MCHARDISPLAY1 = 0;

    readRows(path, data, [&](const DefinitionRow& row) { midiRow(controller, row); });
    pause();
}

void TControladora::midiRow(int controller, const DefinitionRow& row)
{
    const int32_t n = row.number("control_midino");
    const QString group = row.text("control_group");
    TMidDisplay& hd = controller == 1 ? mmform.hdm : mmform.hdm2;

    if (group == QLatin1String("INPUT")) {
        inputRow(controller, row);
    } else if (group == QLatin1String("OUTPUT")) {
        outputRow(controller, row);
    } else if (group == QLatin1String("POTJOGAADJUST")) {
        mmform.ajustea = row.number("sensitivity");
    } else if (group == QLatin1String("POTJOGBADJUST")) {
        mmform.ajusteb = row.number("sensitivity");
    } else if (group == QLatin1String("VALORBENDA")) {
        surface_.setvalorbend(0, row.number("sensitivity"));
    } else if (group == QLatin1String("VALORBENDB")) {
        surface_.setvalorbend(1, row.number("sensitivity"));
    } else if (group == QLatin1String("DELCHANNEL")) {
        (controller == 1 ? mmform.delchana : mmform.delchanb) = row.number("sensitivity");
    } else if (group == QLatin1String("POTJOGANOLIST")) {
        mmform.nobenda = true;
    } else if (group == QLatin1String("POTJOGBNOLIST")) {
        mmform.nobendb = true;
    } else if (group == QLatin1String("LEDS")) {
        (controller == 1 ? mmform.showleds : mmform.showleds2) = row.text("control_key") == QLatin1String("ON");
    } else if (group == QLatin1String("MODO")) {
        const QString key = row.text("control_key");
        const bool single = key == QLatin1String("SINGLE");
        mmform.midmodo1 = single || key == QLatin1String("CARGAA") || key == QLatin1String("CARGAB") ? 0 : 1;
        hd.modo = single ? 0 : 1;
    } else if (group == QLatin1String("CONFIG")) {
        if (row.text("control_key") == QLatin1String("CHARDISPLAY")) mmform.MCHARDISPLAY1 = 1;
    } else if (group == QLatin1String("DTEXTOA")) {
        if (row.text("miditype") == QLatin1String("Double")) displayText(hd, row, n);
    } else {
        for (const DisplayField& f : kDisplayFields) {
            if (group == QLatin1String(f.group)) {
                hd.*f.start = n;
                hd.*f.length = row.text("miditype") == QLatin1String("Single") ? 1 : 2;
                break;
            }
        }
    }
}

void TControladora::inputRow(int controller, const DefinitionRow& row)
{
    const int32_t s = row.number("midichan");
    const int type = (s & 0xFF) & 0xF0;
    const int32_t m = row.number("control_midino");
    const int64_t key = std::min<int64_t>(DefinitionRow::midiKey(s, m), ControllerTables::kMidiEntries - 1);
    MappingEntry& e = (controller == 1 ? mmform.midiinbut : mmform.midiinbut2)[size_t(key)];
    const QString miditype = row.text("miditype");
    const bool inverted = miditype == QLatin1String("CtrlI");

    if (type == 0x90) {
        e[0] = damecontrol(row.text("control_key"));
        e[1] = s;
        row.readScale(e);
    } else if (type == 0xB0 || type == 0xE0) {
        // a number above 300 only lets number - 300 through the filter
        const int32_t flag = m <= 300 ? m : m - 300;
        if (flag >= 0 && flag < 128) (controller == 1 ? ignore : ignore2)[size_t(flag)] = 0;
        e[6] = inverted ? 0 : 1;
        e[0] = damecontrol(row.text("control_key"));
        e[1] = inverted || miditype == QLatin1String("Ctrl") ? 176 : 144;
        row.readScale(e);
    } else {
        e[6] = inverted ? 0 : 1;
        e[0] = damecontrol(row.text("control_key"));
        // the status as written, without the "0" in front: an empty one is an error here
        if (row.text("midichan").isEmpty()) throw DefinitionRow::Error();
        e[1] = s;
        row.readScale(e);
    }
}

void TControladora::outputRow(int controller, const DefinitionRow& row)
{
    const int64_t key = DefinitionRow::midiKey(row.number("midichan"), row.number("control_midino"));
    const int code = damecontrolou(row.text("control_key"));
    if (code == 0) return;
    MappingEntry& e = (controller == 1 ? mmform.midiourec : mmform.midiourec2)[size_t(code)];
    e[0] = int32_t(key);  // not limited; the lights use its low byte
    e[1] = row.number("midichan");
    row.readScale(e);
}

// "DTEXTOA" with miditype "Double": `count` groups of four hexadecimal digits, each two bytes.
void TControladora::displayText(TMidDisplay& hd, const DefinitionRow& row, int count)
{
    const QString digits = row.text("control_key");
    for (int j = 0; j < count; ++j) {
        if (qsizetype(4) * j + 4 > digits.size()) throw DefinitionRow::Error();
        const std::optional<int> a = HexToByte(digits.mid(4 * j, 2));
        const std::optional<int> b = HexToByte(digits.mid(4 * j + 2, 2));
        if (!a || !b) throw DefinitionRow::Error();
        if (j < int(hd.dtexta.size())) {
            hd.dtexta[size_t(j)] = *a;
            hd.dtexta1[size_t(j)] = *b;
        }
    }
    hd.textlength = count;
}
