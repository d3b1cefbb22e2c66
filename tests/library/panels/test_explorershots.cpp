// Pictures of the Explorer panel as the X server shows it (run by explorer_shots.sh under
// xvfb-run): a folder listed with files the library knows and the deck marks, and a search's
// results with the stop switch and the busy bar. Each picture is checked for the panel's
// colours and for no see-through key colour.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>

#include "engine/precord.h"
#include "library/panels/tdirectorytree2.h"
#include "library/panels/tnskinexplore.h"
#include "library/tmsql.h"
#include "library/ttagsong.h"
#include "platform/shell/fakevolumesource.h"
#include "platform/shell/mounttable.h"
#include "platform/shell/mountwatcher.h"
#include "snkins/quor/korvantastyle.h"
#include "snkins/quor/tquorgrid.h"
#include "snkins/quor/tquorpanel.h"

namespace {

QApplication& app()
{
    static int argc = 1;
    static char arg0[] = "explorer_shots";
    static char* argv[] = {arg0, nullptr};
    static QApplication* a = [] {
        auto* created = new QApplication(argc, argv);
        ApplyKorvantaStyle(*created);  // as the program does at start
        return created;
    }();
    return *a;
}

void settle(int ms)
{
    QDeadlineTimer t(ms);
    while (!t.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

QString shotDir()
{
    const QByteArray d = qgetenv("EXPLORER_SHOTS");
    return d.isEmpty() ? QStringLiteral(".") : QString::fromLocal8Bit(d);
}

QImage photograph(QWidget* w)
{
    settle(200);
    const QRect r(w->mapToGlobal(QPoint(0, 0)), w->size());
    return w->screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage().convertToFormat(QImage::Format_RGB32);
}

int count(const QImage& img, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += (img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}

// a dark window of 1000 x 420 at the screen's corner, filled by a host panel
TQuorPanel* hostIn(QWidget& window)
{
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, QColor(21, 21, 21));
    window.setPalette(pal);
    window.setAutoFillBackground(true);
    window.move(0, 0);
    window.resize(1000, 420);
    auto* host = new TQuorPanel(&window);
    host->setGeometry(0, 0, 1000, 420);
    host->init();
    return host;
}

class ExplorerShots : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const char* names[] = {"Daft Unit - Around The Clock.mp3", "Kasimir - Night Drive.mp3", "Lumen - Glass.flac",
                               "Moonwalk - Sunday Morning.wav", "Orbit - Polar Lights.mp3", "intro loop.mp3",
                               "Pulse - Deep Mix.ogg", "Zenith - Last Call.mp3", "cover.jpg"};
        for (const char* n : names) file(QString("stick/Sets/") + n);
        file("stick/Sets/deep/Club Mix - Extended.mp3");
        file("stick/Sets/deep/Mix Tape 1.mp3");
        QDir().mkpath(dir.filePath("stick/Tracks/House"));
        {
            Tmsql sql(dir.filePath("korvanta.db"));
            Ttagsong t;
            t.alfichero = dir.filePath("stick/Sets/Kasimir - Night Drive.mp3");
            t.Artist = "KASIMIR";
            t.Title = "Night Drive (Original)";
            t.Bpm = "124.000";
            sql.altadecancion(0, t, 1, 1);
        }
        sql = std::make_unique<Tmsql>(dir.filePath("korvanta.db"));
        PRecord r;
        r.tag[tagslot::bpm] = 124;
        r.veces = 3;
        r.gain = 10;
        r.duration = "0:06:12";
        sql->salvatag(r, dir.filePath("stick/Sets/Kasimir - Night Drive.mp3"));

        source.set({FakeVolumeSource::volume("/"), FakeVolumeSource::volume(dir.filePath("stick"), "STICK", "vfat", true),
                    FakeVolumeSource::volume("/media/disc", "AUDIO CD", "iso9660", true)});
        window.setWindowTitle("Explorer");
        host = hostIn(window);
        panel = new Tnskinexplore(host, source);
        panel->mquorsql = sql.get();
        panel->colnor = QColor(0, 0, 0);
        panel->colpar = QColor(21, 21, 21);
        panel->hide3dborder = true;
        panel->watchMounts = false;
        panel->init();
        panel->dt->model().desktopPath = [this] { return dir.filePath("Desktop"); };
        window.show();
        settle(200);
    }
    void file(const QString& rel)
    {
        const QString p = dir.filePath(rel);
        QDir().mkpath(QFileInfo(p).path());
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QModelIndex child(const QModelIndex& parent, const QString& caption)
    {
        DriveTreeModel& m = panel->dt->model();
        for (int r = 0; r < m.rowCount(parent); ++r)
            if (m.index(r, 0, parent).data().toString() == caption) return m.index(r, 0, parent);
        return {};
    }
    void save(const QImage& img, const QString& name)
    {
        ASSERT_TRUE(img.save(shotDir() + QLatin1Char('/') + name + QStringLiteral(".png")));
        EXPECT_EQ(count(img, qRgb(255, 0, 255)), 0) << name.toStdString();
        EXPECT_GT(count(img, qRgb(0, 0, 0)) + count(img, qRgb(21, 21, 21)), img.width() * img.height() / 4);
        // the search box: black text on grey
        EXPECT_GT(count(img, qRgb(192, 192, 192)), 150 * 14) << name.toStdString();
    }

    struct AppFirst {
        AppFirst() { app(); }
    } appFirst;
    QTemporaryDir dir;
    std::unique_ptr<Tmsql> sql;
    FakeVolumeSource source;
    QWidget window;
    TQuorPanel* host = nullptr;
    Tnskinexplore* panel = nullptr;
};

TEST_F(ExplorerShots, AFolderAndASearch)
{
    DriveTreeModel& m = panel->dt->model();
    const QModelIndex stick = child(m.trinit(), "STICK");
    m.MouseDown(stick);
    m.MouseDown(child(stick, "Sets"));
    ASSERT_EQ(panel->logic().fl, dir.filePath("stick/Sets/"));
    panel->setDeckFile(1, dir.filePath("stick/Sets/Kasimir - Night Drive.mp3"));
    panel->setDeckFile(2, dir.filePath("stick/Sets/Orbit - Polar Lights.mp3"));
    panel->load();
    panel->sg->setRow(2);
    save(photograph(&window), "explorer-folder");

    panel->logic().buscar("MIX", dir.filePath("stick"));
    QDeadlineTimer t(10000);
    while (panel->logic().searching() && !t.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_EQ(panel->sg->RowCount(), 4);
    panel->onmessage(true);  // as it shows while a search runs
    save(photograph(&window), "explorer-search");
    panel->onmessage(false);
}

// The panel on this machine's own mount table, its watcher running: "/" is chosen and
// listed after the fill.
TEST(ExplorerShotsOnThisMachine, TheRealMountTable)
{
    app();
    MountTable table;
    QWidget window;
    TQuorPanel* host = hostIn(window);
    auto* panel = new Tnskinexplore(host, table);
    panel->colnor = QColor(0, 0, 0);
    panel->colpar = QColor(21, 21, 21);
    panel->hide3dborder = true;
    panel->init();
    window.show();
    ASSERT_NE(panel->watcher, nullptr);
    EXPECT_TRUE(panel->watcher->running());
    EXPECT_EQ(panel->dt->fDirectory(), "/");
    EXPECT_EQ(panel->logic().fl, "/");
    const QImage img = photograph(&window);
    ASSERT_TRUE(img.save(shotDir() + QStringLiteral("/explorer-this-machine.png")));
    EXPECT_EQ(count(img, qRgb(255, 0, 255)), 0);
}

}  // namespace
