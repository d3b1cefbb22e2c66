#include "platform/sys/processgroup.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <signal.h>
#include <unistd.h>

namespace {
// after the leader ended: how often to look for the rest of its group, how long stragglers of a
// run that ended by itself may stay, and how long the kernel may take to remove what SIGKILL hit
constexpr int kPollMs = 20;
constexpr qint64 kStragglersMs = 258;
constexpr qint64 kGiveUpMs = 2000;

// No process at all (not even a zombie) has this group id: cheaper than reading /proc.
bool groupGone(qint64 pgid) { return ::kill(-pid_t(pgid), 0) != 0 && errno == ESRCH; }
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
    stopClock.start();
}

void ProcessGroup::leaderFinished(int exitCode, QProcess::ExitStatus status)
{
    leaderDone = true;
    leaderCode = exitCode;
    leaderCrashed = status == QProcess::CrashExit;
    leaderClock.start();
    checkEmpty();
    if (active) emptyPoll.start();
}

void ProcessGroup::checkEmpty()
{
    if (!active || !leaderDone) return;
    // zombies waiting for their reaper count as gone
    const bool empty = groupGone(pgid) || members(pgid).isEmpty();
    // what the leader left behind when it ended by itself belongs to the run: end it as well
    if (!empty && !stopping && leaderClock.elapsed() >= kStragglersMs) terminate();
    // unkillable (uninterruptible sleep): report the end anyway rather than hang the window
    const bool givenUp = stopping && !killTimer.isActive() && stopClock.elapsed() >= killTimer.interval() + kGiveUpMs;
    if (!empty && !givenUp) return;
    emptyPoll.stop();
    killTimer.stop();
    active = false;
    stopping = false;
    emit ended(leaderCode, leaderCrashed);
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
