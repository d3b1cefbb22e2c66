// The thread behind a TVrTimer in thread mode: it sleeps on its own event for the interval and
// then ticks; signalling the event ends a wait at once (to change the interval, suspend, or end).
#pragma once

#include <QThread>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class TVrTimer;

class TVrTimerThread {
public:
    // Created suspended: no thread runs until the first Resume.
    explicit TVrTimerThread(TVrTimer* Owner);
    // Asks the thread to end and waits for it.
    ~TVrTimerThread();
    TVrTimerThread(const TVrTimerThread&) = delete;
    TVrTimerThread& operator=(const TVrTimerThread&) = delete;

    void SetInterval(uint32_t ms);
    void Suspend();
    // Idle runs the thread at idle scheduling and Lowest / Low with a higher nice value; an
    // ordinary thread cannot be raised above Normal, so the higher priorities run as Normal.
    void Resume(QThread::Priority priority);
    void Terminate();

private:
    void Execute();
    void Tick();
    void ApplyPriority(QThread::Priority priority);

    TVrTimer* FOwner;
    std::mutex FLock;
    std::condition_variable FEvent;
    bool FSignalled = false, FSuspended = true, FTerminated = false;
    uint32_t FInterval = 1000;
    QThread::Priority FPriority = QThread::NormalPriority, FApplied = QThread::InheritPriority;
    std::thread FThread;
};
