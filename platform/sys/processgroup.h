// A child program in a process group of its own: started in a new session (setsid), so that the
// programs it starts in turn (a converter, say) belong to the same group and end with it. Only
// this group is ever signalled.
//
// The child reads nothing (its standard input is the null device); standard output and standard
// error are read apart. Everything runs on the owner's thread through QProcess's signals.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

class ProcessGroup : public QObject {
    Q_OBJECT
public:
    explicit ProcessGroup(QObject* parent = nullptr);
    // A group still running is killed (SIGKILL) and its leader reaped.
    ~ProcessGroup() override;

    // False when a run is still going or the program cannot be started (then nothing runs and
    // no signal follows).
    bool start(const QString& program, const QStringList& args, const QString& workingFolder);
    // From start until ended().
    bool running() const { return active; }
    // The group's id (the leader's pid); 0 before the first start.
    qint64 groupId() const { return pgid; }

    QByteArray readStandardOutput() { return process.readAllStandardOutput(); }
    QByteArray readStandardError() { return process.readAllStandardError(); }

    // SIGTERM to the group now, SIGKILL to whatever of it is left after graceMs. ended() follows
    // once the group is empty.
    void terminate(int graceMs = 258);
    bool terminating() const { return stopping; }
    // The leader has ended (the rest of the group may still run).
    bool leaderEnded() const { return leaderDone; }

    // The processes of group `pgid` that still run (zombies left out), read from /proc.
    static QList<qint64> members(qint64 pgid);

signals:
    void standardOutputReady();
    void standardErrorReady();
    // The leader ended and no process of the group is left. exitCode is the leader's; crashed
    // when a signal ended it.
    void ended(int exitCode, bool crashed);

private:
    void leaderFinished(int exitCode, QProcess::ExitStatus status);
    void signalGroup(int sig);
    void checkEmpty();

    QProcess process;
    QTimer killTimer;   // SIGKILL after the grace time
    QTimer emptyPoll;   // waits for the rest of the group once the leader is gone
    qint64 pgid = 0;
    bool active = false;
    bool stopping = false;
    bool leaderDone = false;
    int leaderCode = 0;
    bool leaderCrashed = false;
    QElapsedTimer leaderClock;  // since the leader ended
    QElapsedTimer stopClock;    // since terminate()
};
