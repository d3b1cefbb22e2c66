#include "library/tmsql.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <QLocale>

#include "engine/microsf.h"
#include "engine/ostrelli.h"
#include "engine/precord.h"
#include "library/librarylog.h"
#include "library/songgridrow.h"
#include "library/sqliteexception.h"
#include "library/walcheckpointer.h"
#include "library/writetransaction.h"

namespace {
const QString kCreateSongs = QStringLiteral(
    "CREATE TABLE songs ([MYID] INTEGER PRIMARY KEY,[Tipo] INTEGER ,"
    "[id] FLOAT, [grupo] FLOAT, [parentid] FLOAT, [rootid] FLOAT, [orden] INTEGER,"
    "[fichero] VARCHAR (512),[BPM] VARCHAR (7), [filename] VARCHAR (512) COLLATE NOCASE, [artista] VARCHAR (255) "
    "COLLATE NOCASE, [cancion] VARCHAR (255) COLLATE NOCASE,"
    "[genero] VARCHAR (25), [album] VARCHAR (100),"
    "[cue0] FLOAT,[cue1] FLOAT,[cue2] FLOAT,[cue3] FLOAT,"
    "[cue4] FLOAT,[cue5] FLOAT,[cue6] FLOAT,[cue7] FLOAT,"
    "[cue8] FLOAT,[cue9] FLOAT,[cue10] FLOAT,[cue11] FLOAT,"
    "[bass] FLOAT,[treble] FLOAT,[mid] FLOAT,[gain] FLOAT,"
    "[veces] FLOAT,[timage] INTEGER,[picture] BLOB COLLATE NOCASE);");
const QString kIndexSongs = QStringLiteral("CREATE INDEX songsfichero ON [songs]([fichero]);");
const QString kCreateGrupos = QStringLiteral(
    "CREATE TABLE grupos ([MYID] INTEGER PRIMARY KEY,[Tipo] INTEGER ,"
    "[id] FLOAT, [grupo] VARCHAR(30), [parentid] FLOAT, [current] INTEGER, [rootid] FLOAT, [orden] INTEGER,"
    "[descripcio] VARCHAR (30));");
const QString kIndexGrupos = QStringLiteral("CREATE INDEX grupostipo ON [grupos]([tipo]);");

const QString kInsertSong = QStringLiteral(
    "INSERT INTO songs (ID, GRUPO, PARENTID, ROOTID, FICHERO, TIPO, BPM, FILENAME, ARTISTA, CANCION, "
    "CUE1,CUE2,CUE3,CUE4,CUE5,CUE6,CUE7,CUE8,CUE9,CUE0,CUE10,CUE11,BASS,TREBLE,MID,GAIN,orden) VALUES "
    "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?);");
const QString kShiftDown = QStringLiteral("Update songs Set orden= orden + 1  Where tipo = 1 and orden >= ? and  grupo = ?");

// A value of a grid cell for a numeric column: a number (C locale, a decimal comma also
// taken), NULL for an empty cell, otherwise the text itself.
QVariant gridNumber(const QString& cell)
{
    const QString t = cell.trimmed();
    if (t.isEmpty()) return QVariant();
    bool ok = false;
    double v = QLocale::c().toDouble(t, &ok);
    if (!ok) v = QLocale::c().toDouble(QString(t).replace(QLatin1Char(','), QLatin1Char('.')), &ok);
    if (ok && std::isfinite(v)) return v;
    return cell;
}

// The id text a caller passes: a number, or nothing.
bool idNumber(const QString& text, double* v)
{
    bool ok = false;
    *v = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(*v);
}

QString fileNamePart(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}


}  // namespace

Tmsql::Tmsql() : Tmsql(GetUserProfile() + QStringLiteral("korvanta.db")) {}

Tmsql::Tmsql(const QString& dbPath) : slDBpath(dbPath)
{
    open();
}

Tmsql::~Tmsql()
{
    checkpointer_.reset();  // before its connection closes
}

bool Tmsql::tryExec(const QString& sql, const QVariantList& binds)
{
    try {
        sldb->ExecSQL(sql, binds);
        return true;
    } catch (const ESQLiteException& e) {
        logError("statement dropped", e.message());
        return false;
    }
}

