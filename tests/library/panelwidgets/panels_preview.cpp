// The Groups and Playlists panels with a small library, or one of the file dialogs, on screen:
// panels_preview [--dialog add|dir|rec|input] --shot file.png takes a picture of the screen
// once the window has been shown for a while, then ends.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include "engine/precord.h"
#include "library/panels/kitprompts.h"
#include "library/panels/snskinfiles.h"
#include "library/panels/snskinplay.h"
#include "library/shell/filedialogs.h"
#include "library/songgridrow.h"
#include "library/tmsql.h"
#include "snkins/quor/tquorpanel.h"
#include "tests/library/panelwidgets/panelhost.h"
#include "tests/support/fakemainservices.h"

namespace {
QStringList songRow(const QString& path, const QString& artist, const QString& title, const QString& bpm)
{
    QStringList r = songgridrow::blank();
    r[gridcol::path] = path;
    r[gridcol::artist] = artist;
    r[gridcol::title] = title;
    r[gridcol::bpm] = bpm;
    r[gridcol::time] = "04:12";
    return r;
}
}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser p;
    p.addOption({"shot", "picture file", "file"});
    p.addOption({"dialog", "add, dir, rec or input", "name"});
    p.process(app);

    QTemporaryDir dir;
    Tmsql sql(dir.filePath("korvanta.db"));
    const double house = sql.altadegrupo(0, "House", true, 0);
    const double deep = sql.altadesubgrupo(0, "Deep", true, house);
    sql.altadesubgrupo(0, "Vol.1 Classics", true, house);
    sql.altadegrupo(0, "Techno", true, 0);
    const char* artists[] = {"Alpha Unit", "Bravo Sound", "Charlie & The Beats", "Delta Groove", "Echo Park",
                             "Foxtrot", "Golf Club", "Hotel Lobby"};
    for (int i = 0; i < 8; ++i) {
        const QString path = QDir::root().filePath(QString("music/track%1.mp3").arg(i));
        sql.altadesg(songRow(path, artists[i], QString("Song number %1").arg(i + 1), QString("12%1.000").arg(i)), 0, 0,
                     i < 5 ? 1 : deep, i < 5 ? 1 : house);
        if (i % 2 == 0)
            sql.altadesg(songRow(path, artists[i], QString("Song number %1").arg(i + 1), QString("12%1.000").arg(i)), 1,
                         i / 2 + 1, 2, 2);
    }
    sql.altadegrupo(1, "Friday set", true, 0);

    FakeMainServices main;
    QWidget window;
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, Qt::black);
    window.setPalette(pal);
    window.setAutoFillBackground(true);
    window.resize(1024, 640);
    auto* ep = hostedPanel<Tnskinfiles>(&window, QRect(0, 0, 1024, 318), &sql, &main);
    auto* ep3 = hostedPanel<Tnskinplay>(&window, QRect(0, 322, 1024, 318), &sql, &main);
    ep->setDeckFile(1, QDir::root().filePath("music/track2.mp3"));
    ep->load();
    ep3->setDeckFile(1, QDir::root().filePath("music/track2.mp3"));
    ep3->load();
    window.show();

    const QString dialog = p.value("dialog");
    QTimer::singleShot(300, [&] {
        if (dialog == "add") ep->bclick1();
        else if (dialog == "dir") ep->bclick3();
        else if (dialog == "input") ep->PopupMenu1->actions().value(1)->trigger();
        else if (dialog == "rec") {
            auto* rec = new TTquorsavedialog2(&window);
            rec->show();
        }
        if (dialog == "add") ep->mfilesopen->tffd->SetPath(QDir::homePath());
    });
    if (p.isSet("shot")) {
        QTimer::singleShot(2000, [&] {
            QScreen* s = QGuiApplication::primaryScreen();
            s->grabWindow(0).save(p.value("shot"));
            app.quit();
        });
    }
    return app.exec();
}
