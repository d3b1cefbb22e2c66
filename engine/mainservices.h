// What the engine, the kit's dialogs and the library panels need of the main window:
// the main loop flag, the Hint mailbox and the owner of their timers. The main window
// implements it; tests use FakeMainServices (tests/support).
#pragma once

#include <QString>

class QObject;
class HintMailbox;

class MainServices {
public:
    virtual ~MainServices() = default;

    // Sets the main loop flag MainRunning: false pauses the main loop, true lets it run.
    // Always returns true.
    virtual bool mmain(bool flag) = 0;
    virtual bool mainRunning() const = 0;

    // The command mailbox the 50 ms tick reads; safe from any thread.
    virtual HintMailbox& hint() = 0;
    void postHint(const QString& word);

    // Owner of the engine's tick timer and message boxes (lives on the UI thread).
    virtual QObject* owner() = 0;
};
