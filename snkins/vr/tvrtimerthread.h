// The thread behind a TVrTimer in thread mode: it sleeps on its own event for the interval and
// then ticks; signalling the event ends a wait at once (to change the interval, suspend, or end).
#pragma once

#include <QThread>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

class TVrTimer;

class TVrTimerThread : public QThread {
    Q_OBJECT
public:
    // Created suspended; Resume starts it.
    explicit TVrTimerThread(TVrTimer* Owner);
    // Asks the thread to end and waits for it.
    ~TVrTimerThread() override;

    void SetInterval(uint32_t ms);
    void Suspend();
    void Resume(QThread::Priority priority);
    void Terminate();

protected:
    void run() override;

private:
    void Tick();

    TVrTimer* FOwner;
    std::mutex FLock;
    std::condition_variable FEvent;
    bool FSignalled = false, FSuspended = true, FTerminated = false;
    uint32_t FInterval = 1000;
};
