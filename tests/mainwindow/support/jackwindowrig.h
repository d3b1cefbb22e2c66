// The main window on an X server (the test runs under screen.sh and xvfb-run) with its output on
// a JACK server of the test's own, which the stored configuration names: JACK output, device
// "system" stored at a given index. The server starts first and stops after the window closed.
// Photographs of the window go into the build folder (screens/); OSTREL_TEST_BIN_DIR names it.
#pragma once

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWindow>
#include <memory>

#include "library/tmsql.h"
#include "tests/mainwindow/support/windowrig.h"
#include "tests/support/jackserver.h"

class JackWindowRig {
public:
    // The server, then the window with its output stored as device `storedIndex`. False when
    // the server did not start (no window then).
    bool start(int storedIndex)
    {
        windowApp("xcb");
        if (!jack.start()) return false;
        rig = std::make_unique<WindowRig>(
            [storedIndex](const QString& profile) {
                QDir().mkpath(profile);
                Tmsql sql(profile + QStringLiteral("korvanta.db"));
                sql.db().ExecSQL(QStringLiteral("UPDATE config SET wexp = 9, devicemode = 0, workmode = 1, "
                                                "asnum1 = %1, asname1 = 'system'")
                                     .arg(storedIndex));
            },
            false);
        return true;
    }

    Tform1& form() { return *rig->form; }
    // a path in the test's own folder
    QString filePath(const QString& name) const { return rig->dir.filePath(name); }

    // shown, with its surface exposed by the X server
    bool exposed()
    {
        Tform1& f = form();
        return waitUntil([&] { return f.isVisible() && f.windowHandle() && f.windowHandle()->isExposed(); });
    }

    // The window as the screen shows it, once mapped and painted, into screens/`name`; the path.
    QString shot(const QString& name)
    {
        waitUntil([] { return false; }, 700);
        const QString folder = QStringLiteral(OSTREL_TEST_BIN_DIR "/screens");
        QDir().mkpath(folder);
        const QRect g = form().frameGeometry();
        const QString path = folder + QLatin1Char('/') + name;
        QGuiApplication::primaryScreen()->grabWindow(0, g.x(), g.y(), g.width(), g.height()).save(path, "PNG");
        return path;
    }

    JackServer jack;
    std::unique_ptr<WindowRig> rig;
};