void Tmsql::open()
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    sldb = std::make_unique<TSQLiteDatabase>(slDBpath);
    sldb->SetTimeout(kBusyTimeoutMs);
    // A commit reaches the log before the call returns: a killed process loses nothing
    // it committed, and a commit costs no sync of the whole file.
    try {
        const QString mode = sldb->GetTableString(QStringLiteral("PRAGMA journal_mode=WAL"));
        sldb->ExecSQL(QStringLiteral("PRAGMA synchronous=NORMAL"));
        if (mode.compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0)
            checkpointer_ = std::make_unique<WalCheckpointer>(sldb->handle(), slDBpath);
    } catch (const ESQLiteException& e) {
        logError("journal", e.message());
    }

    // A file set up already needs no write: a start waits on the write lock (another copy
    // adding tracks, say) only when it has something to create. Two copies opening a new
    // file at once create it once, in one transaction.
    if (!schemaReady()) try {
        WriteTransaction tx(*sldb);
        if (!sldb->TableExists(QStringLiteral("songs"))) {
            tryExec(kCreateSongs);
            sldb->ExecSQL(kIndexSongs);
        }
        if (!sldb->TableExists(QStringLiteral("grupos"))) {
            tryExec(kCreateGrupos);
            sldb->ExecSQL(kIndexGrupos);
        }
        // the next id is read at every insert; playlists and groups are read by grupo and rootid
        for (const char* index : {"CREATE INDEX IF NOT EXISTS songsid ON songs(id)",
                                  "CREATE INDEX IF NOT EXISTS songsgrupo ON songs(grupo)",
                                  "CREATE INDEX IF NOT EXISTS songsrootid ON songs(rootid)"})
            tryExec(QLatin1String(index));

        const QString seed = QStringLiteral(
            "INSERT INTO grupos(Tipo, id, parentid, rootid, orden, current, descripcio, grupo) VALUES (?,?,?,?,?,?,?,?)");
        if (sldb->GetTable(QStringLiteral("SELECT id FROM grupos WHERE tipo = 0 LIMIT 1"))->GetCount() == 0) {
            const double n = nextGroupId();
            tryExec(seed, {0, n, 0.0, n, qint64(n), 0, QStringLiteral("Group"), QStringLiteral("Group")});
        }
        if (sldb->GetTable(QStringLiteral("SELECT id FROM grupos WHERE tipo = 1 LIMIT 1"))->GetCount() == 0) {
            const double n = nextGroupId();
            tryExec(seed, {1, n, 0.0, n, qint64(n), 0, QStringLiteral("Playlist"), QStringLiteral("Playlist")});
        }
        tx.commit();
    } catch (const ESQLiteException& e) {
        if (!sldb->TableExists(QStringLiteral("songs")) || !sldb->TableExists(QStringLiteral("grupos"))) throw;
        logError("set-up", e.message());
    }
    openSearchIndex();

    startConfig();

    grupoid = std::max(grupoid, sldb->GetTable(QStringLiteral("SELECT max(id) FROM grupos"))->FieldAsDouble(0));
    songid = sldb->GetTable(QStringLiteral("SELECT max(id) FROM songs"))->FieldAsDouble(0);
    // the play counts start at 0: only the rows that hold another count are written
    tryExec(QStringLiteral("UPDATE songs SET album = ?1 WHERE album IS NOT ?1"), {QStringLiteral("0")});
}

bool Tmsql::schemaReady()
{
    return sldb->TableExists(QStringLiteral("songs")) && sldb->TableExists(QStringLiteral("grupos")) &&
           sldb->GetTableValue(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name IN "
                                              "('songsid', 'songsgrupo', 'songsrootid')")) == 3 &&
           sldb->GetTable(QStringLiteral("SELECT id FROM grupos WHERE tipo = 0 LIMIT 1"))->GetCount() > 0 &&
           sldb->GetTable(QStringLiteral("SELECT id FROM grupos WHERE tipo = 1 LIMIT 1"))->GetCount() > 0;
}

double Tmsql::nextSongId()
{
    songid = std::max(songid, sldb->GetTable(QStringLiteral("SELECT max(id) FROM songs"))->FieldAsDouble(0)) + 1;
    return songid;
}

double Tmsql::nextGroupId()
{
    grupoid = std::max(grupoid, sldb->GetTable(QStringLiteral("SELECT max(id) FROM grupos"))->FieldAsDouble(0)) + 1;
    return grupoid;
}

