#include "mainwindow/logic/defaultsamples.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QStringList DefaultSamples::names()
{
    return {QStringLiteral("ALARM 1.mp3"), QStringLiteral("ALARM 2.mp3"), QStringLiteral("POLICE.mp3"),
            QStringLiteral("SPIRAL.mp3"),  QStringLiteral("THRILL 1.mp3"), QStringLiteral("THRILL 2.mp3")};
}

int DefaultSamples::copyInto(const QString& samplesFolder, const QString& from)
{
    QDir().mkpath(samplesFolder);
    int copied = 0;
    for (const QString& n : names()) {
        const QString target = QDir(samplesFolder).filePath(n);
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) continue;
        const QString source = QDir(from).filePath(n);
        if (!QFile::exists(source)) continue;
        if (!QFile::copy(source, target)) continue;
        // a copy from the resources is read-only; the user's file is the user's
        QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                          QFileDevice::ReadOther);
        ++copied;
    }
    return copied;
}
