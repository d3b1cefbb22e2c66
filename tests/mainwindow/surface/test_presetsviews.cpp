// The performance presets on fake controls, the CPU mean from synthetic counters and the
// window's place in each width mode.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "engine/adcpuusage.h"
#include "mainwindow/logic/cpumean.h"
#include "mainwindow/logic/presetcontrols.h"
#include "mainwindow/logic/windowgeometry.h"
#include "tests/mainwindow/support/fakeviews.h"

namespace {
struct PresetRig {
    PresetControls p;
    std::array<FakeControl, 8> labels;
    std::array<FakeControl, 2> jogs, needles, compasses, centre, leds;
    int configup = 0, configbu = 0, spec = -1;
    bool extended = true;
    std::map<int, QString> faces;
    PresetRig()
    {
        for (size_t i = 0; i < 8; ++i) p.timeLabels[i] = &labels[i];
        for (size_t i = 0; i < 2; ++i) {
            p.jogPanels[i] = &jogs[i];
            p.needles[i] = &needles[i];
            p.compasses[i] = &compasses[i];
            p.centreMeters[i] = &centre[i];
            p.leds[i] = &leds[i];
            jogs[i].visible_ = false;
        }
        p.configup = &configup;
        p.configbu = &configbu;
        p.extendedView = [this] { return extended; };
        p.setdisplayspec = [this](int m) { spec = m; };
        p.setFace = [this](int deck, const QString& h) { faces[deck] = h; };
    }
    bool all(const std::array<FakeControl, 2>& c, bool FakeControl::*field) const
    {
        return c[0].*field && c[1].*field;
    }
    bool none(const std::array<FakeControl, 2>& c, bool FakeControl::*field) const
    {
        return !(c[0].*field) && !(c[1].*field);
    }
};
}  // namespace

TEST(PerformancePresets, TheTable)
{
    struct Row {
        int level;
        int spec, up, bu;
        bool needles, compasses, centre;
        const char *faceA, *faceB;
    } rows[] = {
        {0, 0, 5, 75, true, true, true, "vuanalogicoA", "vuanalogicob"},
        {1, 0, 8, 200, false, true, false, "vuanalogico", "vuanalogico2"},
        {2, 1, 10, 250, false, false, false, "vuanalogico", "vuanalogico2"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.level);
        PresetRig g;
        g.p.apply(r.level);
        EXPECT_EQ(g.spec, r.spec);
        EXPECT_EQ(g.configup, r.up);
        EXPECT_EQ(g.configbu, r.bu);
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(g.needles[i].visible_, r.needles);
            EXPECT_EQ(g.needles[i].enabled_, r.needles);
            EXPECT_EQ(g.leds[i].visible_, r.needles);
            EXPECT_EQ(g.compasses[i].visible_, r.compasses);
            EXPECT_EQ(g.compasses[i].enabled_, r.compasses);
            EXPECT_EQ(g.centre[i].visible_, r.centre);
            // the jog panels: shown by medium and low, left as they are by high
            EXPECT_EQ(g.jogs[i].visible_, r.level != 0);
        }
        EXPECT_EQ(g.faces[1], QLatin1String(r.faceA));
        EXPECT_EQ(g.faces[2], QLatin1String(r.faceB));
        EXPECT_EQ(g.p.metersEnabled(), r.level == 0);
        // time labels: hidden by high in the "Extended" view only
        for (const FakeControl& l : g.labels) EXPECT_EQ(l.visible_, r.level != 0);
    }
}

TEST(PerformancePresets, LowHidesTheMetersAndHighRestoresThem)
{
    PresetRig g;
    g.p.lowp();
    EXPECT_TRUE(g.none(g.needles, &FakeControl::visible_));
    EXPECT_TRUE(g.none(g.compasses, &FakeControl::visible_));
    EXPECT_EQ(g.spec, 1);
    g.p.higp();
    EXPECT_TRUE(g.all(g.needles, &FakeControl::visible_));
    EXPECT_TRUE(g.all(g.compasses, &FakeControl::visible_));
    EXPECT_TRUE(g.all(g.centre, &FakeControl::visible_));
    EXPECT_EQ(g.spec, 0);
    // high while the combo reads "Essential" shows the time labels
    g.extended = false;
    g.p.higp();
    for (const FakeControl& l : g.labels) EXPECT_TRUE(l.visible_);
    // a level outside 0..2 changes nothing
    g.p.apply(7);
    EXPECT_EQ(g.configup, 5);
}

