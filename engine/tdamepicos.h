// The peaks and tempo worker of deck A (own tempo library "ostrel1") and, as tdamepicos2, of
// deck B ("ostrel2"). A scan decodes the whole track once: one peak a 2048 decoded bytes into
// the deck's wave arrays and overview and the peaks cache file, and the tempo through the
// engine's tempo library and the worker's own.
//
// Threads: init/resume/fin/terminate come from the deck (UI or song-loading thread) and are
// serialised; the scan runs on a thread of its own, which init and fin stop and join before the
// decoder or the buffers are replaced. The scan writes the hand-over cells (atomics) and the
// peak buffers (atomic elements); the final progress reset goes through the UI thread.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include <QByteArray>
#include <QPointer>
#include <QObject>

#include "platform/bpm/bpmentrypoints.h"
#include "engine/peaksworker.h"
#include "platform/sound/sound.h"

class TDamepicos : public PeaksWorker {
public:
    // `engineEntries`: Init, Decode and DameBpm of the engine's library (any may be empty);
    // `ownLibrary`: the library the worker loads itself ("ostrel1" or "ostrel2"); `ui`: an
    // object of the UI thread that progress resets are posted to (none: written directly).
    TDamepicos(BpmEntryPoints engineEntries, const QString& ownLibrary, QObject* ui = nullptr);
    ~TDamepicos() override;
    TDamepicos(const TDamepicos&) = delete;
    TDamepicos& operator=(const TDamepicos&) = delete;

    // Stops and joins a running scan, then opens `file` for the next one. `points` is ignored:
    // the worker counts the points itself from the decoded length.
    void init(int points, int width, const QString& file, HandOverCells* cells, PeakBufferPtr wavebufL,
              PeakBufferPtr wavebufR, PeakBufferPtr pnewl, bool tempo, bool peaks) override;
    // Starts the prepared scan; nothing when none is prepared or one runs.
    void resume() override;
    // Stop request; waits until the scan has ended.
    void fin() override;
    // Stop request without waiting: the scan ends at its next block.
    void terminate();

    // Waits until a running scan ends by itself. For tests and shut-down.
    void waitForEnd();
    bool busy() const { return running_.load(); }

    // Raised on the calling thread of init, before and after the file is opened (the engine
    // binds its repaint step here).
    std::function<void()> OnConteo;

    // Where the cache of an audio file goes; PeaksCache::fileFor unless replaced (tests).
    std::function<QString(const QString&)> cacheFileFor;

private:
    void Sort();
    void VisualSwap(double v);
    void stopAndJoin();
    void closeDecoder();

    BpmEntryPoints mine_;  // the engine's library
    BpmEntryPoints own_;   // the worker's own
    QPointer<QObject> ui_;

    std::mutex control_;  // init / resume / fin
    std::thread thread_;
    std::atomic<bool> mfin_{true};
    std::atomic<bool> running_{false};
    bool prepared_ = false;

    // set by init, read by the scan thread only while it runs (init joins it first)
    std::unique_ptr<sound::FileReader> reader_;  // the scan's own decoder: no handle, no graph lock
    int64_t slength_ = 0;
    int mancho_ = 1;
    int samplesize_ = 1;
    QString mffile_;
    std::atomic<HandOverCells*> wdpics_{nullptr};  // terminate() may come from any thread
    PeakBufferPtr mwavebufL_, mwavebufr_, mpwavebufL_;
    bool mconteo_ = false, mdibujo_ = false;
};

// Deck B's worker: the same scan with its own library.
using tdamepicos2 = TDamepicos;
