// Reads the MIDI input port list on a worker thread: every read opens a client of each MIDI
// service, 50 to 300 ms on JACK, too long for the UI thread. The list comes back by value on the
// UI thread through a queued call. One read runs at a time: whoever asks while it runs gets its
// list. Lives on the UI thread, as long as whoever asks may (the main window's configuration).
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include <QObject>

#include "mainwindow/config/configmidiports.h"

class MidiPortReader : public QObject {
  public:
    using Done = std::function<void(const MidiPortList&)>;

    // `ports` outlives the reader; its readPorts() runs on the worker.
    explicit MidiPortReader(ConfigMidiPorts& ports);
    // Waits for a read under way; its list goes to nobody.
    ~MidiPortReader() override;

    // Starts a read unless one runs. `done` gets the list on the UI thread when it arrives,
    // unless cancel(ticket) came first. The ticket is never 0.
    int request(Done done);
    void cancel(int ticket);
    bool reading() const { return running_; }

  private:
    void arrived();

    ConfigMidiPorts& ports_;
    std::thread worker_;
    std::map<int, Done> waiting_;
    int lastTicket_ = 0;
    bool running_ = false;
    // the hand-over: the worker leaves its list here under the lock; the queued call only wakes
    std::mutex m_;
    MidiPortList read_;
};
