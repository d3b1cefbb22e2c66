#include "vidtool/cfgfile.h"

#include <QFile>
#include <QSaveFile>

bool CfgFile::read(const QString& path, QString& firstLine, QString& error)
{
    error.clear();
    firstLine.clear();
    QFile f(path);
    if (!f.exists()) return false;
    if (!f.open(QIODevice::ReadOnly)) {
        error = f.errorString();
        return false;
    }
    // a folder name is short; a longer first line is cut, never read whole into memory
    QByteArray line = f.readLine(64 * 1024);
    if (f.error() != QFileDevice::NoError) {
        error = f.errorString();
        return false;
    }
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    firstLine = QString::fromUtf8(line);
    return true;
}

bool CfgFile::write(const QString& path, const QString& line, QString& error)
{
    error.clear();
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        error = f.errorString();
        return false;
    }
    f.write(line.toUtf8() + '\n');
    if (!f.commit()) {
        error = f.errorString();
        return false;
    }
    return true;
}
