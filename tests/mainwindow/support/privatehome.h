// A private HOME, TMPDIR and XDG_RUNTIME_DIR (mode 0700) for a test process or a program it
// starts, so that nothing it does reaches the user's profile folder or running copy. The
// folders go when the object does.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QString>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

class PrivateHome {
public:
    PrivateHome()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/ostrel-home-XXXXXX";
        if (char* made = mkdtemp(pattern.data())) root_ = QString::fromLocal8Bit(made);
        for (const char* sub : {"home", "tmp", "run"}) {
            QDir().mkpath(path(sub));
            chmod(QFile::encodeName(path(sub)).constData(), 0700);
        }
        chmod(QFile::encodeName(root_).constData(), 0700);
    }
    ~PrivateHome()
    {
        if (!root_.isEmpty()) QDir(root_).removeRecursively();
    }
    PrivateHome(const PrivateHome&) = delete;
    PrivateHome& operator=(const PrivateHome&) = delete;

    QString home() const { return path("home"); }
    QString tmp() const { return path("tmp"); }
    QString runtime() const { return path("run"); }
    // where the program keeps its profile: the Documents folder of HOME
    QString profile() const { return home() + QStringLiteral("/Documents/OSTREL_KORVANTA/"); }

    // This process uses the private folders from now on (call before the QApplication).
    void enter() const
    {
        setenv("HOME", QFile::encodeName(home()).constData(), 1);
        setenv("TMPDIR", QFile::encodeName(tmp()).constData(), 1);
        setenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime()).constData(), 1);
        for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_DOCUMENTS_DIR"}) unsetenv(v);
    }
    // The environment of a program started with the private folders.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home());
        env.insert(QStringLiteral("TMPDIR"), tmp());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime());
        for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_DOCUMENTS_DIR"})
            env.remove(QLatin1String(v));
        return env;
    }

private:
    QString path(const char* sub) const { return root_ + QLatin1Char('/') + QLatin1String(sub); }
    QString root_;
};
