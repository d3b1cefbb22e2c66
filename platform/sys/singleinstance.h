// One running copy of a program per user and profile folder.
//
// The first copy holds a lock file in the runtime folder (XDG_RUNTIME_DIR) and listens on a
// local socket beside it, both named from the program name, the user id and a hash of the
// profile path. A later start finds the lock held, connects, asks the first copy to come
// forward and is told to end. A lock whose process is gone (a crash) is taken over, and the
// socket it left is removed before listening, so neither ever blocks a start. Tests with their
// own HOME and XDG_RUNTIME_DIR see neither each other nor a user's copy.
//
// Used by ostrelkorvanta and ostrelvid alike.
#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    SingleInstance(const QString& programName, const QString& profilePath, QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Claim {
        First,     // this copy runs; raiseRequested() reports later starts
        Signalled  // another copy runs and has been asked to come forward: end this one
    };
    // Blocks up to waitMs while a copy that is starting has the lock but is not yet listening.
    // A runtime folder that cannot be used gives First (the program runs unguarded).
    Claim claim(int waitMs = 3000);

    QString lockPath() const { return base + QStringLiteral(".lock"); }
    QString socketPath() const { return base + QStringLiteral(".sock"); }

signals:
    // A later start asked this copy to restore its window and bring it to the front.
    void raiseRequested();

private:
    bool listen();
    static bool askFirstCopy(const QString& socketPath);

    QString base;
    std::unique_ptr<QLockFile> lock;
    QLocalServer* server = nullptr;
};
