// One run of the video engine: the child in a process group of its own, its standard output
// and standard error cut into lines apart, and cancel.
//
// Cancel ends the whole group (SIGTERM, SIGKILL after 258 ms) and then deletes what this run
// left unfinished, as its own output named it: for each "[download] Destination: F", F.part and
// F.ytdl; when the run had not ended by itself, also F and the converter's destination (and
// the converter's temporary file beside it). Only files inside the run's download folder are
// deleted; files of finished runs stay.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "platform/sys/processgroup.h"
#include "vidtool/outputlines.h"

class YtdlRunner : public QObject {
    Q_OBJECT
public:
    explicit YtdlRunner(QObject* parent = nullptr);

    // False when a run is going or the program cannot be started.
    bool start(const QString& program, const QStringList& args, const QString& workingFolder,
               const QString& downloadFolder);
    bool running() const { return group.running(); }
    // Ends the run; finished() follows once its group is gone and its files are deleted.
    // Lines that arrive after the cancel are not reported.
    void cancel();
    bool cancelled() const { return cancelFlag; }
    qint64 groupId() const { return group.groupId(); }

    // The files that a cancel deletes now.
    QStringList unfinishedFiles(bool runEnded) const;

signals:
    void line(const QString& text, bool errorStream);
    void finished(int exitCode, bool crashed, bool cancelled);

private:
    void readStream(bool errorStream);
    void take(const QString& text, bool errorStream);
    void groupEnded(int exitCode, bool crashed);
    bool inDownloadFolder(const QString& path) const;

    ProcessGroup group;
    OutputLines outLines, errLines;
    QString workFolder, downloadFolder;
    QStringList downloads, conversions;
    bool cancelFlag = false;
    bool endedBeforeCancel = false;
};
