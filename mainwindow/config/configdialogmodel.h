// The configuration dialog Tfnewconfig without its widgets: what happens when it is created,
// when it is shown (activated), at OK and at CANCEL, over the models of its pages. It edits the
// engine's live configuration in place and never writes the database: whoever opened the dialog
// stores and applies the configuration after it has closed.
//
// OK checks every field before it stores anything (the fade times, the routing, a choice in
// every shown device and channel selector); a failed check says which, brings its page to the
// front and keeps the dialog open. CANCEL stores nothing. Live edits made while the dialog is
// open stay whatever closes it: the driver switch the user confirmed (with the decks stopped)
// and the re-created MIDI port objects.
#pragma once

#include <QObject>
#include <QString>

#include "mainwindow/config/audiosetuppage.h"
#include "mainwindow/config/controllerpages.h"
#include "mainwindow/config/settingspages.h"

class ConfigEngine;
class ConfigHidDriver;
class ConfigMidiPorts;
class ConfigPrompts;
class MidiPortReader;
class MainServices;
struct PendingChoices;

class ConfigDialogModel : public QObject {
    Q_OBJECT
  public:
    // The pages in the page control's order; Rec / Mic and Skin never show their tabs.
    enum Page {
        TabSheet1,
        TabSheet8,
        TabSheet6,
        TabSheet2,
        TabSheet3,
        TabSheet5,
        TabSheet7,
        TabSheet4,
        kPages
    };
    static QString pageCaption(int page);
    static bool pageShown(int page);

    struct Services {
        ConfigEngine* engine = nullptr;
        ConfigPrompts* prompts = nullptr;
        ConfigMidiPorts* midi = nullptr;   // the main window's MIDI port objects
        MidiPortReader* midiReader = nullptr; // reads their list on a worker; nullptr: in place
        ConfigHidDriver* hid = nullptr;    // the first HID driver; nullptr while none exists
        MainServices* main = nullptr;      // the main loop pause
        PendingChoices* pending = nullptr; // the unit-level choices (PendingChoices::unit())
        QString profile;                   // the user profile folder
    };

    explicit ConfigDialogModel(const Services& services, QObject* parent = nullptr);
    ~ConfigDialogModel() override;

    // FormCreate and FormActivate
    void create();
    void activate();
    // OK (JvHTButton2Click): true when everything was stored and the dialog closes
    bool ok();
    // CANCEL (JvHTButton1Click): the dialog closes, storing nothing
    void cancel();
    // the dialog has closed, whatever closed it: the main loop pause is lifted
    void closed();

    QString myapplicationdir;
    int page = TabSheet1;    // the page in front
    bool cambioskin = false; // set at OK when the skin changed: the main window re-applies it

    AudioSetupPage audio;
    ControllerPages controllers;
    SettingsPages settings;

  signals:
    // the state changed: the view shows it again
    void changed();
    // a control by object name gets the focus (after a failed check)
    void focusRequested(const QString& name);
    void busy(bool on);
    // OK or CANCEL: the dialog closes; accepted for OK
    void closeRequested(bool accepted);

  private:
    void mmain(bool on);
    void front(int p);

    Services s_;
};
