// A deck's own tempo scan of a whole file (CalculaBPM), on a thread of its own with our
// tempo analyser. Starting never waits: a scan still running is told to stop and is joined
// later, by stop() or the next start() that finds it ended. stop() waits; it is for the deck's
// load and unload paths and its destructor, never for an audio thread.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <QString>

#include "platform/sound/sound.h"

class DeckTempoScan {
public:
    // percent 0..100 after each block read; `chan` is 0: the scan decodes outside the graph
    using Progress = void (*)(sound::Handle chan, float percent);
    // beats per minute, 0 when none was found; not called for a scan stopped or a file unread
    using Done = std::function<void(float bpm)>;

    DeckTempoScan() = default;
    ~DeckTempoScan();
    DeckTempoScan(const DeckTempoScan&) = delete;
    DeckTempoScan& operator=(const DeckTempoScan&) = delete;

    void start(const QString& file, Progress progress, Done done);
    void stop();
    bool busy() const;

private:
    struct Run {
        std::thread thread;
        std::atomic<bool> stop{false}, ended{false};
    };
    static void scan(Run& run, const QString& file, Progress progress, const Done& done);

    mutable std::mutex m_;
    std::vector<std::unique_ptr<Run>> runs_;  // the current scan last
};
