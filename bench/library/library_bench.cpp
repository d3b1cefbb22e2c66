// Library speed: reading an mp3 whose ID3v2 tag is 255 MB of empty frames, adding 10,000
// tagged mp3 files to one group, then searching artist and title over 100,000 rows. Each
// figure is printed with a peer measured in the same run: the tag's file read whole, the
// same inserts in one bare transaction, the same search as one bare SQLite statement.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include <sqlite3.h>

#include <QFile>
#include <QTemporaryDir>

#include "library/songtags.h"
#include "library/taudioinfo.h"
#include "library/tmsql.h"
#include "tests/library/mp3fixture.h"

namespace {
using Clock = std::chrono::steady_clock;
double since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

const char* const kWords[] = {"night", "love", "dance", "deep", "groove", "sun", "city", "dream", "fire",
                              "heart", "rain", "light", "soul", "funk", "house", "trance", "river", "stone",
                              "echo", "wave", "gold", "moon", "storm", "sky", "rhythm", "blue", "red", "wild",
                              "time", "space"};
constexpr int kWordCount = int(sizeof kWords / sizeof kWords[0]);

// three frames of silence and an ID3v1 tag
QByteArray mp3File(const QByteArray& title, const QByteArray& artist)
{
    return mp3::frames(3) + mp3::id3v1(title, artist);
}

// resident memory of this process, MB: now, and the peak since the last resetPeak()
double statusMb(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(int(std::strlen(key))).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}
void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}

struct TagFigures {
    double seconds = 0, peakMb = 0, peerSeconds = 0, peerPeakMb = 0;
};

// an mp3 whose ID3v2 tag is 255 MB of frame headers with no data
TagFigures emptyFrameTag(const QString& path)
{
    const uint32_t size = 255000000;
    {
        QByteArray head = QByteArray("ID3\x03\x00\x00", 6);
        for (int shift : {21, 14, 7, 0}) head.append(char((size >> shift) & 0x7F));
        QByteArray block(1000000, Qt::Uninitialized);  // whole frames
        for (qsizetype i = 0; i < block.size(); i += 10) std::memcpy(block.data() + i, "TIT2\0\0\0\0\0\0", 10);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return {};
        f.write(head);
        for (uint32_t left = size; left > 0;) {
            const uint32_t n = std::min<uint32_t>(left, uint32_t(block.size()));
            f.write(block.constData(), n);
            left -= n;
        }
        f.write(mp3File("x", "y"));
    }
    TagFigures r;
    {
        const double before = statusMb("VmRSS:");
        resetPeak();
        const auto t = Clock::now();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const QByteArray all = f.readAll();
        r.peerSeconds = since(t);
        r.peerPeakMb = statusMb("VmHWM:") - before;
    }
    {
        const double before = statusMb("VmRSS:");
        resetPeak();
        const auto t = Clock::now();
        TAudioInfo info;
        info.LoadFromFile(path);
        r.seconds = since(t);
        r.peakMb = statusMb("VmHWM:") - before;
        if (info.fID3v2.GetSize() != int64_t(size) + 10) std::printf("the tag was not read whole\n");
    }
    QFile::remove(path);
    return r;
}

double percentile95(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(double(v.size()) * 0.95))];
}
}  // namespace

