#include "snkins/vr/tvrtimerthread.h"

#include <QCoreApplication>
#include <chrono>

#include "snkins/vr/tvrtimer.h"

TVrTimerThread::TVrTimerThread(TVrTimer* Owner) : FOwner(Owner) {}

TVrTimerThread::~TVrTimerThread()
{
    Terminate();
    wait();
}

void TVrTimerThread::SetInterval(uint32_t ms)
{
    std::lock_guard lock(FLock);
    FInterval = ms;
    FSignalled = true;
    FEvent.notify_all();
}

void TVrTimerThread::Suspend()
{
    std::lock_guard lock(FLock);
    FSuspended = true;
    FSignalled = true;
    FEvent.notify_all();
}

void TVrTimerThread::Resume(QThread::Priority priority)
{
    {
        std::lock_guard lock(FLock);
        FSuspended = false;
        FSignalled = true;
        FEvent.notify_all();
    }
    if (isRunning())
        setPriority(priority);
    else
        start(priority);
}

void TVrTimerThread::Terminate()
{
    std::lock_guard lock(FLock);
    FTerminated = true;
    FSignalled = true;
    FEvent.notify_all();
}

void TVrTimerThread::run()
{
    std::unique_lock lock(FLock);
    while (!FTerminated) {
        if (FSuspended) {
            FEvent.wait(lock, [this] { return FTerminated || !FSuspended; });
            FSignalled = false;
            continue;
        }
        const bool signalled =
            FEvent.wait_for(lock, std::chrono::milliseconds(FInterval), [this] { return FSignalled; });
        FSignalled = false;  // an auto-reset event
        if (signalled || FTerminated || FSuspended) continue;
        lock.unlock();
        Tick();
        lock.lock();
    }
}

void TVrTimerThread::Tick()
{
    if (QCoreApplication::closingDown()) return;
    TVrTimer* owner = FOwner;
    if (!owner->FSyncEvent) {
        owner->Timer();
        return;
    }
    // one tick at a time waits for the owner's thread: a busy owner loses ticks, it does not
    // pile them up
    if (owner->FTickPending.exchange(true)) return;
    QMetaObject::invokeMethod(
        owner,
        [owner] {
            owner->FTickPending = false;
            owner->Timer();
        },
        Qt::QueuedConnection);
}