// The searches look for the user's text anywhere in artist, title or BPM. A trigram index
// of those three columns, kept by triggers, narrows the rows the LIKE test has to read.
void Tmsql::openSearchIndex()
{
    auto complete = [this] {
        return sldb->GetTableValue(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name IN "
                                                  "('songsearch', 'songsearch_ai', 'songsearch_ad', 'songsearch_au')")) == 4;
    };
    try {
        if (complete()) {
            searchIndex_ = true;
            return;
        }
        WriteTransaction tx(*sldb);
        const bool had = sldb->TableExists(QStringLiteral("songsearch"));
        sldb->ExecSQL(QStringLiteral(
            "CREATE VIRTUAL TABLE IF NOT EXISTS songsearch USING fts5(artista, cancion, bpm, content='songs', "
            "content_rowid='MYID', tokenize='trigram')"));
        sldb->ExecSQL(QStringLiteral(
            "CREATE TRIGGER IF NOT EXISTS songsearch_ai AFTER INSERT ON songs BEGIN "
            "INSERT INTO songsearch(rowid, artista, cancion, bpm) VALUES (new.MYID, new.artista, new.cancion, new.bpm); "
            "END"));
        sldb->ExecSQL(QStringLiteral(
            "CREATE TRIGGER IF NOT EXISTS songsearch_ad AFTER DELETE ON songs BEGIN "
            "INSERT INTO songsearch(songsearch, rowid, artista, cancion, bpm) "
            "VALUES ('delete', old.MYID, old.artista, old.cancion, old.bpm); END"));
        sldb->ExecSQL(QStringLiteral(
            "CREATE TRIGGER IF NOT EXISTS songsearch_au AFTER UPDATE OF artista, cancion, bpm ON songs BEGIN "
            "INSERT INTO songsearch(songsearch, rowid, artista, cancion, bpm) "
            "VALUES ('delete', old.MYID, old.artista, old.cancion, old.bpm); "
            "INSERT INTO songsearch(rowid, artista, cancion, bpm) VALUES (new.MYID, new.artista, new.cancion, new.bpm); "
            "END"));
        if (!had) sldb->ExecSQL(QStringLiteral("INSERT INTO songsearch(songsearch) VALUES ('rebuild')"));
        tx.commit();
        searchIndex_ = true;
    } catch (const ESQLiteException& e) {
        logError("search index", e.message());
        searchIndex_ = false;
    }
}

void Tmsql::beginBatch()
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    if (sldb->InTransaction()) return;
    try {
        sldb->BeginWriteTransaction();
    } catch (const ESQLiteException& e) {
        // the statements then run one by one, each in its own transaction
        logError("batch", e.message());
    }
}

bool Tmsql::commitBatch()
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    const bool ok = endBatch();
    beginBatch();
    return ok;
}

bool Tmsql::endBatch()
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    if (!sldb->InTransaction()) return true;
    try {
        sldb->Commit();
        return true;
    } catch (const ESQLiteException& e) {
        logError("batch", e.message());
        try {
            sldb->Rollback();
        } catch (const ESQLiteException& r) {
            logError("batch rollback", r.message());
        }
        return false;
    }
}

double Tmsql::altadegrupo(int tipo, const QString& Egrupo, bool alta, double id)
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    if (!alta) {
        tryExec(QStringLiteral("UPDATE grupos SET descripcio = ?, grupo = ? WHERE ID = ?"), {Egrupo, Egrupo, id});
        return id;
    }
    try {
        WriteTransaction tx(*sldb);
        const double n = nextGroupId();
        if (!tryExec(QStringLiteral("INSERT INTO grupos(Tipo, id, grupo, orden, descripcio, parentid, rootid, current) "
                                    "VALUES (?,?,?,?,?,?,?,?);"),
                     {tipo, n, Egrupo, qint64(n), Egrupo, 0.0, n, 1}))
            return 0;
        return tx.commit() ? n : 0;
    } catch (const ESQLiteException& e) {
        logError("altadegrupo", e.message());
        return 0;
    }
}

