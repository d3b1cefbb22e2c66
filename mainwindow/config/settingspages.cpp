#include "mainwindow/config/settingspages.h"

#include <QDir>

#include "controllers/profilepath.h"
#include "engine/psoundconfig.h"
#include "mainwindow/config/configengine.h"
#include "mainwindow/config/pendingchoices.h"

namespace {

const QString kUnset = QStringLiteral("xxx");
const int kBrakes[] = {5, 10, 15};
const int kPitches[] = {4, 8, 10, 12, 16, 32};
const int kCuts[] = {-60, -50, -40};

bool unset(const QString& s) {
    return s.isEmpty() || s == kUnset;
}

} // namespace

SettingsPages::SettingsPages(ConfigEngine& engine, PendingChoices& pending, const QString& profile)
    : engine_(engine), pending_(pending), profile_(profile) {
    cbrake.items = {QStringLiteral("5"), QStringLiteral("10"), QStringLiteral("15")};
    cbrake.index = 1;
    for (int p : kPitches)
        bend.items << QString::number(p);
    keylockonoff.items = {QStringLiteral("No"), QStringLiteral("Yes")};
    cutedb.items = {QStringLiteral("-60 dB Hard"), QStringLiteral("-50 dB Medium"),
                    QStringLiteral("-40 dB Soft")};
    cutedb.index = 0;
    updatescom.items = {QStringLiteral("No"), QStringLiteral("Yes")};
    record_sel.items = {QStringLiteral("External ( Line In)"), QStringLiteral("Internal (What you hear)"),
                        QString()};
}

PSoundConfig& SettingsPages::cfg() const {
    return engine_.soundcfg();
}

QString SettingsPages::defaultSample(const QString& profile, int row) {
    static const char* const files[] = {"ALARM 1.mp3", "ALARM 2.mp3",  "POLICE.mp3",
                                        "SPIRAL.mp3",  "THRILL 1.mp3", "THRILL 2.mp3"};
    if (row < 1 || row > 6) return QString();
    // in the profile's own spelling of the folder and file when they exist
    return ProfilePath::find(profile, QStringLiteral("samples/") + QString::fromLatin1(files[row - 1]));
}

// ---- fills

void SettingsPages::fill(bool activation) {
    PSoundConfig& c = cfg();
    for (int i = 0; i < 6; ++i)
        s[size_t(i)] = c.sample(i + 1)->get();
    auto1 = QString::number(int(c.dr));
    auto2 = QString::number(int(c.lr));

    for (int i = 0; i < 3; ++i)
        if (c.brake == kBrakes[i]) cbrake.setIndex(i);

    // a range that is none of the list's is shown and stored as it stands
    bend.items.clear();
    for (int p : kPitches)
        bend.items << QString::number(p);
    bend.index = -1;
    for (int i = 0; i < 6; ++i)
        if (c.pitch == kPitches[i]) bend.setIndex(i);
    if (bend.index < 0) {
        bend.items << QString::number(int(c.pitch));
        bend.setIndex(int(bend.items.size()) - 1);
    }

    keylockonoff.setIndex(c.usekeylock ? 1 : 0);
    updatescom.setIndex(c.micout != 0 ? 1 : 0);
    record_sel.setIndex(c.recinternal ? 1 : 0);
    if (activation)
        for (int i = 0; i < 3; ++i)
            if (c.cutdb == kCuts[i]) cutedb.setIndex(i);

    bool allUnset = true;
    for (const QString& box : s)
        allUnset = allUnset && unset(box);
    if (allUnset)
        for (int i = 0; i < 6; ++i)
            s[size_t(i)] = defaultSample(profile_, i + 1);
    hidePlaceholders();
}

void SettingsPages::hidePlaceholders() {
    for (QString& box : s)
        if (box == kUnset) box.clear();
}

void SettingsPages::fillPerformance() {
    const int com = cfg().com;
    performance = com >= 0 && com <= 2 ? com : 0;
}

void SettingsPages::fillRecording() {
    ComboBox2.setItems(engine_.recordNames());
    ComboBox2.setIndex(engine_.recds());
}

void SettingsPages::fillSkins() {
    ListView2.clear();
    const QString folder = ProfilePath::find(profile_, QStringLiteral("skin"));
    const QDir dir(folder);
    if (!folder.isEmpty() && dir.exists()) {
        const QStringList files = dir.entryList({QStringLiteral("*.ini")}, QDir::Files | QDir::Readable,
                                                QDir::Name | QDir::IgnoreCase);
        for (const QString& f : files)
            ListView2.add(f.left(f.size() - 4).toUpper());
    }
    checkStoredSkin();
}

void SettingsPages::checkStoredSkin() {
    const int i = ListView2.indexOf(cfg().skin);
    if (i < 0) return;
    if (ListView2.isChecked(i))
        pending_.skin = ListView2.items[i];
    else
        setSkinCheck(i, true);
}

void SettingsPages::setSkinCheck(int index, bool on) {
    if (index < 0 || index >= ListView2.size() || ListView2.checked[size_t(index)] == on) return;
    ListView2.checked[size_t(index)] = on;
    if (!on) return;
    for (int j = 0; j < ListView2.size(); ++j)
        if (j != index) ListView2.checked[size_t(j)] = false;
    pending_.skin = ListView2.items[index];
}

// ---- sample buttons

void SettingsPages::jb1Click(int row, const QString& pickedFile) {
    if (row < 1 || row > 6 || pickedFile.isEmpty()) return;
    s[size_t(row - 1)] = pickedFile;
}

void SettingsPages::JvHTButton3Click(int row) {
    if (row >= 1 && row <= 6) s[size_t(row - 1)].clear();
}

// ---- OK

bool SettingsPages::fadeTime(const QString& text, int* value) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (!ok || v < 0) return false;
    if (value) *value = v;
    return true;
}

int SettingsPages::badFadeTime() const {
    if (!fadeTime(auto1, nullptr)) return 1;
    if (!fadeTime(auto2, nullptr)) return 2;
    return 0;
}

void SettingsPages::storePerformance() {
    cfg().com = performance;
}

void SettingsPages::storeRecording() {
    PSoundConfig& c = cfg();
    c.usekeylock = true;
    c.micout = updatescom.index == 1 ? 1 : 0;
    c.recinternal = record_sel.index != 0;
    c.recnum = ComboBox2.index;
    engine_.setRecds(c.recnum);
}

void SettingsPages::storeValues() {
    PSoundConfig& c = cfg();
    for (int i = 0; i < 6; ++i) {
        QString& box = s[size_t(i)];
        if (box.isEmpty()) box = kUnset;
        *c.sample(i + 1) = box;
    }
    int v = 0;
    if (fadeTime(auto1, &v)) c.dr = v;
    if (fadeTime(auto2, &v)) c.lr = v;
    c.brake = cbrake.has(cbrake.index) ? kBrakes[cbrake.index] : 0;
    c.pitch = bend.has(bend.index) ? bend.text().toInt() : 0;
    c.cutdb = cutedb.has(cutedb.index) ? kCuts[cutedb.index] : 0;
}

bool SettingsPages::storeSkin() {
    if (pending_.skin.isEmpty()) pending_.skin = QStringLiteral("-");
    if (pending_.skin == cfg().skin.get()) return false;
    cfg().skin = pending_.skin;
    return true;
}
