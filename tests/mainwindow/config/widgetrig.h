// The configuration dialog's widgets over the fakes: a main window to be modal over, the
// dialog with its own message boxes, and what it reports when it closes.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include "mainwindow/config/midiportreader.h"
#include "mainwindow/config/tfnewconfig.h"
#include "tests/mainwindow/config/configapp.h"
#include "tests/mainwindow/config/dialogrig.h"

// the application exists before any widget of the rig
struct ConfigAppFirst {
    ConfigAppFirst() { configApp(); }
};

struct WidgetRig : ConfigAppFirst, DialogRig {
    WidgetRig() {
        mainWindow.resize(1024, 700);
        mainWindow.show();
    }
    ~WidgetRig() {
        delete dialog.data();
        settle();
    }

    Tfnewconfig* openDialog(bool withOwnPrompts = true) {
        ConfigDialogModel::Services s;
        s.engine = &engine;
        s.prompts = withOwnPrompts ? nullptr : &prompts;
        s.midi = ports ? ports : &midi;
        s.midiReader = reader;
        s.main = &services;
        s.pending = &pending;
        s.profile = profile.path();
        dialog = new Tfnewconfig(&mainWindow, s);
        QObject::connect(dialog, &Tfnewconfig::configClosed, [this](bool accepted, bool skin) {
            closes.push_back(accepted);
            skinChanged = skin;
        });
        dialog->open();
        settle();
        return dialog;
    }

    // lets queued calls and deferred deletes run
    static void settle(int ms = 30) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
    }

    // the open message box of the dialog, if any
    QMessageBox* box() const {
        return dialog ? dialog->findChild<QMessageBox*>(QStringLiteral("configwarning")) : nullptr;
    }

    // other MIDI ports than `midi`, and a reader that reads them on its worker (both outlive the rig)
    ConfigMidiPorts* ports = nullptr;
    MidiPortReader* reader = nullptr;
    QWidget mainWindow;
    QPointer<Tfnewconfig> dialog;
    std::vector<bool> closes;
    bool skinChanged = false;
};

// The gated ports and their reader, made before the rig and gone after its dialogs; the gate is
// opened before the reader goes, so that its worker can end.
struct GatedReader {
    GatedReader() : reader((configApp(), ports)) {}
    ~GatedReader() { ports.release(); }
    GatedMidiPorts ports;
    MidiPortReader reader;
};
