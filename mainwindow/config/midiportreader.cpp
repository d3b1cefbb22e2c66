#include "mainwindow/config/midiportreader.h"

MidiPortReader::MidiPortReader(ConfigMidiPorts& ports) : ports_(ports) {}

MidiPortReader::~MidiPortReader() {
    if (worker_.joinable()) worker_.join();
}

int MidiPortReader::request(Done done) {
    const int ticket = ++lastTicket_;
    waiting_.emplace(ticket, std::move(done));
    if (running_) return ticket;
    running_ = true;
    worker_ = std::thread([this] {
        MidiPortList list = ports_.readPorts();
        {
            const std::lock_guard<std::mutex> l(m_);
            read_ = std::move(list);
        }
        QMetaObject::invokeMethod(this, &MidiPortReader::arrived, Qt::QueuedConnection);
    });
    return ticket;
}

void MidiPortReader::cancel(int ticket) {
    waiting_.erase(ticket);
}

void MidiPortReader::arrived() {
    worker_.join(); // it has handed its list over
    MidiPortList list;
    {
        const std::lock_guard<std::mutex> l(m_);
        list.swap(read_);
    }
    running_ = false;
    // each waiter of this read in turn; one may cancel another, or ask for a new read
    const int last = lastTicket_;
    while (!waiting_.empty() && waiting_.begin()->first <= last) {
        const Done done = std::move(waiting_.begin()->second);
        waiting_.erase(waiting_.begin());
        done(list);
    }
}
