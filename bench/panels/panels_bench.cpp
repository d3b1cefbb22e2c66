// The panels' logic on a large library: 100,000 tracks in 200 groups, the largest holding
// 10,000. It lists the largest group into a plain row list, searches the Groups panel for
// a word in 1,000 tracks and one in 10,000, adds 10,000 small tagged mp3 files through
// "Add from Dir", and times the automatic history's insert into a CURRENT playlist of
// 2,000 entries. The visual step is a stand-in that costs 1 ms a call. Each figure is
// printed beside a peer measured in the same run: the same rows read by one bare SQLite
// statement, the same files added by the tag step and one transaction on one thread, the
// same history insert without the panel (database only).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

#include <sqlite3.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "engine/precord.h"
#include "library/folderscan.h"
#include "library/groupslogic.h"
#include "library/panels/quorpanelgrid.h"
#include "library/playlistslogic.h"
#include "library/songrowlist.h"
#include "library/songtags.h"
#include "library/taudioinfo.h"
#include "library/tmsql.h"
#include "tests/library/mp3fixture.h"

namespace {
using Clock = std::chrono::steady_clock;
double ms(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

const char* const kWords[] = {"night", "love", "dance", "deep", "groove", "sun", "city", "dream", "fire",
                              "heart", "rain", "light", "soul", "funk", "house", "trance", "river", "stone",
                              "echo", "wave", "gold", "moon", "storm", "sky", "rhythm", "blue", "red", "wild",
                              "time", "space"};

// three frames of silence and an ID3v1 tag
QByteArray mp3File(const QByteArray& title, const QByteArray& artist)
{
    return mp3::frames(3) + mp3::id3v1(title, artist);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double percentile95(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(double(v.size()) * 0.95))];
}

// the stand-in for the decks' visual step: 1 ms of work a call
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

QStringList row(const QString& path)
{
    QStringList r = songgridrow::blank();
    r[gridcol::path] = path;
    r[gridcol::artist] = QStringLiteral("Loaded");
    r[gridcol::title] = path;
    r[gridcol::bpm] = QStringLiteral("120.000");
    return r;
}

// the same rows as the panel's listing, read by one bare statement into strings
double bareListing(sqlite3* db, double root, size_t* rows)
{
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM songs where Tipo = 0 AND rootid = ? ORDER BY ARTISTA", -1, &st, nullptr);
    const auto t = Clock::now();
    sqlite3_bind_double(st, 1, root);
    std::vector<QStringList> out;
    while (sqlite3_step(st) == SQLITE_ROW) {
        QStringList r;
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            r << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
        out.push_back(std::move(r));
    }
    const double took = ms(t);
    sqlite3_finalize(st);
    *rows = out.size();
    return took;
}
}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    std::mt19937 rng(5);
    auto word = [&] { return QString::fromLatin1(kWords[rng() % std::size(kWords)]); };
    Tmsql sql(dir.filePath(QStringLiteral("korvanta.db")));

    // 200 groups: the first holds 10,000 tracks, the others share 90,000; "quasar" is in
    // 1,000 titles, "nebula" in 10,000
    std::vector<double> groupIds;
    for (int g = 0; g < 200; ++g) groupIds.push_back(sql.altadegrupo(0, QStringLiteral("Group %1").arg(g), true, 0));
    {
        sql.beginBatch();
        const QString insert = QStringLiteral(
            "INSERT INTO songs (ID, GRUPO, PARENTID, ROOTID, FICHERO, TIPO, BPM, FILENAME, ARTISTA, CANCION, orden, "
            "CUE1, BASS, TREBLE, MID, GAIN, album) VALUES (?,?,?,?,?,0,?,?,?,?,0,0,10,10,10,10,'0')");
        for (int i = 0; i < 100000; ++i) {
            const double g = i < 10000 ? groupIds[0] : groupIds[size_t(1 + i % 199)];
            QString title = word() + QLatin1Char(' ') + word() + QStringLiteral(" %1").arg(i);
            if (i % 100 == 7) title += QStringLiteral(" quasar");
            if (i % 10 == 3) title += QStringLiteral(" nebula");
            const QString path = QStringLiteral("/music/%1/%2.mp3").arg(i % 997).arg(i);
            sql.db().ExecSQL(insert, {double(i + 1), g, g, g, path, QStringLiteral("%1.000").arg(90 + i % 60),
                                      QStringLiteral("%1.mp3").arg(i), QStringLiteral("Artist %1").arg(i % 3000),
                                      title});
        }
        sql.endBatch();
    }
    Tmsql sqlNew(dir.filePath(QStringLiteral("korvanta.db")));  // counters past the rows just written

    VisualStandIn visual;
    SongRowList grid(songgridrow::headers(songgridrow::Kind::Groups));
    GroupsLogic groups(sqlNew, grid);
    groups.setVisualStep([&visual] { visual(); });
    groups.init();

    // the largest group into the grid
    std::vector<double> list, peerList;
    size_t listed = 0, peerRows = 0;
    int visualCalls = 0;
    for (int k = 0; k < 5; ++k) {
        groups.nodeClicked(1);  // another group first: the largest is listed from scratch
        const int before = visual.calls;
        const auto t = Clock::now();
        groups.nodeClicked(groupIds[0]);
        list.push_back(ms(t));
        visualCalls = visual.calls - before;
        listed = size_t(grid.rowCount() - 1);
        peerList.push_back(bareListing(sqlNew.db().handle(), groupIds[0], &peerRows));
    }

    // the same listing into the kit's grid on screen, painted once
    std::vector<double> kitList;
    {
        TquorGrid kitGrid;
        kitGrid.init(nullptr);
        kitGrid.resize(1000, 600);
        kitGrid.show();
        QuorPanelGrid kitView(&kitGrid);
        GroupsLogic onScreen(sqlNew, kitView);
        onScreen.setVisualStep([&visual] { visual(); });
        onScreen.init();
        for (int k = 0; k < 5; ++k) {
            onScreen.nodeClicked(1);
            QCoreApplication::processEvents();
            const auto t = Clock::now();
            onScreen.nodeClicked(groupIds[0]);
            kitGrid.viewport()->repaint();
            kitList.push_back(ms(t));
        }
    }

    // the searches
    std::vector<double> s1k, s10k;
    size_t found1k = 0, found10k = 0;
    for (int k = 0; k < 5; ++k) {
        auto t = Clock::now();
        groups.search(QStringLiteral("quasar"));
        s1k.push_back(ms(t));
        found1k = size_t(grid.rowCount() - 1);
        t = Clock::now();
        groups.search(QStringLiteral("nebula"));
        s10k.push_back(ms(t));
        found10k = size_t(grid.rowCount() - 1);
    }

    // 10,000 files through "Add from Dir", and the peer: tag step and one transaction on one thread
    const QString folder = dir.filePath(QStringLiteral("add"));
    const QString peerFolder = dir.filePath(QStringLiteral("peer"));
    for (const QString& f : {folder, peerFolder}) {
        for (int i = 0; i < 10000; ++i) {
            const QString p = QStringLiteral("%1/cd%2/%3.mp3").arg(f).arg(i / 500).arg(i, 5, 10, QLatin1Char('0'));
            QDir().mkpath(QFileInfo(p).path());
            QFile out(p);
            if (!out.open(QIODevice::WriteOnly)) return 1;
            out.write(mp3File((word() + QLatin1Char(' ') + word()).toLatin1(), QByteArray("Band ") + QByteArray::number(i % 50)));
        }
    }
    const double addGroup = sqlNew.altadegrupo(0, QStringLiteral("Added"), true, 0);
    groups.buildTree();
    groups.nodeClicked(addGroup);
    bool done = false;
    TrackAdder::Outcome outcome;
    groups.adding.finished = [&](const TrackAdder::Outcome& o) {
        outcome = o;
        done = true;
    };
    const auto tAdd = Clock::now();
    groups.addFromDir(folder);
    QDeadlineTimer deadline(600000);
    while (!done && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double addSeconds = ms(tAdd) / 1000;
    double peerAddSeconds = 0;
    {
        const double peerGroup = sqlNew.altadegrupo(0, QStringLiteral("Peer"), true, 0);
        const auto t = Clock::now();
        TAudioInfo info;
        sqlNew.beginBatch();
        for (const QString& f : FolderScan::files(peerFolder)) {
            Ttagsong tags;
            if (songtags::tagStep(f, false, tags, info)) sqlNew.altadecancion(0, tags, peerGroup, peerGroup);
        }
        sqlNew.endBatch();
        peerAddSeconds = ms(t) / 1000;
    }

    // the automatic history into a listed CURRENT playlist of 2,000 entries
    SongRowList playGrid(songgridrow::headers(songgridrow::Kind::Playlists));
    PlaylistsLogic play(sqlNew, playGrid);
    play.setVisualStep([&visual] { visual(); });
    play.init();
    const double current = play.mygcurrent;
    const double peerList2 = sqlNew.altadegrupo(1, QStringLiteral("Peer"), true, 0);
    sqlNew.beginBatch();
    for (int i = 0; i < 2000; ++i) {
        sqlNew.altadesg(row(QStringLiteral("/history/%1.mp3").arg(i)), 1, i + 1, current, current);
        sqlNew.altadesg(row(QStringLiteral("/history/%1.mp3").arg(i)), 1, i + 1, peerList2, peerList2);
    }
    sqlNew.endBatch();
    play.listSelected();
    std::vector<double> history, peerHistory;
    for (int i = 0; i < 200; ++i) {
        const QStringList r = row(QStringLiteral("/loaded/%1.mp3").arg(i));
        auto t = Clock::now();
        play.altadeplaylist(1 + i % 2, r);
        history.push_back(ms(t));
        t = Clock::now();
        sqlNew.altaencurrent(r, peerList2);
        peerHistory.push_back(ms(t));
    }

    const double L = median(list), S = median(s1k), T = median(s10k), H = percentile95(history);
    std::printf("list the largest group (%zu rows, %d visual steps of 1 ms): %.1f ms (bare statement %.1f ms, %zu rows; "
                "ratio %.2f)\n",
                listed, visualCalls, L, median(peerList), peerRows, L / std::max(median(peerList), 1e-9));
    std::printf("list the largest group into the kit's grid on screen, painted: %.1f ms (ratio to the plain list %.2f)\n",
                median(kitList), median(kitList) / std::max(L, 1e-9));
    std::printf("search for a word in %zu tracks: %.1f ms; in %zu tracks: %.1f ms (ratio to the list %.2f)\n", found1k,
                S, found10k, T, T / std::max(L, 1e-9));
    std::printf("add from dir %d of 10000 files: %.3f s, %lld not added (tag step and one transaction on one thread "
                "%.3f s; ratio %.2f)\n",
                outcome.added, addSeconds, (long long)outcome.notAdded.size(), peerAddSeconds,
                addSeconds / std::max(peerAddSeconds, 1e-9));
    std::printf("history insert into CURRENT of %d entries, 200 inserts: p95 %.2f ms (database only %.2f ms; ratio %.2f)\n",
                2000, H, percentile95(peerHistory), H / std::max(percentile95(peerHistory), 1e-9));
    std::printf("panels list ms: %.1f, search ms: %.1f, search 10k ms: %.1f, add 10000 s: %.2f, history ms: %.2f\n", L,
                S, T, addSeconds, H);
    return 0;
}
