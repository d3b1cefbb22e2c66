// The folder search behind the Explorer's search box: one pass walks a folder (and, when
// asked, its subfolders) on a worker thread for audio files whose names hold a text, in any
// letter case, and hands the rows it builds (explorerrow::fileRow, Search split) to the
// thread that created the object, in batches, by queued calls. A pass ends with "Finish".
//
// A new pass never waits: init() tells a running pass to stop and starts the next one at
// once. Every batch and every "Finish" carries its pass number; those of an older pass are
// dropped before they reach the callbacks. The walk does not follow links to folders, does
// not enter the same folder twice on one path (bind mounts), and leaves out the mounts that
// "My Computer" leaves out (pseudo file systems), except the folder it starts from.
//
// Order: a folder's own files (by name, any case), then its subfolders, depth first.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <QList>
#include <QString>
#include <QStringList>

class QueuedCaller;
class VolumeSource;

class tdamefiles {
public:
    // Rows of pass `pass`, in order. Called on the creating thread.
    using RowsEvent = std::function<void(int pass, QList<QStringList> rows)>;
    // "Finish" of pass `pass`. Called on the creating thread.
    using FinishEvent = std::function<void(int pass, const QString& word)>;

    // mounts: where the mount table comes from (none: every folder is walked)
    explicit tdamefiles(VolumeSource* mounts = nullptr);
    virtual ~tdamefiles();
    tdamefiles(const tdamefiles&) = delete;
    tdamefiles& operator=(const tdamefiles&) = delete;

    RowsEvent onRows;
    FinishEvent FMyEvent;
    // Progress: element 0 is 0 while a pass runs and 1 after its end; element 1 is 0.
    std::array<double, 3> wdpics{};

    // Starts a pass over mpath for names holding mfilename (empty: every audio file) and
    // returns its number. minDir: subfolders too.
    int init(const QString& mfilename, const QString& mpath, bool minDir);
    // Stop request ("Stop Search"): "Finish" of the current pass at once; the rows it found
    // stay, and the pass's own "Finish" follows when the worker has stopped.
    void fin();
    // Stop request without an event.
    void closeth();

    bool buscando() const { return running_.load() || pendingPass_.load() != 0; }
    int pass() const { return current_; }  // the creating thread's view: the latest pass

    // Stops the worker for good (the destructor does it too). A subclass that overrides
    // entering() calls it in its own destructor.
    void shutdown();

protected:
    // The worker enters a folder (a seam for tests; nothing by default).
    virtual void entering(const QString& folder) { (void)folder; }

private:
    struct Request {
        int pass = 0;
        QString text, folder;
        bool recursive = true;
    };
    struct Walk;
    void run();
    void search(const Request& r);
    void deliverRows(int pass, QList<QStringList> rows);
    void deliverFinish(int pass);
    void finish(int pass);  // on the creating thread

    VolumeSource* mounts_;
    QueuedCaller* context_;  // lives on the creating thread; queued calls die with it
    int current_ = 0;   // creating thread only

    std::mutex m_;
    std::condition_variable cv_;
    std::optional<Request> request_;  // guarded by m_
    bool quit_ = false;               // guarded by m_
    std::atomic<int> wanted_{0};      // the pass that should run; others stop
    std::atomic<int> pendingPass_{0};
    std::atomic<bool> running_{false};
    std::thread worker_;
};
