#include "tests/e2e/librarycheck.h"

#include <sqlite3.h>

namespace e2e {

namespace {

struct Db {
    explicit Db(const QString& path)
    {
        if (sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            sqlite3_close(h);
            h = nullptr;
        }
    }
    ~Db() { sqlite3_close(h); }
    // every row of the query's columns, joined by '|'
    QStringList rows(const char* sql, const QString& param = QString()) const
    {
        QStringList out;
        sqlite3_stmt* st = nullptr;
        if (!h || sqlite3_prepare_v2(h, sql, -1, &st, nullptr) != SQLITE_OK) return out;
        const QByteArray p = param.toUtf8();
        if (!param.isNull()) sqlite3_bind_text(st, 1, p.constData(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList cols;
            for (int c = 0; c < sqlite3_column_count(st); ++c)
                cols << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
            out << cols.join(QLatin1Char('|'));
        }
        sqlite3_finalize(st);
        return out;
    }
    sqlite3* h = nullptr;
};

}  // namespace

QString integrityCheck(const QString& db)
{
    Db d(db);
    if (!d.h) return QStringLiteral("cannot open ") + db;
    const QStringList r = d.rows("PRAGMA integrity_check");
    return r.isEmpty() ? QStringLiteral("no answer") : r.first();
}

QStringList currentPlaylist(const QString& db)
{
    Db d(db);
    const QStringList first = d.rows("SELECT id FROM grupos WHERE tipo = 1 ORDER BY MYID LIMIT 1");
    if (first.isEmpty()) return {};
    return d.rows("SELECT fichero FROM songs WHERE tipo = 1 AND grupo = CAST(?1 AS REAL) ORDER BY orden", first.first());
}

std::optional<double> storedBpm(const QString& db, const QString& file)
{
    Db d(db);
    for (const QString& v : d.rows("SELECT BPM FROM songs WHERE fichero = ?1", file)) {
        bool ok = false;
        const double bpm = v.trimmed().toDouble(&ok);
        if (ok && bpm > 0) return bpm;
    }
    return std::nullopt;
}

QStringList groupEntries(const QString& db)
{
    Db d(db);
    return d.rows("SELECT artista, cancion, fichero FROM songs WHERE tipo = 0 ORDER BY fichero");
}

}  // namespace e2e
