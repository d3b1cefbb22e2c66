// e2e_dialoghost: the configuration dialog on the X server over the dialog tests' fakes (an
// engine whose JACK list holds "system" with 4 outputs, one MIDI input "e2e_midi:out", one map
// "E2E SENDER.xml"), so the end-to-end test's driver of the dialog can be tried without the
// program. When the dialog closes it prints what it chose, one "name=value" a line, then
// "closed accepted|cancelled", and ends.
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "mainwindow/config/tfnewconfig.h"
#include "snkins/quor/korvantastyle.h"
#include "tests/mainwindow/config/dialogrig.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ApplyKorvantaStyle(app);
    DialogRig rig;
    rig.engine.cfg.devicemode = 1;
    rig.engine.asio = {QStringLiteral("system")};
    rig.engine.asioOut = {4};
    rig.midi.set({"e2e_midi:out"});
    rig.profile.file(QStringLiteral("Devices/E2E SENDER.xml"), "<DATAPACKET/>");
    QWidget parent;
    parent.setWindowTitle(QStringLiteral("e2e dialog host"));
    parent.resize(1024, 700);
    parent.move(0, 0);
    parent.show();
    ConfigDialogModel::Services s;
    s.engine = &rig.engine;
    s.midi = &rig.midi;
    s.main = &rig.services;
    s.pending = &rig.pending;
    s.profile = rig.profile.path();
    auto* dialog = new Tfnewconfig(&parent, s);
    QObject::connect(dialog, &Tfnewconfig::configClosed, &app, [&](bool accepted, bool) {
        const PSoundConfig& c = rig.engine.cfg;
        std::printf("devicemode=%d\ndevicework=%d\nasnum1=%d\naschan1=%d\nasnum2=%d\naschan2=%d\n", c.devicemode.load(),
                    c.devicework.load(), c.asnum[0].load(), c.aschan[0].load(), c.asnum[1].load(), c.aschan[1].load());
        std::printf("controler=%s\nportconin=%s\ndr=%d\nlr=%d\n", qPrintable(c.controler.get()),
                    qPrintable(c.portconin.get()), c.dr.load(), c.lr.load());
        std::printf("closed %s\n", accepted ? "accepted" : "cancelled");
        std::fflush(stdout);
        QTimer::singleShot(0, &app, &QApplication::quit);
    });
    dialog->open();
    std::printf("shown\n");
    std::fflush(stdout);
    QTimer::singleShot(120000, &app, &QApplication::quit);
    return app.exec();
}
