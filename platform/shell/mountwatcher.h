// Follows the mount table and reports browsable volumes that arrive and that go away. A worker
// thread waits on the source (the kernel's change event, or at most `interval`; reading the
// table may stall on a hung network mount, so the UI thread never does it once started) and
// leaves each changed list in a mailbox, then rings an eventfd that the watcher's thread
// watches; the difference is taken and reported there, so arrived() and removed() are emitted
// on the thread that owns the watcher.
// A volume whose mount point stays but whose device or label changes is removed and arrives.
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <QObject>

#include "platform/shell/volume.h"

class QSocketNotifier;
class VolumeSource;

class MountWatcher : public QObject {
    Q_OBJECT
public:
    // Reads the browsable volumes once, at once: volumes() is the list of the first fill.
    explicit MountWatcher(VolumeSource& source, QObject* parent = nullptr);
    ~MountWatcher() override;

    const std::vector<Volume>& volumes() const { return known_; }

    void start(std::chrono::milliseconds interval = std::chrono::milliseconds(2000));
    void stop();  // joins the worker; pending reports are still delivered
    bool running() const { return worker_.joinable(); }

    // Reads the source now, on the caller's (the watcher's) thread, and reports the difference.
    void check();

signals:
    void arrived(const Volume& volume);
    void removed(const Volume& volume);

private:
    void apply(const std::vector<Volume>& now);
    void collect();  // the mailbox's list, on the watcher's thread

    VolumeSource& source_;
    std::vector<Volume> known_;  // the watcher's thread only
    std::thread worker_;
    std::atomic<bool> stopping_{false};
    int wakeFd_ = -1;   // stops the worker's wait
    int readyFd_ = -1;  // a list waits in the mailbox
    QSocketNotifier* ready_ = nullptr;
    std::mutex mailbox_;
    std::optional<std::vector<Volume>> latest_;  // guarded by mailbox_
};