double Tmsql::altadesubgrupo(int tipo, const QString& Egrupo, bool alta, double id)
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    if (!alta) return altadegrupo(tipo, Egrupo, false, id);
    try {
        WriteTransaction tx(*sldb);
        const double n = nextGroupId();
        if (!tryExec(QStringLiteral(
                         "INSERT INTO grupos(Tipo, id, grupo, orden, descripcio, parentid, rootid) VALUES (?,?,?,?,?,?,?);"),
                     {tipo, n, Egrupo, qint64(n), Egrupo, id, id}))
            return 0;
        return tx.commit() ? n : 0;
    } catch (const ESQLiteException& e) {
        logError("altadesubgrupo", e.message());
        return 0;
    }
}

void Tmsql::vaciagrupo(int tipo, const QString& id, bool buscaroot)
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    double v = 0;
    if (!idNumber(id, &v)) {
        logError("vaciagrupo", QStringLiteral("not an id: ") + id);
        return;
    }
    tryExec(buscaroot ? QStringLiteral("delete FROM songs where Tipo = ? AND rootid = ?")
                      : QStringLiteral("delete FROM songs where Tipo = ? AND grupo = ?"),
            {tipo == 1 ? 1 : 0, v});
}

void Tmsql::borragrupo(int tipo, const QString& id, bool buscaroot)
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    double v = 0;
    if (!idNumber(id, &v)) {
        logError("borragrupo", QStringLiteral("not an id: ") + id);
        return;
    }
    try {
        WriteTransaction tx(*sldb);
        vaciagrupo(tipo, id, buscaroot);
        tryExec(QStringLiteral("delete FROM GRUPOS where Tipo = ? AND ID = ?"), {tipo == 1 ? 1 : 0, v});
        tx.commit();
    } catch (const ESQLiteException& e) {
        logError("borragrupo", e.message());
    }
}

bool Tmsql::pongocurrent(double myid)
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    try {
        WriteTransaction tx(*sldb);
        tryExec(QStringLiteral("UPDATE grupos SET current  = 1  WHERE tipo = 1"));
        tryExec(QStringLiteral("UPDATE grupos SET current  = 0  WHERE id = ?"), {myid});
        tx.commit();
    } catch (const ESQLiteException& e) {
        logError("pongocurrent", e.message());
    }
    return true;
}

void Tmsql::insertEntry(double n, const QStringList& row, int tipo, int orden, double r_id, double m_id)
{
    auto c = [&row](int i) { return row.value(i); };
    QVariantList v{n, r_id, m_id, m_id, c(gridcol::path), tipo, c(gridcol::bpm), c(gridcol::path),
                   c(gridcol::artist), c(gridcol::title)};
    for (int col = gridcol::cue1; col <= gridcol::cue0; ++col) v << gridNumber(c(col));
    v << gridNumber(c(gridcol::cue10)) << gridNumber(c(gridcol::cue11));
    for (int col = gridcol::bass; col <= gridcol::gain; ++col) v << gridNumber(c(col));
    v << orden;
    sldb->ExecSQL(kInsertSong, v);
}

bool Tmsql::altadesg(const QStringList& row, int tipo, int orden, double r_id, double m_id, double* newId)
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    try {
        WriteTransaction tx(*sldb);
        const double n = nextSongId();
        insertEntry(n, row, tipo, orden, r_id, m_id);
        if (!tx.commit()) return false;
        if (newId) *newId = n;
        return true;
    } catch (const ESQLiteException& e) {
        logError("altadesg", e.message());
        return false;
    }
}

bool Tmsql::altadesg2(const QStringList& row, int tipo, int orden, double r_id, double m_id, double* newId)
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    try {
        WriteTransaction tx(*sldb);
        const double n = nextSongId();
        sldb->ExecSQL(kShiftDown, {orden, r_id});
        insertEntry(n, row, tipo, orden, r_id, m_id);
        if (!tx.commit()) return false;
        if (newId) *newId = n;
        return true;
    } catch (const ESQLiteException& e) {
        logError("altadesg2", e.message());
        return false;
    }
}

