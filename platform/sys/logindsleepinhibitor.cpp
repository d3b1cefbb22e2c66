#include "platform/sys/logindsleepinhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

LogindSleepInhibitor::LogindSleepInhibitor(const QString& who, const QString& why, QObject* parent)
    : QObject(parent), who_(who), why_(why)
{
}

LogindSleepInhibitor::~LogindSleepInhibitor() { release(); }

void LogindSleepInhibitor::acquire()
{
    if (held()) return;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.login1"),
                                                       QStringLiteral("/org/freedesktop/login1"),
                                                       QStringLiteral("org.freedesktop.login1.Manager"),
                                                       QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep:idle") << who_ << why_ << QStringLiteral("block");
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    const int generation = ++generation_;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, generation] {
        QDBusPendingReply<QDBusUnixFileDescriptor> reply = *watcher;
        if (generation == generation_ && reply.isValid()) fd_ = reply.value();
        watcher->deleteLater();
    });
}

void LogindSleepInhibitor::release()
{
    ++generation_;
    fd_ = QDBusUnixFileDescriptor();  // closes our copy: logind drops the block
}
