// The main window on an X server (run by screen.sh under xvfb-run), its output on a JACK
// server of the test's own that the stored configuration names: the skinned window with the
// three panels and two empty decks, then a file that another program drags onto deck A (XDND
// through the X server, the pointer moved by xdotool). Both are photographed into the build
// folder (screens/).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QUrl>

#include "engine/audiobase.h"
#include "engine/carga.h"
#include "tests/engine/deck/deckrig.h"
#include "tests/mainwindow/support/jackwindowrig.h"

namespace {

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

// A drum groove at 120 BPM: a kick on every beat, a hat between them.
bool groove(const QString& path, int seconds)
{
    constexpr int rate = 44100, beat = rate / 2;
    uint32_t seed = 7;
    return deckrig::writeWav(path, rate, int64_t(seconds) * rate, [&](int64_t i, int16_t& l, int16_t& r) {
        const double x = double(i % beat) / rate, h = double((i + beat / 2) % beat) / rate;
        double v = 0;
        if (x < 0.15) v += std::sin(2 * M_PI * (50 * x + 300 * (1 - std::exp(-x * 30)) / 30)) * std::exp(-x * 25);
        seed = seed * 1664525u + 1013904223u;
        if (h < 0.05) v += 0.3 * (double(seed >> 8) / double(1 << 24) * 2 - 1) * std::exp(-h * 90);
        l = r = int16_t(std::lround(std::clamp(v, -1.0, 1.0) * 20000));
    });
}

// share of the pixels of `area` (window coordinates) that differ between two photographs
double changed(const QString& before, const QString& after, const QRect& area)
{
    const QImage a = QImage(before).convertToFormat(QImage::Format_RGB32);
    const QImage b = QImage(after).convertToFormat(QImage::Format_RGB32);
    const QRect r = area.intersected(a.rect()).intersected(b.rect());
    if (r.isEmpty()) return 0;
    qint64 n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return double(n) / double(r.width() * r.height());
}

}  // namespace

TEST(MainWindowScreen, EmptyDecksThenAFileDroppedOnDeckA)
{
    // the stored output: JACK, its device by name at an index that is not its own any more
    JackWindowRig rig;
    ASSERT_TRUE(rig.start(3));
    Tform1& f = rig.form();
    EXPECT_EQ(f.adj->soundcfg->asnum[0].load(), 0) << "found by its name";
    EXPECT_FALSE(f.deviceGone);
    EXPECT_FALSE(f.showpanel) << "the output started";
    EXPECT_TRUE(f.panels.vpl && f.panels.vgr && f.panels.vex);
    ASSERT_TRUE(rig.exposed());
    const QString empty = rig.shot(QStringLiteral("mainwindow-empty.png"));
    EXPECT_LT(fuchsia(empty), 0.001) << empty.toStdString();
    EXPECT_EQ(f.get<QLabel>(QStringLiteral("artist1"))->text(), "No Song");
    EXPECT_EQ(f.get<QLabel>(QStringLiteral("artist2"))->text(), "No Song");
    // the three panels share the browser from top to bottom
    int below = -1;
    for (const char* host : {"playlist", "grupos", "explorer"}) {
        const QWidget* h = f.get<QWidget>(QLatin1String(host));
        ASSERT_NE(h, nullptr) << host;
        EXPECT_TRUE(h->isVisible() && h->height() > 150) << host << " " << h->height();
        EXPECT_GT(h->y(), below) << host;
        below = h->y();
    }

    const QString path = rig.filePath(QStringLiteral("Night Drive - Open Road.wav"));
    ASSERT_TRUE(groove(path, 20));

    // a real drop: another program drags the file over the X server onto deck A
    QProcess source;
    source.start(QStringLiteral(OSTREL_DRAGSOURCE), {path, QStringLiteral("0"), QStringLiteral("500")});
    ASSERT_TRUE(waitUntil([&] { return source.canReadLine() || source.state() == QProcess::NotRunning; }));
    ASSERT_EQ(source.readLine().trimmed(), "ready");
    const QPoint deckA = f.mapToGlobal(QPoint(200, 150)), halfway = f.mapToGlobal(QPoint(150, 300));
    const auto xy = [](QPoint p) { return QStringList{QString::number(p.x()), QString::number(p.y())}; };
    QProcess pointer;
    pointer.start(QStringLiteral(OSTREL_XDOTOOL),
                  QStringList{QStringLiteral("mousemove"), QStringLiteral("--sync")} + xy(QPoint(60, 520)) +
                      QStringList{QStringLiteral("mousedown"), QStringLiteral("1"), QStringLiteral("sleep"),
                                  QStringLiteral("0.3"), QStringLiteral("mousemove")} +
                      xy(halfway) + QStringList{QStringLiteral("sleep"), QStringLiteral("0.3"), QStringLiteral("mousemove")} +
                      xy(deckA) + QStringList{QStringLiteral("sleep"), QStringLiteral("0.3"), QStringLiteral("mousemove")} +
                      xy(deckA + QPoint(2, 2)) +
                      QStringList{QStringLiteral("sleep"), QStringLiteral("0.5"), QStringLiteral("mouseup"), QStringLiteral("1")});
    ASSERT_TRUE(waitUntil([&] { return source.canReadLine() || source.state() == QProcess::NotRunning; }, 20000))
        << "the drag did not end";
    EXPECT_EQ(source.readLine().trimmed(), "dropped");
    pointer.waitForFinished(1000);

    ASSERT_TRUE(waitUntil([&] { return f.adj->carga1->loaded && !f.loader.loading(1); }));
    source.kill();
    source.waitForFinished(2000);
    EXPECT_EQ(f.get<QLabel>(QStringLiteral("artist1"))->text(), "Night Drive ");
    EXPECT_EQ(f.get<QLabel>(QStringLiteral("title1"))->text(), "Open Road");
    EXPECT_EQ(f.get<QLabel>(QStringLiteral("artist2"))->text(), "No Song") << "deck B stays empty";
    // the tempo scan hands its result to the deck's record
    EXPECT_TRUE(waitUntil([&] { return f.adj->carga1->basseqfx->bpmn.load() > 0; }, 15000));
    EXPECT_NEAR(f.adj->carga1->basseqfx->bpmn.load(), 1200, 5) << f.adj->carga1->basseqfx->bpm.get().toStdString();
    const QString loaded = rig.shot(QStringLiteral("mainwindow-deck-a.png"));
    // the waveform of deck A is drawn where the empty deck showed none
    const QRect wave = f.get<QWidget>(QStringLiteral("display1grande"))->geometry().translated(
        f.get<QWidget>(QStringLiteral("display1grande"))->parentWidget()->mapTo(&f, QPoint(0, 0)));
    EXPECT_GT(changed(empty, loaded, wave), 0.02) << loaded.toStdString();
    const QRect waveB = f.get<QWidget>(QStringLiteral("display2grande"))->geometry().translated(
        f.get<QWidget>(QStringLiteral("display2grande"))->parentWidget()->mapTo(&f, QPoint(0, 0)));
    EXPECT_LT(changed(empty, loaded, waveB), 0.01) << "deck B's waveform stays empty";
}
