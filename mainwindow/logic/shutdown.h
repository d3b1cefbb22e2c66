// The close question and the shut-down order of the main window.
//
// closeQuestion: nothing to ask when both decks are empty (both artist labels read "No Song");
// "The music is playing. Are you sure to exit ? " when either deck plays; else "Are you sure to
// close Korvanta?".
//
// ShutDown runs the window's shut-down steps in their order, once: a second FormClose does
// nothing. Before the engine goes, the loads under way are waited for (joined, never by handling
// events); the deck message boxes a loading thread asks for from then on answer at once without
// being shown. Nothing here pumps events or sleeps. UI thread only.
#pragma once

#include <functional>

#include <QString>

class ShutDown {
public:
    enum class Question { none, loaded, playing };
    static Question closeQuestion(const QString& artist1, const QString& artist2, bool playing1, bool playing2);
    static QString questionText(Question q);
    static QString questionCaption() { return QStringLiteral("Warning "); }

    // The steps, each the window's; empty ones are skipped.
    struct Steps {
        std::function<void()> restoreSleep;    // the saved power state back
        std::function<void()> stopMainLoop;    // MainRunning := False, the loop's timer stopped
        std::function<void()> stopTimers;      // Timer1, Timer2, Timer3, timer4, Timer5, Tscratch
        std::function<void()> hidInputsOff;    // every HID driver's input off
        std::function<void()> finishLoads;     // the loads under way joined; boxes answer at once
        std::function<void()> stopMeters;      // the needle meters' peak-fall timers
        std::function<void()> midiLightsOff;   // every MIDI light off; controller 1 not initialised
        std::function<void()> stopEngineTick;  // the engine's 5 ms tick
        std::function<void()> graboconfig;     // the settings row written
        std::function<void()> freeHid;         // the HID drivers freed
        std::function<void()> fatalFromHere;   // exceptions end the program from here on
        std::function<void()> activatescreensaver;  // the system may sleep again
        std::function<void()> desinit;         // the engine and the sound layer shut down
    };
    Steps steps;

    // FormClose: the steps in order; false when shut-down had already run.
    bool FormClose();
    bool begun() const { return begun_; }

private:
    bool begun_ = false;
};
