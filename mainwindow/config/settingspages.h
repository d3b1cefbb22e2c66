// The plain-value pages of the configuration dialog, as a model without widgets:
// "AUtomix/Brake" (fade times, brake time, pitch range; the hidden keylock and kill-cut rows),
// "Samples" (six sampler files), "System Performance" (performance level, update check at
// start), and the two pages whose tabs are never shown, "Rec / Mic" and "Skin". Each control is
// filled from the configuration when the dialog opens and stored at OK; only the sample
// buttons act at once, on the dialog's own boxes.
#pragma once

#include <array>

#include <QString>

#include "mainwindow/config/checklist.h"
#include "mainwindow/config/selector.h"

class ConfigEngine;
class PSoundConfig;
struct PendingChoices;

class SettingsPages {
  public:
    SettingsPages(ConfigEngine& engine, PendingChoices& pending, const QString& profile);

    // ---- AUtomix/Brake
    QString auto1, auto2;  // dr, lr as text
    Selector cbrake;       // "5", "10", "15"
    Selector bend;         // "4" ... "32", and the stored range when it is none of them
    Selector keylockonoff; // "No", "Yes" (hidden row)
    Selector cutedb;       // "-60 dB Hard", "-50 dB Medium", "-40 dB Soft" (hidden row)
    // ---- Samples: the boxes s1..s6 (index 0..5)
    std::array<QString, 6> s;
    // ---- System Performance
    int performance = 0; // ph 0, pm 1, pl 2
    Selector updatescom; // "No", "Yes"
    // ---- Rec / Mic (hidden)
    Selector record_sel; // "External ( Line In)", "Internal (What you hear)", ""
    Selector ComboBox2;  // recording devices
    // ---- Skin (hidden)
    CheckList ListView2; // "AVAIBLE SKINS"

    // The six default sample files of the profile folder ("samples/ALARM 1.mp3", ...), row 1..6.
    static QString defaultSample(const QString& profile, int row);

    // ---- fills
    // Sample boxes, fade times, brake, pitch range, keylock, update check and recording source
    // from the configuration; the kill cut only at activation. Then the default samples when
    // every stored slot is unset, then "xxx" boxes shown empty.
    void fill(bool activation);
    void hidePlaceholders();
    void fillPerformance();
    void fillRecording(); // the engine's recording devices, the one in use selected
    void fillSkins();     // "*.ini" of the skin folder; the stored skin checked
    void checkStoredSkin();
    // a skin entry's check mark set or cleared (the fills and the user): checking one unchecks
    // the others and makes it the pending skin
    void setSkinCheck(int index, bool on);

    // ---- sample buttons of row 1..6
    void jb1Click(int row, const QString& pickedFile); // "...": the file the user picked
    void JvHTButton3Click(int row);                    // "delete"

    // ---- OK
    // 0 when both fade times are whole numbers of 0 or more; else 1 (auto1) or 2 (auto2)
    int badFadeTime() const;
    static bool fadeTime(const QString& text, int* value);
    void storePerformance();
    void storeRecording();
    // the samples, the fade times (checked before), brake, pitch range, kill cut
    void storeValues();
    // the pending skin into the configuration; true when it changed (the main window's cambioskin)
    bool storeSkin();

  private:
    PSoundConfig& cfg() const;

    ConfigEngine& engine_;
    PendingChoices& pending_;
    QString profile_;
};
