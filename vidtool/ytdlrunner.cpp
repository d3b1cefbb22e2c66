#include "vidtool/ytdlrunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "vidtool/ytdloutput.h"

YtdlRunner::YtdlRunner(QObject* parent) : QObject(parent)
{
    connect(&group, &ProcessGroup::standardOutputReady, this, [this] { readStream(false); });
    connect(&group, &ProcessGroup::standardErrorReady, this, [this] { readStream(true); });
    connect(&group, &ProcessGroup::ended, this, &YtdlRunner::groupEnded);
}

bool YtdlRunner::start(const QString& program, const QStringList& args, const QString& workingFolder,
                       const QString& folder)
{
    if (group.running()) return false;
    outLines = OutputLines();
    errLines = OutputLines();
    downloads.clear();
    conversions.clear();
    cancelFlag = false;
    endedBeforeCancel = false;
    workFolder = workingFolder;
    downloadFolder = folder;
    return group.start(program, args, workingFolder);
}

void YtdlRunner::cancel()
{
    if (!group.running() || cancelFlag) return;
    cancelFlag = true;
    endedBeforeCancel = group.leaderEnded();
    group.terminate();
}

void YtdlRunner::readStream(bool errorStream)
{
    const QByteArray bytes = errorStream ? group.readStandardError() : group.readStandardOutput();
    const QStringList lines = (errorStream ? errLines : outLines).add(bytes);
    for (const QString& text : lines) take(text, errorStream);
}

void YtdlRunner::take(const QString& text, bool errorStream)
{
    if (!errorStream) {
        // names are kept after a cancel too: the output may still announce a file
        const QString download = ytdl::DownloadDestination(text);
        if (!download.isEmpty()) downloads.append(download);
        const QString converted = ytdl::ConversionDestination(text);
        if (!converted.isEmpty()) conversions.append(converted);
    }
    if (!cancelFlag) emit line(text, errorStream);
}

bool YtdlRunner::inDownloadFolder(const QString& path) const
{
    if (downloadFolder.isEmpty()) return false;
    const QString dir = QFileInfo(path).absolutePath();
    return QDir::cleanPath(dir) == QDir::cleanPath(QDir(downloadFolder).absolutePath());
}

QStringList YtdlRunner::unfinishedFiles(bool runEnded) const
{
    QStringList files;
    const QDir work(workFolder);
    for (const QString& name : downloads) {
        const QString f = work.absoluteFilePath(name);
        files << f + QStringLiteral(".part") << f + QStringLiteral(".ytdl");
        if (!runEnded) files << f;
    }
    if (!runEnded) {
        for (const QString& name : conversions) {
            const QString g = work.absoluteFilePath(name);
            files << g;
            // the converter writes to "name.temp.ext" when the original has the target's extension
            const QFileInfo info(g);
            files << info.path() + u'/' + info.completeBaseName() + QStringLiteral(".temp.") + info.suffix();
        }
    }
    QStringList inside;
    for (const QString& f : files)
        if (inDownloadFolder(f) && !inside.contains(f)) inside << f;
    return inside;
}

void YtdlRunner::groupEnded(int exitCode, bool crashed)
{
    readStream(false);
    readStream(true);
    for (const QString& text : outLines.finish()) take(text, false);
    for (const QString& text : errLines.finish()) take(text, true);
    if (cancelFlag) {
        for (const QString& f : unfinishedFiles(endedBeforeCancel)) QFile::remove(f);
    }
    emit finished(exitCode, crashed, cancelFlag);
}
