#include "mainwindow/logic/recordingcontrols.h"

#include "engine/microsf.h"

QString RecordingControls::target(const QString& folder, const QString& name)
{
    QString f = folder;
    while (f.size() > 1 && f.endsWith(QLatin1Char('/'))) f.chop(1);
    if (!f.startsWith(QLatin1Char('/')) || name.isEmpty() || name.contains(QLatin1Char('/')) ||
        name == QLatin1String(".") || name == QLatin1String(".."))
        return {};
    if (f == QLatin1String("/")) f.clear();
    return f + QLatin1Char('/') + name + QStringLiteral(".wav");
}

void RecordingControls::recMouseDown()
{
    if (host_.grabando()) {
        host_.graba(QString(), 0);
        return;
    }
    host_.showDialog();
}

void RecordingControls::boffd1click()
{
    if (asking_) return;
    const QString folder = host_.selectedFolder();
    const QString name = host_.fileName();
    const QString file = target(folder, name);
    if (file.isEmpty()) {
        host_.message(target(QStringLiteral("/"), name).isEmpty() ? badNameText() : noFolderText());
        return;
    }
    if (!host_.exists(file)) {
        start(folder, file);
        return;
    }
    asking_ = true;
    host_.askOverwrite(file, [this, folder, file](bool yes) {
        asking_ = false;
        if (yes) start(folder, file);
    });
}

void RecordingControls::start(const QString& folder, const QString& file)
{
    const QString shortForm = shortName ? shortName(folder) : ShortFileName(folder);
    host_.setRrecord(shortForm.isEmpty() ? QStringLiteral("-") : shortForm);
    host_.graba(file, host_.grabando() ? 0 : 1);
    host_.hideDialog();
}

void RecordingControls::boffd2click() { host_.hideDialog(); }
