// kit_bench: what one repaint of an instrument control costs, painted into a QImage as the
// window's backing store would take it. 10,000 repaints each of a needle meter (310 x 250), a
// 27-frame dial (50 x 50), a 40-segment LED level bar and an LED clock (200 x 200), the state
// changing between repaints. The peer of each is the floor every repaint pays: one copy of an
// image of the control's size into the same target, measured in the same run.
//
// Last line: "kit repaint us (worst): T, clock us: C", T the worst of meter, dial and level bar.
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "snkins/vr/tvrbitmapdial.h"
#include "snkins/vr/tvrbitmaplist.h"
#include "snkins/vr/tvrledclock.h"
#include "snkins/vr/tvrquorangularmeter.h"
#include "snkins/vr/trled.h"
#include "tests/snkins/gallery/knobstrip.h"

namespace {

constexpr int kRepaints = 10000;

// Microseconds per call of `step` (the best of three rounds, so that a busy machine counts less).
double perCall(const std::function<void(int)>& step)
{
    double best = 1e300;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < kRepaints; ++i) step(i);
        best = std::min(best, double(t.nsecsElapsed()) / 1000.0 / kRepaints);
    }
    return best;
}

// The floor: one copy of a control-sized image into the target.
double floorFor(QSize size)
{
    QImage source(size, QImage::Format_RGB32);
    source.fill(Qt::darkGray);
    QImage target(size, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&target);
    return perCall([&](int) { p.drawImage(0, 0, source); });
}

template <typename Control>
double repaint(Control& c, const std::function<void(int)>& change)
{
    QImage target(c.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter p(&target);
    return perCall([&](int i) {
        change(i);
        c.PaintTo(p);
    });
}

double report(const char* what, QSize size, double us)
{
    const double floor = floorFor(size);
    std::printf("%-28s %4dx%-4d %8.2f us/repaint   floor %6.2f us   ratio %6.1f\n", what, size.width(), size.height(),
                us, floor, us / floor);
    return us;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
        const QByteArray dir = QDir::tempPath().toUtf8() + "/ostrel-kit-bench-" + QByteArray::number(getuid());
        mkdir(dir.constData(), 0700);
        qputenv("XDG_RUNTIME_DIR", dir);
    }
    QApplication app(argc, argv);

    TVrQuorAngularMeter meter;
    meter.SetCaption(QStringLiteral("PLAYING|DECK A"));
    const double tMeter =
        report("needle meter", meter.size(), repaint(meter, [&](int i) { meter.SetPosition(i % 101); }));

    TVrBitmapList list;
    list.Bitmaps()->Add(KnobStrip(27, 50, QColor(0xFE, 0xB2, 0x0A)));
    TVrBitmapDial dial;
    dial.SetBitmapList(&list);
    dial.SetBitmapIndex(0);
    dial.SetImageCount(27);
    const double tDial = report("dial, 27 frames", dial.size(), repaint(dial, [&](int i) { dial.SetPosition(i % 101); }));

    TRLed bar;
    bar.enabletimer(false);
    bar.resize(25, 40 * 5 + 2);
    const double tBar = report("LED level bar, 40 segments", bar.size(),
                               repaint(bar, [&](int i) { bar.SetPosition(i % 101); }));
    if (bar.BarCount != 40) std::printf("(the level bar has %d segments)\n", bar.BarCount);

    QDateTime now(QDate(2024, 5, 17), QTime(9, 5, 0));
    TVrLedClock clock(nullptr, [&] { return now; });
    const double tClock = report("LED clock", clock.size(), repaint(clock, [&](int) {
                                     now = now.addSecs(1);
                                     clock.OnTimerEvent();
                                 }));

    const double worst = std::max({tMeter, tDial, tBar});
    std::printf("goals: worst <= 50 us, clock <= 1000 us\n");
    std::printf("kit repaint us (worst): %.1f, clock us: %.1f\n", worst, tClock);
    return 0;
}
