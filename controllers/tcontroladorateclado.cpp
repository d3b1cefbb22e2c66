// Loading the keyboard map: a definition file whose "INPUT" rows with midichan exactly "144" map
// a virtual-key code (control_midino) to a control.
#include "controllers/tcontroladora.h"

#include <algorithm>

#include <QFileInfo>

#include "controllers/controllertables.h"
#include "controllers/definitionrow.h"

void TControladora::loadteclado(const QString& path)
{
    loadKeys(&path, nullptr);
}

void TControladora::loadtecladoData(const QByteArray& xml)
{
    loadKeys(nullptr, &xml);
}

void TControladora::loadKeys(const QString* path, const QByteArray* data)
{
    if (path && !QFileInfo(*path).isFile()) return;
    // only the first 170 keys are cleared; the rest keep what an earlier load wrote
    for (int vk = 0; vk < 170; ++vk) {
        MappingEntry& e = mmform.keyinbut[size_t(vk)];
        std::fill(e.begin(), e.begin() + 6, 0);
    }
    readRows(path, data, [&](const DefinitionRow& row) { keyRow(row); });
    pause();
}

void TControladora::keyRow(const DefinitionRow& row)
{
    const int32_t vk = row.number("control_midino");
    if (row.text("control_group") != QLatin1String("INPUT") || row.text("midichan") != QLatin1String("144")) return;
    if (vk >= ControllerTables::kKeyEntries) return;  // no such key: this row only is skipped
    MappingEntry& e = mmform.keyinbut[size_t(vk)];
    e[0] = damecontrol(row.text("control_key"));
    e[1] = row.number("midichan");
    e[2] = row.number("sensitivity");
    e[3] = row.number("range");
    e[4] = row.number("rangelo");
    e[5] = row.number("rangeup");
}
