// Folder trees of audio files for the Explorer's tests, made in a temporary folder, and a
// wait that runs the event loop until a condition holds.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// texts in test failures
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

inline QCoreApplication& explorerApp()
{
    static int argc = 1;
    static char arg0[] = "explorer_test";
    static char* argv[] = {arg0, nullptr};
    static auto* app = QCoreApplication::instance() ? QCoreApplication::instance() : new QCoreApplication(argc, argv);
    return *app;
}

inline bool waitUntil(const std::function<bool()>& done, int ms = 10000)
{
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

struct FolderTree {
    QTemporaryDir dir;
    QString path(const QString& rel = QString()) const { return rel.isEmpty() ? dir.path() : dir.filePath(rel); }
    // an empty file (and its folders)
    QString file(const QString& rel, const QByteArray& bytes = {})
    {
        const QString p = path(rel);
        QDir().mkpath(QFileInfo(p).path());
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << rel.toStdString();
        f.write(bytes);
        return p;
    }
    QString folder(const QString& rel)
    {
        QDir().mkpath(path(rel));
        return path(rel);
    }
    void link(const QString& target, const QString& rel) { EXPECT_TRUE(QFile::link(target, path(rel))); }
};