double Tmsql::altadecancion(int tipo, const Ttagsong& mconfig, double r_id, double m_id)
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    try {
        WriteTransaction tx(*sldb);
        const double n = nextSongId();
        qint64 orden = mconfig.orden;
        if (tipo == 1 && orden == 1) sldb->ExecSQL(kShiftDown, {1, r_id});
        if (tipo == 1 && orden <= 0)
            orden = sldb->GetTableValue(QStringLiteral("SELECT max(orden) FROM songs WHERE tipo = 1 AND grupo = ?"),
                                        {r_id}) + 1;
        QVariantList v{n, r_id, m_id, m_id, mconfig.alfichero, tipo, mconfig.Bpm, fileNamePart(mconfig.alfichero),
                       mconfig.Artist, mconfig.Title};
        for (int i = 0; i < 12; ++i) v << 0.0;
        for (int i = 0; i < 4; ++i) v << 10.0;
        v << orden;
        sldb->ExecSQL(kInsertSong, v);
        return tx.commit() ? n : 0;
    } catch (const ESQLiteException& e) {
        logError("altadecancion", e.message());
        return 0;
    }
}

void Tmsql::modificacancion(const Ttagsong& mconfig)
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    double id = 0;
    if (!idNumber(mconfig.alfichero, &id)) {
        logError("modificacancion", QStringLiteral("not an id: ") + mconfig.alfichero);
        return;
    }
    tryExec(QStringLiteral("UPDATE songs SET bpm = ?, ARTISTA = ?, CANCION = ? WHERE ID = ?"),
            {mconfig.Bpm, mconfig.Artist, mconfig.Title, id});
}

void Tmsql::borracancion(int tipo, int orden, double grupo, const QString& id)
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    double v = 0;
    if (!idNumber(id, &v)) {
        logError("borracancion", QStringLiteral("not an id: ") + id);
        return;
    }
    try {
        WriteTransaction tx(*sldb);
        if (tipo == 1) {
            auto stored = sldb->GetTable(QStringLiteral("SELECT orden FROM songs WHERE tipo = 1 AND grupo = ? AND id = ?"),
                                         {grupo, v});
            const qint64 from = stored->GetCount() > 0 ? stored->FieldAsInteger(0) : orden;
            sldb->ExecSQL(QStringLiteral("Update songs Set orden= orden - 1 Where tipo = 1 and orden > ? and  grupo = ?"),
                          {from, grupo});
        }
        sldb->ExecSQL(QStringLiteral("delete from songs where id = ?"), {v});
        tx.commit();
    } catch (const ESQLiteException& e) {
        logError("borracancion", e.message());
    }
}

int Tmsql::muevecancion(int nume, int nume2, double m_id, double mfileid)
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    try {
        WriteTransaction tx(*sldb);
        auto stored = sldb->GetTable(QStringLiteral("SELECT orden FROM songs WHERE tipo = 1 AND grupo = ? AND id = ?"),
                                     {m_id, mfileid});
        if (stored->GetCount() == 0) {
            logError("muevecancion", QStringLiteral("no entry %1 at %2 in playlist %3")
                                         .arg(FloatText(mfileid)).arg(nume).arg(FloatText(m_id)));
            return 0;
        }
        const qint64 from = stored->FieldAsInteger(0);
        if (from == nume2) return 0;
        if (from > nume2)
            sldb->ExecSQL(QStringLiteral("Update songs Set orden= orden + 1  Where tipo = 1 and orden >= ? and orden <= ? "
                                         "and  grupo = ?"),
                          {nume2, from, m_id});
        else
            sldb->ExecSQL(QStringLiteral("Update songs Set orden= orden - 1  Where tipo = 1 and orden <= ? and orden >= ? "
                                         "and  grupo = ?"),
                          {nume2, from, m_id});
        sldb->ExecSQL(QStringLiteral("Update songs Set orden= ? Where tipo = 1 and id = ?"), {nume2, mfileid});
        return tx.commit() ? int(from) : 0;
    } catch (const ESQLiteException& e) {
        logError("muevecancion", e.message());
        return 0;
    }
}

std::unique_ptr<TSQLiteTable> Tmsql::dametabla(const QString& sqlstring, const QVariantList& binds)
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    return sldb->GetTable(sqlstring, binds);
}

