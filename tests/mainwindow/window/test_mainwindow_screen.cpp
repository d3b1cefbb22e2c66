// The main window on an X server (run by screen.sh under xvfb-run), its output on a JACK
// server of the test's own that the stored configuration names: the skinned window with the
// three panels and two empty decks, then a file dropped on deck A. Both are photographed into
// the build folder (screens/).
#include <gtest/gtest.h>

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPixmap>
#include <QScreen>
#include <QUrl>
#include <QWindow>

#include "engine/audiobase.h"
#include "engine/carga.h"
#include "library/tmsql.h"
#include "tests/engine/deck/deckrig.h"
#include "tests/mainwindow/support/windowrig.h"
#include "tests/support/jackserver.h"

namespace {

QString shot(Tform1& f, const QString& name)
{
    waitUntil([] { return false; }, 700);  // mapped and painted
    const QString dir = QStringLiteral(OSTREL_TEST_BIN_DIR "/screens");
    QDir().mkpath(dir);
    const QRect g = f.frameGeometry();
    const QPixmap px = QGuiApplication::primaryScreen()->grabWindow(0, g.x(), g.y(), g.width(), g.height());
    const QString path = dir + QLatin1Char('/') + name;
    px.save(path, "PNG");
    return path;
}

// share of the photograph that shows the see-through key colour
double fuchsia(const QString& png)
{
    const QImage img = QImage(png).convertToFormat(QImage::Format_RGB32);
    if (img.isNull()) return 1;
    qint64 n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += (img.pixel(x, y) & 0xFFFFFF) == 0xFF00FF;
    return double(n) / double(img.width() * img.height());
}

}  // namespace

TEST(MainWindowScreen, EmptyDecksThenAFileDroppedOnDeckA)
{
    windowApp("xcb");
    JackServer jack;
    ASSERT_TRUE(jack.start());
    // the stored output: JACK, its device by name at an index that is not its own any more
    WindowRig rig(
        [](const QString& profile) {
            QDir().mkpath(profile);
            Tmsql sql(profile + QStringLiteral("korvanta.db"));
            sql.db().ExecSQL(QStringLiteral("UPDATE config SET wexp = 9, devicemode = 0, workmode = 1, asnum1 = 3, "
                                            "asname1 = 'system'"));
        },
        false);
    Tform1& f = *rig.form;
    EXPECT_EQ(f.adj->soundcfg->asnum[0].load(), 0) << "found by its name";
    EXPECT_FALSE(f.deviceGone);
    EXPECT_FALSE(f.showpanel) << "the output started";
    EXPECT_TRUE(f.panels.vpl && f.panels.vgr && f.panels.vex);
    ASSERT_TRUE(waitUntil([&] { return f.isVisible() && f.windowHandle() && f.windowHandle()->isExposed(); }));
    const QString empty = shot(f, QStringLiteral("mainwindow-empty.png"));
    EXPECT_LT(fuchsia(empty), 0.001) << empty.toStdString();
    EXPECT_EQ(f.get<QLabel>(QStringLiteral("artist1"))->text(), "No Song");

    const QString path = rig.dir.filePath(QStringLiteral("Night Drive - Open Road.wav"));
    ASSERT_TRUE(deckrig::clickTrack(path, 44100, 44100 * 20, 22050));  // 120 BPM
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at(200, 150);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f, &enter);
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f, &dropped);
    ASSERT_TRUE(waitUntil([&] { return f.adj->carga1->loaded && !f.loader.loading(1); }));
    EXPECT_EQ(f.get<QLabel>(QStringLiteral("artist1"))->text(), "Night Drive ");
    EXPECT_EQ(f.get<QLabel>(QStringLiteral("title1"))->text(), "Open Road");
    // the tempo scan hands its result to the deck tick
    waitUntil([&] { return f.adj->carga1->basseqfx->tag[0] > 0; }, 8000);
    shot(f, QStringLiteral("mainwindow-deck-a.png"));
}