namespace {
// one /proc/stat: the total line, then each processor's busy and idle jiffies
QByteArray stat(const std::vector<std::pair<uint64_t, uint64_t>>& cpus)
{
    uint64_t busy = 0, idle = 0;
    for (auto [b, i] : cpus) busy += b, idle += i;
    QByteArray out = "cpu  " + QByteArray::number(busy) + " 0 0 " + QByteArray::number(idle) + " 0 0 0 0 0 0\n";
    for (size_t n = 0; n < cpus.size(); ++n)
        out += "cpu" + QByteArray::number(qulonglong(n)) + " " + QByteArray::number(cpus[n].first) + " 0 0 " +
               QByteArray::number(cpus[n].second) + " 0 0 0 0 0 0\n";
    return out + "intr 0\nctxt 0\n";
}

void write(const QString& f, const QByteArray& b)
{
    QFile file(f);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(b);
}
}  // namespace

TEST(CpuMeanLevel, MeanOfTwoSnapshots)
{
    QTemporaryDir dir;
    const QString f = dir.filePath(QStringLiteral("stat"));
    struct Row {
        std::vector<std::pair<uint64_t, uint64_t>> before, after;
        double mean;
    } rows[] = {
        // 30 % and 50 % busy over 1000 jiffies each
        {{{100, 100}, {100, 100}}, {{400, 800}, {600, 600}}, 40.0},
        // a processor at 0 % still counts
        {{{0, 0}, {0, 0}}, {{0, 1000}, {600, 400}}, 30.0},
        {{{0, 0}, {0, 0}, {0, 0}, {0, 0}}, {{1000, 0}, {0, 1000}, {500, 500}, {250, 750}}, 43.75},
    };
    for (const Row& r : rows) {
        write(f, stat(r.before));
        SetCPUDataSource(f);
        cpuMean();
        write(f, stat(r.after));
        EXPECT_DOUBLE_EQ(cpuMean(), r.mean);
    }
    SetCPUDataSource(QStringLiteral("/proc/stat"));
}

TEST(CpuMeanLevel, MalformedOrMissingCountersGiveZero)
{
    QTemporaryDir dir;
    const QString f = dir.filePath(QStringLiteral("stat"));
    for (const QByteArray& bad : {QByteArray(), QByteArray("cpu garbage\n"), QByteArray("\x01\x02\xff"),
                                  QByteArray("intr 1 2 3\n")}) {
        write(f, bad);
        SetCPUDataSource(f);
        EXPECT_EQ(cpuMean(), 0.0) << bad.toHex().constData();
    }
    SetCPUDataSource(dir.filePath(QStringLiteral("none")));
    EXPECT_EQ(cpuMean(), 0.0);
    SetCPUDataSource(QStringLiteral("/proc/stat"));
    const double live = cpuMean();
    EXPECT_GE(live, 0.0);
    EXPECT_LE(live, 100.0);
}

TEST(DeckViewsAndWindowSize, WindowGeometryTable)
{
    struct Row {
        QRect screen, work;
        bool wide;
        QRect window;
    } rows[] = {
        {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true, {320, 0, 1280, 1040}},
        {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, false, {448, 0, 1024, 1040}},
        {{0, 0, 1024, 768}, {0, 0, 1024, 740}, true, {0, 0, 1024, 740}},
        {{0, 0, 1024, 768}, {0, 0, 1024, 740}, false, {0, 0, 1024, 740}},
        {{0, 0, 800, 600}, {0, 0, 800, 600}, false, {0, 0, 1024, 600}},
        {{0, 0, 800, 600}, {0, 0, 800, 600}, true, {0, 0, 1024, 600}},
        {{0, 0, 1500, 900}, {0, 30, 1500, 870}, true, {110, 30, 1280, 870}},
        // a panel on the left, a second monitor to the right
        {{0, 0, 1920, 1080}, {64, 0, 1856, 1080}, false, {448, 0, 1024, 1080}},
        {{1920, 0, 1280, 1024}, {1920, 0, 1280, 1024}, false, {2048, 0, 1024, 1024}},
        {{1920, 0, 1280, 1024}, {1920, 0, 1280, 1024}, true, {1920, 0, 1280, 1024}},
        {{-1024, 0, 1024, 768}, {-1024, 0, 1024, 768}, false, {-1024, 0, 1024, 768}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(WindowGeometry::place(r.screen, r.work, r.wide), r.window)
            << r.screen.width() << " wide screen at " << r.screen.left() << (r.wide ? ", wide mode" : "");
}
