#include "snkins/vr/tvrtimerthread.h"

#include <QCoreApplication>
#include <chrono>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include "snkins/vr/tvrtimer.h"

TVrTimerThread::TVrTimerThread(TVrTimer* Owner) : FOwner(Owner) {}

TVrTimerThread::~TVrTimerThread()
{
    Terminate();
    if (FThread.joinable()) FThread.join();
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
        FPriority = priority;
        FSignalled = true;
        FEvent.notify_all();
    }
    if (!FThread.joinable()) FThread = std::thread([this] { Execute(); });
}

void TVrTimerThread::Terminate()
{
    std::lock_guard lock(FLock);
    FTerminated = true;
    FSignalled = true;
    FEvent.notify_all();
}

void TVrTimerThread::ApplyPriority(QThread::Priority priority)
{
    if (priority == FApplied) return;
    FApplied = priority;
    sched_param param{};
    pthread_setschedparam(pthread_self(), priority == QThread::IdlePriority ? SCHED_IDLE : SCHED_OTHER, &param);
    const int nice = priority == QThread::LowestPriority ? 10 : priority == QThread::LowPriority ? 5 : 0;
    setpriority(PRIO_PROCESS, pid_t(gettid()), nice);  // per thread on Linux; refused rises are ignored
}

void TVrTimerThread::Execute()
{
    pthread_setname_np(pthread_self(), "TVrTimerThread");
    std::unique_lock lock(FLock);
    while (!FTerminated) {
        if (FSuspended) {
            FEvent.wait(lock, [this] { return FTerminated || !FSuspended; });
            FSignalled = false;
            continue;
        }
        ApplyPriority(FPriority);
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
