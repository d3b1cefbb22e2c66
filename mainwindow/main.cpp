// Entry point of ostrelkorvanta. For now it prepares the user profile folder and shows
// the main window's frame; the deck, mixer and library surface are added to it as they land.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>

#include "engine/ostrelli.h"

static bool makeProfileFolder(QString* error)
{
    const QString root = GetUserProfile();
    for (const char* sub : {"", "Peaks", "Downloads", "Samples", "Devices", "Devices/hid", "Skin"}) {
        if (!QDir().mkpath(root + sub)) {
            *error = root + sub;
            return false;
        }
    }
    return true;
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("OSTRELKORVANTA v2.0"));
    QString bad;
    if (!makeProfileFolder(&bad)) {
        QMessageBox::warning(nullptr, QStringLiteral("Warning "),
                             QStringLiteral("Can't create the folder ") + bad);
        return 1;
    }
    QLabel w(QStringLiteral("OSTRELKORVANTA v2.0"));
    w.setWindowTitle(QStringLiteral("OSTRELKORVANTA v2.0"));
    w.setAlignment(Qt::AlignCenter);
    w.resize(1024, 600);
    w.show();
    return app.exec();
}
