// A run of "File Add", "Add from Dir" or a drop: a worker thread scans the folder (if any)
// and takes each file through the tag step (which reads, and may write, its tag); each
// file's record reaches the UI thread by value through queued calls, in order. There the
// records are inserted a batch at a time, each batch in one transaction committed before
// the call returns, so no transaction stays open while the event loop runs. Progress
// advances per file; a cancel is honoured before the next file. The run ends by naming
// the files that did not go in.
//
// Create, start and cancel on the UI thread (the thread whose event loop delivers the
// calls); the callbacks run there too.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include <QSet>
#include <QString>
#include <QStringList>

#include "library/ttagsong.h"

class QueuedCaller;
class Tmsql;

class TrackAdder {
public:
    struct Run {
        Tmsql* sql = nullptr;      // whose transaction holds each batch
        QStringList files;         // taken in this order
        QString folder;            // scanned first when not empty; its files follow `files`
        QSet<QString> skip;        // paths not to add (the panel's grid holds them)
        bool playlists = false;    // the tag step of the Playlists panel
        // inserts one record inside the batch's transaction: the new id, 0 when it did not go in
        std::function<double(const Ttagsong&)> insert;
    };
    struct Outcome {
        int added = 0;
        QStringList notAdded;  // in the run's order
        bool cancelled = false;
    };
    struct Listener {
        std::function<void(const QString& text)> label;  // "Scanning ...", "Adding k/n"
        std::function<void(int position, int maximum)> progress;
        std::function<void(const Outcome&)> finished;
    };

    static constexpr int kBatch = 200;  // records per queued call at most
    static constexpr int kBatchMs = 30; // and no record waits longer than this

    TrackAdder();
    ~TrackAdder();  // a run going is cancelled and its worker joined
    TrackAdder(const TrackAdder&) = delete;
    TrackAdder& operator=(const TrackAdder&) = delete;

    // false (and nothing starts) while another run is going
    bool start(Run run, Listener listener);
    // Cancel or Close: the worker stops before its next file; records still on their way
    // are dropped; what went in stays. The run then finishes, cancelled.
    void cancel();
    bool running() const { return running_; }

private:
    void work(Run run);  // the worker thread
    void receive(std::vector<Ttagsong> batch);
    void finish(bool aborted);

    std::unique_ptr<QueuedCaller> ui_;  // lives on the UI thread; the worker's calls go to it
    std::thread worker_;
    std::atomic<bool> abort_{false};
    bool running_ = false;
    bool cancelled_ = false;
    Run run_;  // UI-thread copy: sql and insert
    Listener listener_;
    Outcome outcome_;
};
