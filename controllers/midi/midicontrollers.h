// The two MIDI controllers: their set-up (inicializamidifile, inicializamidifile2), their ports,
// and the input path that turns each incoming message into an input event for the dispatcher
// (procesamidiin1, procesamidiin2). One implementation serves both; the second controller's
// differences are marked where they are.
//
// Threads: the ports' callbacks (MIDI service thread) only copy messages into the shared ring; the
// UI thread, woken through the ring's eventfd, takes them in arrival order and processes each one
// completely before the next, so the mapping tables are only ever read and written there.
#pragma once

#include <functional>
#include <memory>

#include <QString>

#include "controllers/midi/midiinputring.h"
#include "controllers/midi/tmidiinput.h"
#include "controllers/midi/tmidioutput.h"
#include "engine/ostrelli.h"

class ControllerSurface;
class ControllerTables;
class DispatcherState;
class PSoundConfig;
class QSocketNotifier;
class TControladora;
class TInfo;

class MidiControllers {
public:
    // `bp` is the input event controller 1 shares with the keyboard and the HID controllers, `bp2`
    // controller 2's own; `updatecontroler` is the dispatcher. Port objects are made at once.
    MidiControllers(ControllerTables& tables, DispatcherState& state, ControllerSurface& surface,
                    PSoundConfig& config, TInfo& bp, TInfo& bp2, std::function<void(TInfo&)> updatecontroler,
                    midi::Backend& backend, const QString& profile = GetUserProfile());
    ~MidiControllers();
    MidiControllers(const MidiControllers&) = delete;
    MidiControllers& operator=(const MidiControllers&) = delete;

    // ---- set-up of controller 1 / 2 with the stored port name (portconin / portconin2): picks the
    // input whose listed name equals it (whole, upper-cased) and the output of the same product
    // name and index, loads the definition file (controler / controler2) and opens both ports. A
    // port that fails to open leaves the controller not set up (inicializada false) and the user
    // is told.
    void inicializamidifile(const QString& port);
    void inicializamidifile2(const QString& port);

    // ---- the input path, UI thread: one message of controller 1 / 2
    void procesamidiin1(const TMyMidiEvent& event);
    void procesamidiin2(const TMyMidiEvent& event);
    // Takes every waiting message from the ring and processes it; the ring's notifier calls it.
    void processPending();

    // ---- lights: value 0 for numbers 1 to 127 on one status, through output 1 or 2
    void apagacanal(int output, int status);

    // New, closed port objects in place of the four; they count the ports when first asked.
    void recreatePorts();
    // The same, the inputs counting the ports of `inputs`, a list the caller has just read (the
    // configuration dialog's device-list refresh).
    void recreatePorts(const std::vector<midi::ListedPort>& inputs);

    std::unique_ptr<TMidiInput> MidiInput1, MidiInput2;    // TMidiInput, TMidiInput2
    std::unique_ptr<TMidiOutput> MidiOutput1, MidiOutput2;
    std::unique_ptr<TControladora> controla;               // the loader of the latest load
    int portin = -1, portout = -1, portin2 = -1, portout2 = -1;
    bool inicializada_controladora = false, inicializada_controladora2 = false;
    bool POWERON1 = false, POWERON2 = false;
    int loaderPauseMs = 10;

    // The message being processed, with the time our callback took it (for measurements).
    const MidiRingMessage& current() const { return current_; }
    MidiInputRing& ring() { return ring_; }

private:
    void inicializa(int n, const QString& port);
    void procesamidiin(int n, TMyMidiEvent e);
    void thru(int n, TMyMidiEvent e, int32_t data2);

    ControllerTables& tables_;
    DispatcherState& state_;
    ControllerSurface& surface_;
    PSoundConfig& config_;
    TInfo& bp_;
    TInfo& bp2_;
    std::function<void(TInfo&)> updatecontroler_;
    midi::Backend& backend_;
    QString profile_;
    MidiInputRing ring_;
    std::unique_ptr<QSocketNotifier> notifier_;
    MidiRingMessage current_;
    uint64_t droppedLogged_ = 0;
};
