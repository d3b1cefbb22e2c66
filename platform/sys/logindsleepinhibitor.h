// SleepInhibitor on logind: a "block" inhibitor for "sleep:idle" asked of the login manager on
// the system bus. The request is asynchronous; the lock is the file descriptor logind hands
// back, held until release() (or the process end) closes it. Without a system bus or without
// logind the request simply finds no one, and nothing is held.
#pragma once

#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>

#include "platform/sys/sleepinhibitor.h"

class LogindSleepInhibitor : public QObject, public SleepInhibitor {
    Q_OBJECT
public:
    explicit LogindSleepInhibitor(const QString& who, const QString& why, QObject* parent = nullptr);
    ~LogindSleepInhibitor() override;

    void acquire() override;
    void release() override;
    bool held() const override { return fd_.isValid(); }

private:
    QString who_, why_;
    QDBusUnixFileDescriptor fd_;
    int generation_ = 0;  // a reply to a request released meanwhile is dropped
};
