// Performance presets (higp, medp, lowp: PresetControls) and the CPU meter, the first step of
// the 1 s Timer5 (the update check follows it in tform1update.cpp).
#include <cmath>

#include <QComboBox>
#include <QLabel>

#include "engine/audiobase.h"
#include "engine/carga.h"
#include "engine/visual/tvisuales.h"
#include "mainwindow/form/formbuilder.h"
#include "mainwindow/logic/cpumean.h"
#include "mainwindow/tform1.h"
#include "snkins/vr/trled.h"

void Tform1::wirePresets()
{
    const char* labels[] = {"Label1", "Label2", "lelapsed1", "lremain1", "Label10", "Label8", "lelapsed2", "lremain2"};
    for (size_t i = 0; i < 8; ++i) presets.timeLabels[i] = controlView(QLatin1String(labels[i]));
    for (size_t i = 0; i < 2; ++i) {
        const bool a = i == 0;
        presets.jogPanels[i] = controlView(a ? QStringLiteral("panelwheel1") : QStringLiteral("panelwheel2"));
        presets.needles[i] = controlView(a ? QStringLiteral("vu1") : QStringLiteral("vu2"));
        presets.compasses[i] = controlView(a ? QStringLiteral("comdis1") : QStringLiteral("comdis2"));
        presets.centreMeters[i] = controlView(a ? QStringLiteral("panvumetercentro1") : QStringLiteral("panvumetercentro2"));
        presets.leds[i] = controlView(a ? QStringLiteral("led1") : QStringLiteral("led2"));
    }
    presets.extendedView = [this] {
        auto* combo = get<QComboBox>(QStringLiteral("ComboBoxEx1"));
        return !combo || combo->currentText() == QLatin1String("Extended");
    };
    presets.setdisplayspec = [this](int mode) {
        if (auto* v = dynamic_cast<TVisuales*>(adj ? adj->visual : nullptr)) v->setdisplayspec(mode == 1);
        // mode 0 scrolls the waveforms, mode 1 shows the progress bars
        for (const char* bar : {"pro1", "pro2"})
            if (QWidget* w = get<QWidget>(QLatin1String(bar))) w->setVisible(mode == 1);
    };
    presets.setFace = [this](int deck, const QString& holder) {
        auto* face = get<QLabel>(deck == 1 ? QStringLiteral("vumeteranalogico") : QStringLiteral("vumeteranalogicob"));
        auto* from = get<QLabel>(holder);
        if (face && from) face->setPixmap(from->pixmap());
    };
}

// The presets set deck A's update period and buffer length, which both decks' output uses.
static void presetOn(Tform1& w, int level)
{
    carga* a = w.adj ? w.adj->carga1 : nullptr;
    w.presets.configup = a ? &a->configup : nullptr;
    w.presets.configbu = a ? &a->configbu : nullptr;
    w.presets.apply(level);
}

void Tform1::higp() { presetOn(*this, 0); }
void Tform1::medp() { presetOn(*this, 1); }
void Tform1::lowp() { presetOn(*this, 2); }

void Tform1::Timer5Timer()
{
    if (auto* cpu = get<TRLed>(QStringLiteral("cpu"))) cpu->SetPosition(int(std::lround(cpuMean())));
    updateCheckTick();
}
