// What the downloader's tests share: a private HOME/TMPDIR/XDG_RUNTIME_DIR tree with a profile
// folder, the fake engine installed there as "yt-dlp" with its scenario, the captured
// fixtures, and the widgets' application.
#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/sys/processgroup.h"
#include "tests/support/privatefolders.h"

namespace vidtest {

// The tests' application. The engines the tests start inherit this process's environment:
// HOME, TMPDIR and XDG_RUNTIME_DIR are private folders of mode 0700, removed at exit.
inline QApplication& app()
{
    static QTemporaryDir* privateRoot = [] {
        auto* dir = new QTemporaryDir;
        testsupport::makePrivateFolders(dir->path());
        const QProcessEnvironment env = testsupport::privateEnvironment(dir->path());
        for (const char* name : {"HOME", "TMPDIR", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_CACHE_HOME",
                                 "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR"}) {
            if (env.contains(QLatin1String(name)))
                qputenv(name, env.value(QLatin1String(name)).toUtf8());
            else
                qunsetenv(name);
        }
        std::atexit([] { delete privateRoot; });
        return dir;
    }();
    (void)privateRoot;
    static int argc = 1;
    static char name[] = "vid_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}

inline QString fixture(const QString& name)
{
    return QStringLiteral(OSTREL_SOURCE_DIR "/tests/vidtool/fixtures/") + name;
}

// home/, tmp/ and run/ of mode 0700, and home/Documents/OSTREL_KORVANTA/ as the profile.
struct PrivateRoot {
    QTemporaryDir dir;
    QString profile, downloads;

    PrivateRoot()
    {
        testsupport::makePrivateFolders(dir.path());
        profile = dir.path() + QStringLiteral("/home/Documents/OSTREL_KORVANTA/");
        downloads = profile + QStringLiteral("Downloads/");
        QDir().mkpath(downloads);
    }
    QString path(const QString& name) const { return dir.path() + u'/' + name; }

    // The fake engine as the profile's own "yt-dlp", playing `scenario`.
    QString installFake(const QStringList& scenario) const
    {
        const QString program = profile + QStringLiteral("yt-dlp");
        QFile::remove(program);
        EXPECT_TRUE(QFile::copy(QStringLiteral(OSTREL_SOURCE_DIR "/tests/vidtool/fakeytdlp.sh"), program));
        QFile(program).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        setScenario(scenario);
        return program;
    }
    void setScenario(const QStringList& scenario) const
    {
        QFile f(profile + QStringLiteral("scenario"));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(scenario.join(u'\n').toUtf8() + '\n');
    }
    // What the fake's "args" step wrote.
    QStringList args(const QString& file) const
    {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) return {};
        QStringList out;
        const QList<QByteArray> parts = f.readAll().split('\0');
        for (qsizetype i = 0; i + 1 < parts.size(); ++i) out << QString::fromUtf8(parts[i]);
        return out;
    }
    QStringList downloadFiles() const { return QDir(downloads).entryList(QDir::Files, QDir::Name); }
};

inline QString readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QStringLiteral("<missing>");
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

}  // namespace vidtest