std::unique_ptr<TSQLiteTable> Tmsql::search(int tipo, const QString& cadena)
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    // LIKE and the index's query text end at a U+0000; instr over lower() (ASCII letters,
    // as LIKE) compares every character
    if (cadena.contains(QChar(0)))
        return sldb->GetTable(QStringLiteral("SELECT * FROM songs  WHERE (tipo = ?1) and (instr(lower(artista), lower(?2)) "
                                             "or instr(lower(cancion), lower(?2)) or instr(lower(bpm), lower(?2)))"),
                              {tipo, cadena});
    QString esc;
    esc.reserve(cadena.size() + 8);
    for (QChar ch : cadena) {
        if (ch == QLatin1Char('\\') || ch == QLatin1Char('%') || ch == QLatin1Char('_')) esc += QLatin1Char('\\');
        esc += ch;
    }
    const QString p = QLatin1Char('%') + esc + QLatin1Char('%');
    const QString like = QStringLiteral("SELECT * FROM songs  WHERE (tipo = ?) and ((artista) LIKE ? ESCAPE '\\' or  "
                                        "(cancion) LIKE ? ESCAPE '\\' or  (bpm) LIKE ? ESCAPE '\\')");
    // trigrams need three characters; the index only narrows, LIKE decides
    if (!searchIndex_ || cadena.toUcs4().size() < 3) return sldb->GetTable(like, {tipo, p, p, p});
    const QString phrase = QLatin1Char('"') + QString(cadena).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
                           QLatin1Char('"');
    return sldb->GetTable(like + QStringLiteral(" and MYID IN (SELECT rowid FROM songsearch WHERE songsearch MATCH ?)"),
                          {tipo, p, p, p, phrase});
}

std::unique_ptr<TSQLiteTable> Tmsql::buscacanciones(const QString& cadena) { return search(0, cadena); }
std::unique_ptr<TSQLiteTable> Tmsql::buscacanciones1(const QString& cadena) { return search(1, cadena); }

QString Tmsql::dametrack(double grupo, int tipo, double ntrack, const QString& fichero)
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    try {
        auto t = sldb->GetTable(QStringLiteral("SELECT id, orden FROM songs WHERE tipo = ? and grupo = ? and fichero = ?"),
                                {tipo, grupo, fichero});
        if (t->GetCount() == 0) return QStringLiteral("0000");
        if (ntrack > 0) {
            while (!t->GetEOF() && t->FieldAsDouble(0) != ntrack) t->Next();
            if (t->GetEOF()) return QStringLiteral("0000");
        }
        return songgridrow::order(t->FieldAsInteger(1));
    } catch (const ESQLiteException& e) {
        logError("dametrack", e.message());
        return QStringLiteral("0000");
    }
}

QString Tmsql::dametrack2(double grupo, int /*tipo*/, const QString& fichero)
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    try {
        auto t = sldb->GetTable(
            QStringLiteral("select orden from songs  Where grupo = ? and fichero = ? Order by orden, grupo, id "),
            {grupo, fichero});
        if (t->GetCount() > 0) return songgridrow::order(t->FieldAsInteger(0));
        tryExec(QStringLiteral("Update songs Set orden= orden + 1 Where orden >= ? and  grupo = ?"), {1, grupo});
    } catch (const ESQLiteException& e) {
        logError("dametrack2", e.message());
    }
    return QStringLiteral("0000");
}

QString Tmsql::altaencurrent(const QStringList& row, double current, bool* inserted, double* newId)
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    if (inserted) *inserted = false;
    try {
        WriteTransaction tx(*sldb);
        auto t = sldb->GetTable(
            QStringLiteral("select orden from songs  Where grupo = ? and fichero = ? Order by orden, grupo, id "),
            {current, row.value(gridcol::path)});
        if (t->GetCount() > 0) return songgridrow::order(t->FieldAsInteger(0));
        const double n = nextSongId();
        sldb->ExecSQL(QStringLiteral("Update songs Set orden= orden + 1 Where orden >= ? and  grupo = ?"), {1, current});
        insertEntry(n, row, 1, 1, current, current);
        if (!tx.commit()) return QStringLiteral("0000");
        if (inserted) *inserted = true;
        if (newId) *newId = n;
    } catch (const ESQLiteException& e) {
        logError("altaencurrent", e.message());
    }
    return QStringLiteral("0000");
}