int main()
{
    QTemporaryDir dir;
    const TagFigures tag = emptyFrameTag(dir.filePath(QStringLiteral("emptyframes.mp3")));
    std::mt19937 rng(7);
    auto word = [&] { return QByteArray(kWords[rng() % kWordCount]); };

    // the files
    std::vector<QString> files;
    for (int i = 0; i < 10000; ++i) {
        const QString p = dir.filePath(QStringLiteral("f%1.mp3").arg(i));
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly)) return 1;
        f.write(mp3File(word() + ' ' + word() + ' ' + QByteArray::number(i), "Artist " + QByteArray::number(i % 1000)));
        files.push_back(p);
    }

    Tmsql sql(dir.filePath("korvanta.db"));
    const double group = sql.altadegrupo(0, QStringLiteral("Bench"), true, 0);
    TAudioInfo info;
    std::vector<Ttagsong> tags(files.size());
    const auto t0 = Clock::now();
    for (size_t i = 0; i < files.size(); ++i) songtags::tagStep(files[i], false, tags[i], info);
    const double tagSeconds = since(t0);
    const auto t1 = Clock::now();
    sql.beginBatch();
    for (size_t i = 0; i < tags.size(); ++i) {
        sql.altadecancion(0, tags[i], group, group);
        if (i % 250 == 249) sql.commitBatch();
    }
    sql.endBatch();
    const double addSeconds = since(t1);
    // the same, one commit per track
    const double other = sql.altadegrupo(0, QStringLiteral("One by one"), true, 0);
    const auto t2 = Clock::now();
    for (const Ttagsong& t : tags) sql.altadecancion(0, t, other, other);
    const double singleSeconds = since(t2);
    sql.vaciagrupo(0, QString::number(other), true);

    // peer: the same rows through one bare transaction
    double peerAdd = 0;
    {
        sqlite3* db = nullptr;
        sqlite3_open(dir.filePath("peer.db").toUtf8().constData(), &db);
        sqlite3_exec(db, "CREATE TABLE songs (id FLOAT, grupo FLOAT, fichero VARCHAR, artista VARCHAR, cancion VARCHAR)",
                     nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO songs VALUES (?,?,?,?,?)", -1, &st, nullptr);
        const auto t = Clock::now();
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        int id = 0;
        for (const Ttagsong& s : tags) {
            const QByteArray f = s.alfichero.toUtf8(), a = s.Artist.toUtf8(), c = s.Title.toUtf8();
            sqlite3_bind_double(st, 1, ++id);
            sqlite3_bind_double(st, 2, group);
            sqlite3_bind_text(st, 3, f.constData(), int(f.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 4, a.constData(), int(a.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 5, c.constData(), int(c.size()), SQLITE_TRANSIENT);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        peerAdd = since(t);
        sqlite3_finalize(st);
        sqlite3_close(db);
    }

    // up to 100,000 rows
    sql.db().BeginTransaction();
    for (int i = 10000; i < 100000; ++i) {  // 100,000 rows with the first 10,000
        Ttagsong t;
        t.alfichero = QStringLiteral("/music/%1.mp3").arg(i);
        t.Artist = QStringLiteral("Artist %1").arg(i % 1000);
        t.Title = QString::fromLatin1(word() + ' ' + word() + ' ' + QByteArray::number(i));
        t.Bpm = QStringLiteral("000,000");
        sql.altadecancion(0, t, group, group);
    }
    sql.db().Commit();

    std::vector<QString> queries;
    for (int i = 0; i < 100; ++i) queries.push_back(QString::fromLatin1(word() + ' ' + word()));
    for (int i = 0; i < 100; ++i) queries.push_back(QStringLiteral("artist %1").arg(rng() % 1000));
    std::vector<double> ours, peer;
    size_t found = 0;
    sqlite3* raw = sql.db().handle();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(raw,
                       "SELECT * FROM songs WHERE (tipo = 0) and (artista LIKE ?1 or cancion LIKE ?1 or bpm LIKE ?1)",
                       -1, &st, nullptr);
    for (const QString& q : queries) {
        const auto a = Clock::now();
        auto t = sql.buscacanciones(q);
        ours.push_back(since(a) * 1000.0);
        found += size_t(t->GetCount());
        const QByteArray pat = ('%' + q + '%').toUtf8();
        const auto b = Clock::now();
        sqlite3_bind_text(st, 1, pat.constData(), int(pat.size()), SQLITE_TRANSIENT);
        while (sqlite3_step(st) == SQLITE_ROW) {
        }
        sqlite3_reset(st);
        peer.push_back(since(b) * 1000.0);
    }
    sqlite3_finalize(st);

    const double p95 = percentile95(ours), peerP95 = percentile95(peer);
    std::printf("id3v2 tag of 255 MB of empty frames: load %.3f s, peak memory +%.0f MB (file read whole %.3f s, "
                "+%.0f MB; ratio %.2f)\n",
                tag.seconds, tag.peakMb, tag.peerSeconds, tag.peerPeakMb, tag.seconds / std::max(tag.peerSeconds, 1e-9));
    std::printf("tag step of 10000 files: %.3f s\n", tagSeconds);
    std::printf("database add 10000 in batches of 250: %.3f s (bare single transaction %.3f s, ratio %.1f)\n",
                addSeconds, peerAdd, addSeconds / std::max(peerAdd, 1e-9));
    std::printf("database add 10000 one commit each: %.3f s\n", singleSeconds);
    std::printf("search over %lld rows, %zu searches, %zu rows found: p95 %.2f ms (bare statement %.2f ms, ratio %.2f)\n",
                sql.db().GetTableValue(QStringLiteral("SELECT count(*) FROM songs")), queries.size(), found, p95,
                peerP95, p95 / std::max(peerP95, 1e-9));
    std::printf("library add 10000: %.3f s, search p95: %.2f ms, id3v2 255 MB load s: %.3f, peak MB: %.0f\n",
                addSeconds, p95, tag.seconds, tag.peakMb);
    return 0;
}
