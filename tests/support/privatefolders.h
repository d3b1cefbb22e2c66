// The private HOME, TMPDIR and XDG_RUNTIME_DIR of a program that a test starts: home/, tmp/ and
// run/ below `root`, each of mode 0700.
#pragma once

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QString>

namespace testsupport {

inline void makePrivateFolders(const QString& root)
{
    for (const char* sub : {"home", "tmp", "run"}) {
        QDir(root).mkpath(QLatin1String(sub));
        QFile(root + u'/' + QLatin1String(sub))
            .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}

// `env` with HOME, TMPDIR and XDG_RUNTIME_DIR pointing into `root` (made by makePrivateFolders).
inline QProcessEnvironment privateEnvironment(const QString& root,
                                              QProcessEnvironment env = QProcessEnvironment::systemEnvironment())
{
    env.insert(QStringLiteral("HOME"), root + QStringLiteral("/home"));
    env.insert(QStringLiteral("TMPDIR"), root + QStringLiteral("/tmp"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root + QStringLiteral("/run"));
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR"})
        env.remove(QLatin1String(name));
    return env;
}

}  // namespace testsupport