bool Tmsql::damecancion(int tipo, PRecord& mconfig, const QString& fichero)
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    try {
        auto t = tipo < 2 ? sldb->GetTable(QStringLiteral("SELECT * FROM songs WHERE tipo = ? and  fichero = ?"),
                                           {tipo, fichero})
                          : sldb->GetTable(QStringLiteral("SELECT * FROM songs WHERE fichero = ?"), {fichero});
        if (t->GetCount() == 0) return false;
        auto num = [&t](const char* name) { return t->FieldAsDouble(t->GetFieldIndex(QLatin1String(name))); };
        auto txt = [&t](const char* name) { return t->FieldAsString(t->GetFieldIndex(QLatin1String(name))); };
        mconfig.songname = fichero;
        mconfig.title = txt("cancion");
        mconfig.artist = txt("artista");
        mconfig.bpm = txt("bpm");
        for (int k = 1; k <= 9; ++k)
            mconfig.tag[tagslot::cue1 + k - 1] = num(QStringLiteral("cue%1").arg(k).toLatin1().constData());
        mconfig.tag[tagslot::cue0] = num("cue0");
        mconfig.tag[tagslot::cue10] = num("cue10");
        mconfig.tag[tagslot::cue11] = num("cue11");
        mconfig.bas = static_cast<int>(std::nearbyint(num("bass")));
        mconfig.mid = static_cast<int>(std::nearbyint(num("mid")));
        mconfig.tre = static_cast<int>(std::nearbyint(num("treble")));
        mconfig.gain = static_cast<int>(std::nearbyint(num("gain")));
        mconfig.fduratotal = txt("genero");
        bool ok = false;
        const int veces = txt("album").trimmed().toInt(&ok);
        if (!ok) return false;
        mconfig.veces = veces;
        mconfig.id = static_cast<int>(std::nearbyint(num("id")));
        return true;
    } catch (const ESQLiteException& e) {
        logError("damecancion", e.message());
        return false;
    }
}

void Tmsql::salvatag(const PRecord& mconfig, const QString& filename)
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    QVariantList v{songgridrow::bpm(mconfig.tag[tagslot::bpm].load())};
    for (int k = 1; k <= 9; ++k) v << mconfig.tag[tagslot::cue1 + k - 1].load();
    v << mconfig.tag[tagslot::cue0].load() << mconfig.tag[tagslot::cue10].load() << mconfig.tag[tagslot::cue11].load();
    v << double(mconfig.bas.load()) << double(mconfig.tre.load()) << double(mconfig.mid.load())
      << QString::number(mconfig.veces.load()) << double(mconfig.gain.load()) << mconfig.duration.get() << filename;
    tryExec(QStringLiteral("UPDATE songs SET   bpm = ?, cue1 = ?, cue2 = ?, cue3 = ?, cue4 = ?, cue5 = ?, cue6 = ?, "
                           "cue7 = ?, cue8 = ?, cue9 = ?, cue0 = ?, cue10 = ?, cue11 = ?, bass = ?, treble = ?, "
                           "mid = ?, album = ?, gain = ?, genero = ? WHERE fichero = ?"),
            v);
}

void Tmsql::reparasongs()
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    auto t = sldb->GetTable(QStringLiteral(" select MYID, fichero from songs "));
    try {
        WriteTransaction tx(*sldb);
        for (; !t->GetEOF(); t->Next())
            tryExec(QStringLiteral("Update songs Set filename=  ? Where MYID = ?"),
                    {LongFileName(t->FieldAsString(1)), t->FieldAsInteger(0)});
        tx.commit();
    } catch (const ESQLiteException& e) {
        logError("reparasongs", e.message());
    }
}

void Tmsql::reparaplaylist()
{
    std::lock_guard<std::recursive_mutex> g(lock_);
    auto lists = sldb->GetTable(QStringLiteral("SELECT id FROM grupos WHERE tipo = 1 "));
    try {
        WriteTransaction tx(*sldb);
        for (; !lists->GetEOF(); lists->Next()) {
            auto t = sldb->GetTable(QStringLiteral(" select MYID from songs  WHERE tipo= 1 and grupo = ? ORDER BY ORDEN "),
                                    {lists->FieldAsDouble(0)});
            for (int k = 1; !t->GetEOF(); t->Next(), ++k)
                tryExec(QStringLiteral("Update songs Set orden=  ? Where MYID = ?"), {k, t->FieldAsInteger(0)});
        }
        tx.commit();
    } catch (const ESQLiteException& e) {
        logError("reparaplaylist", e.message());
    }
}
