#include "snkins/vr/tvrtimer.h"

#include <QDebug>
#include <exception>

#include "snkins/vr/evrexception.h"
#include "snkins/vr/tvrtimerthread.h"

TVrTimer::TVrTimer(QObject* owner) : TVrComponent(owner) {}

TVrTimer::~TVrTimer()
{
    FEnabled = false;
    DestroyTimer();
}

void TVrTimer::SetEnabled(bool Value)
{
    if (FEnabled == Value) return;
    FEnabled = Value;
    if (Value) UpdateTimer();
}

void TVrTimer::SetInterval(uint32_t Value)
{
    if (FInterval == Value) return;
    FInterval = Value;
    if (FEnabled) UpdateTimer();
}

void TVrTimer::SetTimerType(TVrTimerType Value)
{
    if (FTimerType == Value) return;
    DestroyTimer();
    FTimerType = Value;
    if (FEnabled) UpdateTimer();
}

void TVrTimer::SetPriority(QThread::Priority Value)
{
    if (FPriority == Value) return;
    FPriority = Value;
    if (FTimerType == ttThread && FEnabled) UpdateTimer();
}

void TVrTimer::CreateTimer()
{
    if (FTimerType == ttSystem) {
        if (!FWindowTimer) {
            FWindowTimer = std::make_unique<QTimer>();
            FWindowTimer->setTimerType(Qt::PreciseTimer);
            connect(FWindowTimer.get(), &QTimer::timeout, this, &TVrTimer::Timer);
        }
    } else if (!FTimerThread) {
        FTimerThread = std::make_unique<TVrTimerThread>(this);
    }
}

void TVrTimer::UpdateTimer()
{
    CreateTimer();
    const bool run = FInterval != 0 && FEnabled;
    if (FTimerType == ttSystem) {
        FWindowTimer->stop();
        if (run) {
            FWindowTimer->start(int(std::min<uint32_t>(FInterval, INT32_MAX)));
            if (!FWindowTimer->isActive()) throw EVrException("No timer resources left.");
        }
    } else {
        FTimerThread->Suspend();
        FTimerThread->SetInterval(FInterval);
        if (run) FTimerThread->Resume(FPriority);
    }
}

void TVrTimer::DestroyTimer()
{
    FWindowTimer.reset();
    FTimerThread.reset();  // ends the thread and waits for it
}

void TVrTimer::Timer()
{
    if (!FEnabled) return;
    try {
        emit OnTimer(this);
    } catch (const std::exception& e) {
        qWarning("Timer event failed: %s", e.what());
    } catch (...) {
        qWarning("Timer event failed");
    }
}
