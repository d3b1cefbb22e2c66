#include "platform/sys/processgroup.h"

#include <QDir>
#include <QFile>

#include <signal.h>
#include <unistd.h>

namespace {
// after the leader ended: how often and how long to look for the rest of its group
constexpr int kPollMs = 20;
constexpr int kPollsBeforeKill = 13;   // ~258 ms for stragglers of a run that ended by itself
constexpr int kPollsAfterKill = 100;   // 2 s for the kernel to take what SIGKILL hit
}

ProcessGroup::ProcessGroup(QObject* parent) : QObject(parent)
{
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setChildProcessModifier([] { ::setsid(); });
    connect(&process, &QProcess::readyReadStandardOutput, this, &ProcessGroup::standardOutputReady);
    connect(&process, &QProcess::readyReadStandardError, this, &ProcessGroup::standardErrorReady);
    connect(&process, &QProcess::finished, this, &ProcessGroup::leaderFinished);
    killTimer.setSingleShot(true);
    connect(&killTimer, &QTimer::timeout, this, [this] { signalGroup(SIGKILL); });
    emptyPoll.setInterval(kPollMs);
    connect(&emptyPoll, &QTimer::timeout, this, &ProcessGroup::checkEmpty);
}

ProcessGroup::~ProcessGroup()
{
    if (!active) return;
    disconnect(&process, nullptr, this, nullptr);
    signalGroup(SIGKILL);
    // a blocking wait for the reap only: nothing is dispatched meanwhile
    process.waitForFinished(2000);
}

bool ProcessGroup::start(const QString& program, const QStringList& args, const QString& workingFolder)
{
    if (active) return false;
    process.setProgram(program);
    process.setArguments(args);
    process.setWorkingDirectory(workingFolder);
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(5000)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    pgid = process.processId();
    active = true;
    stopping = false;
    leaderDone = false;
    leaderCode = 0;
    leaderCrashed = false;
    polls = 0;
    return true;
}

void ProcessGroup::signalGroup(int sig)
{
    if (pgid <= 0) return;
    // While the leader is not reaped its pid holds the group id; after that the id is still ours
    // only while some member of the group lives, so look first.
    if (!leaderDone || !members(pgid).isEmpty()) ::kill(-pid_t(pgid), sig);
}

void ProcessGroup::terminate(int graceMs)
{
    if (!active || stopping) return;
    stopping = true;
    signalGroup(SIGTERM);
    killTimer.start(graceMs);
    if (leaderDone) polls = 0;
}

void ProcessGroup::leaderFinished(int exitCode, QProcess::ExitStatus status)
{
    leaderDone = true;
    leaderCode = exitCode;
    leaderCrashed = status == QProcess::CrashExit;
    polls = 0;
    checkEmpty();
    if (active) emptyPoll.start();
}

void ProcessGroup::checkEmpty()
{
    if (!active || !leaderDone) return;
    if (members(pgid).isEmpty()) {
        emptyPoll.stop();
        killTimer.stop();
        active = false;
        stopping = false;
        emit ended(leaderCode, leaderCrashed);
        return;
    }
    ++polls;
    // what the leader left behind when it ended by itself belongs to the run: end it as well
    if (!stopping && polls >= kPollsBeforeKill) terminate();
    if (stopping && !killTimer.isActive() && polls >= kPollsAfterKill) {
        // unkillable (uninterruptible sleep): report the end anyway rather than hang the window
        emptyPoll.stop();
        active = false;
        stopping = false;
        emit ended(leaderCode, leaderCrashed);
    }
}

QList<qint64> ProcessGroup::members(qint64 group)
{
    QList<qint64> found;
    if (group <= 0) return found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : entries) {
        bool isPid = false;
        const qint64 pid = name.toLongLong(&isPid);
        if (!isPid) continue;
        QFile stat(QStringLiteral("/proc/") + name + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly)) continue;
        const QByteArray line = stat.readAll();
        // "pid (comm) state ppid pgrp ...": comm may hold blanks and parentheses
        const int close = line.lastIndexOf(')');
        if (close < 0) continue;
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (fields.size() < 3) continue;
        if (fields[0] == "Z" || fields[0] == "X") continue;
        if (fields[2].toLongLong() == group) found.append(pid);
    }
    return found;
}
