#include "mainwindow/logic/downloaderlaunch.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

bool DownloaderLaunch::startDetached(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.setProgram(program);
    p.setArguments(arguments);
    p.setStandardInputFile(QProcess::nullDevice());
    return p.startDetached();
}

QString DownloaderLaunch::program() const { return QDir(folder).filePath(programName()); }

QString DownloaderLaunch::launch() const
{
    const QString file = program();
    const QFileInfo info(file);
    if (!info.isFile())
        return QStringLiteral("The downloader %1 is missing.  ").arg(QDir::toNativeSeparators(file));
    if (!info.isExecutable())
        return QStringLiteral("The downloader %1 cannot be started: it is not executable.  ").arg(QDir::toNativeSeparators(file));
    if (!launcher || !launcher(file, {argument()}))
        return QStringLiteral("The downloader %1 could not be started.  ").arg(QDir::toNativeSeparators(file));
    return {};
}
