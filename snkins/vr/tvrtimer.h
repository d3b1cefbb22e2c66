// The kit's timer: raises OnTimer every Interval milliseconds, either from a QTimer of the
// thread that owns it (ttSystem) or from a thread of its own (ttThread), which hands each tick
// to the owner's thread (SyncEvent, the default) or raises it on the timer thread itself.
// Switching Enabled off leaves the timer or thread running; its ticks then do nothing.
#pragma once

#include <QThread>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <memory>

#include "snkins/vr/tvrcomponent.h"

class TVrTimerThread;

enum TVrTimerType { ttThread, ttSystem };

class TVrTimer : public TVrComponent {
    Q_OBJECT
public:
    explicit TVrTimer(QObject* owner = nullptr);
    ~TVrTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    uint32_t Interval() const { return FInterval; }
    void SetInterval(uint32_t Value);
    bool SyncEvent() const { return FSyncEvent; }
    void SetSyncEvent(bool Value) { FSyncEvent = Value; }
    TVrTimerType TimerType() const { return FTimerType; }
    void SetTimerType(TVrTimerType Value);
    QThread::Priority Priority() const { return FPriority; }
    void SetPriority(QThread::Priority Value);
    // Starts the timer that the fields describe (the host calls it after setting them).
    void Loaded() { UpdateTimer(); }

signals:
    // Raised on the owner's thread, except in thread mode without SyncEvent.
    void OnTimer(QObject* Sender);

protected:
    // One tick: raises OnTimer when enabled. An exception from a handler is reported and the
    // timer goes on.
    virtual void Timer();

private:
    friend class TVrTimerThread;
    void UpdateTimer();
    void CreateTimer();
    void DestroyTimer();

    std::atomic<bool> FEnabled{true};
    uint32_t FInterval = 1000;
    std::atomic<bool> FSyncEvent{true};
    TVrTimerType FTimerType = ttThread;
    QThread::Priority FPriority = QThread::NormalPriority;
    std::unique_ptr<QTimer> FWindowTimer;
    std::unique_ptr<TVrTimerThread> FTimerThread;
    std::atomic<bool> FTickPending{false};  // a tick handed to the owner's thread, not yet run
};
