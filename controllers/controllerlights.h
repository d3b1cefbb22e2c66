// The controllers' lights, run by the window's 100 ms light timer (Timer3Timer): the state of the
// surface as one light-state text (a "0" or "1" for each of the 242 output codes, built from an
// explicit model of each button's state: its down state, a hot cue's look, the pad modes ...),
// one MIDI message for every light that changed, the deck levels, the HID lights that mirror the
// surface, and the HID displays. At the close every MIDI light is switched off. Every MIDI light
// message goes out from one place (send), in order, on the UI thread.
#pragma once

#include <array>
#include <cstdint>

#include <QString>

class ControllerSurface;
class ControllerTables;
class DispatcherState;
class HidControllers;
class MidiControllers;
class PSoundConfig;

class ControllerLights {
public:
    static constexpr int kLights = 242;

    ControllerLights(ControllerTables& tables, DispatcherState& state, ControllerSurface& surface, PSoundConfig& config,
                     MidiControllers& midi, HidControllers* hid);

    // The light-state text of the surface as it is now.
    QString lightText() const;
    // The level of deck 0 or 1 (0..127) as a controller in mode `modo` shows it.
    int level(int deck, int modo) const;

    void Timer3Timer();
    void updatemidilights();
    void apagamidilights();
    // The MIDI character display: its rows load, but nothing is sent to it.
    void updatemiddisplay(int) {}

    // MIDI messages sent by the lights so far (both outputs).
    uint64_t sentCount() const { return sent_; }

private:
    void sendController(int n, const QString& text, int levelA, int levelB);
    void send(int n, int status, int data1, int data2);

    ControllerTables& tables_;
    DispatcherState& state_;
    ControllerSurface& surface_;
    PSoundConfig& config_;
    MidiControllers& midi_;
    HidControllers* hid_;
    uint64_t sent_ = 0;
};
