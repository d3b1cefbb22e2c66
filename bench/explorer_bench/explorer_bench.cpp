// The Explorer on a large library and a large tree, warm cache, on the kit's grid offscreen:
// a folder of 10,000 audio files, half of them among the 100,000 tracks of the library, is
// listed with its library look-ups; a tree of 50,000 files in 2,000 folders is searched to
// "Finish" for a text in 500 names and for the empty text (every file). The visual step is a
// stand-in that costs 1 ms a call. Peers measured in the same run: the 10,000 look-ups alone,
// and the same tree walked by QDirIterator collecting the names.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include "engine/precord.h"
#include "library/explorerlogic.h"
#include "library/panels/quorexplorergrid.h"
#include "library/tmsql.h"
#include "snkins/quor/tquorgrid.h"

namespace {
using Clock = std::chrono::steady_clock;
double ms(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

struct VisualStandIn {
    int calls = 0;
    void operator()()
    {
        ++calls;
        const auto end = Clock::now() + std::chrono::milliseconds(1);
        while (Clock::now() < end) {
        }
    }
};

void touch(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
}

double searchToFinish(ExplorerLogic& logic, const QString& text, const QString& folder, int* rows)
{
    const auto t = Clock::now();
    logic.buscar(text, folder);
    QDeadlineTimer limit(120000);
    while (logic.searching() && !limit.hasExpired()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const double took = ms(t);
    *rows = logic.grid().blankRow(1) ? 0 : logic.grid().rowCount() - 1;
    return took;
}

double bareWalk(const QString& folder, const QString& text, int* found)
{
    const auto t = Clock::now();
    QStringList names;
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (it.fileName().contains(text, Qt::CaseInsensitive)) names << it.filePath();
    }
    *found = int(names.size());
    return ms(t);
}
}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.filePath("folder"), tree = dir.filePath("tree");
    QDir().mkpath(folder);

    // the folder: 10,000 files, the even ones in the library
    for (int i = 0; i < 10000; ++i) touch(folder + QStringLiteral("/Artist %1 - Title %2.mp3").arg(i % 700).arg(i));
    {
        Tmsql sql(dir.filePath("korvanta.db"));
        sql.beginBatch();
        const QString insert = QStringLiteral(
            "INSERT INTO songs (ID, GRUPO, PARENTID, ROOTID, FICHERO, TIPO, BPM, FILENAME, ARTISTA, CANCION, orden, "
            "CUE1, BASS, TREBLE, MID, GAIN, album, genero) VALUES (?,1,1,1,?,0,?,?,?,?,0,0,10,10,10,10,'0','0:03:00')");
        for (int i = 0; i < 100000; ++i) {
            const QString path = i < 10000 && i % 2 == 0
                                     ? folder + QStringLiteral("/Artist %1 - Title %2.mp3").arg(i % 700).arg(i)
                                     : QStringLiteral("/music/%1/%2.mp3").arg(i % 997).arg(i);
            sql.db().ExecSQL(insert, {double(i + 1), path, QStringLiteral("%1.000").arg(90 + i % 60),
                                      QStringLiteral("%1.mp3").arg(i), QStringLiteral("Stored %1").arg(i % 3000),
                                      QStringLiteral("Song %1").arg(i)});
        }
        sql.endBatch();
    }
    // the tree: 2,000 folders of 25 files, 40 folders deep at most; "quasar" in 500 names
    for (int d = 0; d < 2000; ++d) {
        const QString sub = tree + QStringLiteral("/g%1/f%2").arg(d / 50).arg(d);
        QDir().mkpath(sub);
        for (int i = 0; i < 25; ++i) {
            const int n = d * 25 + i;
            touch(sub + (n % 100 == 3 ? QStringLiteral("/Quasar Mix %1.mp3").arg(n) : QStringLiteral("/track %1.mp3").arg(n)));
        }
    }

    Tmsql sql(dir.filePath("korvanta.db"));
    TquorGrid sg;
    sg.init(nullptr);
    sg.resize(800, 600);
    sg.show();
    QuorExplorerGrid grid(&sg);
    VisualStandIn visual;
    ExplorerLogic logic(&sql, grid);
    logic.setVisualStep([&visual] { visual(); });

    // warm: each once
    logic.OndtChange(folder);
    logic.fl.clear();
    int rows = 0;
    searchToFinish(logic, QString(), tree, &rows);

    // the peer of the listing: the same look-ups alone
    PRecord rec;
    const QStringList names = ExplorerLogic::folderFiles(folder);
    auto t = Clock::now();
    int knownCount = 0;
    for (const QString& n : names) knownCount += sql.damecancion(2, rec, folder + QLatin1Char('/') + n);
    const double lookups = ms(t);

    visual.calls = 0;
    t = Clock::now();
    logic.OndtChange(folder);
    const double L = ms(t);
    const int listSteps = visual.calls;
    int known = 0;
    for (int r = 1; r < grid.rowCount(); ++r) known += grid.cell(gridcol::id, r) != QLatin1String("0");

    int found = 0, foundAll = 0, bare = 0, bareAll = 0;
    const double S = searchToFinish(logic, QStringLiteral("QUASAR"), tree, &found);
    const double T = searchToFinish(logic, QString(), tree, &foundAll);
    const double walk = bareWalk(tree, QStringLiteral("quasar"), &bare);
    const double walkAll = bareWalk(tree, QString(), &bareAll);

    std::printf("listing: %d files, %d known, %d visual steps; %.1f ms (look-ups alone: %.1f ms, %d known; ratio %.2f)\n",
                int(names.size()), known, listSteps, L, lookups, knownCount, L / lookups);
    std::printf("search \"quasar\": %d rows in %.1f ms (bare walk: %d names in %.1f ms; ratio %.2f)\n", found, S, bare,
                walk, S / walk);
    std::printf("search all: %d rows in %.1f ms (bare walk: %d names in %.1f ms; ratio %.2f)\n", foundAll, T, bareAll,
                walkAll, T / walkAll);
    std::printf("explorer list ms: %.0f, search ms: %.0f, search all ms: %.0f\n", L, S, T);
    return 0;
}
