#include "mainwindow/config/configdialogmodel.h"

#include "engine/mainservices.h"
#include "mainwindow/config/configengine.h"
#include "mainwindow/config/configprompts.h"
#include "mainwindow/config/pendingchoices.h"

ConfigDialogModel::ConfigDialogModel(const Services& services, QObject* parent)
    : QObject(parent), audio(*services.engine, *services.prompts,
                             AudioSetupPage::Hooks{
                                 [this] { settings.hidePlaceholders(); },
                                 [this] { activate(); },
                                 [this](bool on) { emit busy(on); },
                                 [this] { front(TabSheet1); },
                                 [this](const QString& name) { emit focusRequested(name); },
                                 [this] { emit changed(); },
                             }),
      controllers(services.midi, services.midiReader, services.hid, *services.pending,
                  services.engine->soundcfg(), services.profile),
      settings(*services.engine, *services.pending, services.profile), s_(services) {
    controllers.busy = [this](bool on) { emit busy(on); };
    controllers.portsShown = [this] { emit changed(); };
}

ConfigDialogModel::~ConfigDialogModel() = default;

QString ConfigDialogModel::pageCaption(int p) {
    static const char* const captions[] = {
        "Audio Setup",     "Rec / Mic",      "AUtomix/Brake",      "Samples",
        "Midi Controller", "HID Controller", "System Performance", "Skin"};
    return p >= 0 && p < kPages ? QString::fromLatin1(captions[p]) : QString();
}

bool ConfigDialogModel::pageShown(int p) {
    return p != TabSheet8 && p != TabSheet4;
}

void ConfigDialogModel::mmain(bool on) {
    if (s_.main) s_.main->mmain(on);
}

void ConfigDialogModel::front(int p) {
    page = p;
    emit changed();
}

void ConfigDialogModel::create() {
    mmain(false);
    myapplicationdir = s_.profile;
    // the six change events detached while the lists fill
    controllers.detach();
    s_.pending->controladora.clear();
    controllers.refreshHidDevices();
    settings.fillSkins();
    controllers.fillCreation();
    controllers.attach();
    settings.fill(false);
    controllers.readMidiPorts(ControllerPages::PortFill::creation);
    audio.cambio();
    emit changed();
}

void ConfigDialogModel::activate() {
    mmain(false);
    controllers.readMidiPorts(ControllerPages::PortFill::activation);
    settings.fill(true);
    audio.pressStoredDriver();
    audio.cambio();
    audio.selectStored();
    settings.fillPerformance();
    controllers.detach();
    settings.fillRecording();
    settings.checkStoredSkin();
    controllers.checkStored();
    controllers.attach();
    emit changed();
}

bool ConfigDialogModel::ok() {
    mmain(false);
    // every check first: nothing is stored when one fails
    if (const int bad = settings.badFadeTime()) {
        s_.prompts->warn(
            bad == 1
                ? QStringLiteral("Down volume when remain (seconds): give a whole number of 0 or more.")
                : QStringLiteral("Launch song when remain (seconds): give a whole number of 0 or more."));
        front(TabSheet6);
        emit focusRequested(bad == 1 ? QStringLiteral("auto1") : QStringLiteral("auto2"));
        return false;
    }
    if (!audio.compruebosalidas() || !audio.selectionsComplete()) {
        emit changed();
        return false;
    }
    audio.store();
    settings.storePerformance();
    settings.storeRecording();
    // graboconfig, the dialog's own save step
    settings.storeValues();
    controllers.store();
    settings.storeRecording();
    cambioskin = settings.storeSkin();
    emit closeRequested(true);
    return true;
}

void ConfigDialogModel::cancel() {
    mmain(false);
    emit closeRequested(false);
}

void ConfigDialogModel::closed() {
    controllers.stopReading();
    mmain(true);
}
