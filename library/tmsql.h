// The library database: songs, groups, playlists and the configuration row in one SQLite
// file of the user profile folder. Every value goes in through a bound parameter.
// Methods may be called from the UI thread and the song-loading threads: each one holds
// the object's lock for its whole run.
//
// Other copies of the program (or outside tools) may write the same file: a write that
// finds it busy waits up to kBusyTimeoutMs, every write transaction takes the write lock
// when it begins, and a new id is the largest stored id + 1, read inside the inserting
// transaction (`id` is not the row key).
//
// Failures: writers swallow SQL errors (each one is written to standard error) and the
// inserting ones say whether their row went in; queries made for a caller (dametabla, the
// searches, the repairs' full reads, asignoconfig) throw ESQLiteException; the look-ups
// answer their "not found" value.
#pragma once

#include <memory>
#include <mutex>

#include <QString>
#include <QStringList>
#include <QVariantList>

#include "library/tsqlitedatabase.h"
#include "library/tsqlitetable.h"
#include "library/ttagsong.h"

class PRecord;
class PSoundConfig;
class WalCheckpointer;

class Tmsql {
public:
    Tmsql();  // GetUserProfile() + "korvanta.db"
    explicit Tmsql(const QString& dbPath);
    ~Tmsql();
    Tmsql(const Tmsql&) = delete;
    Tmsql& operator=(const Tmsql&) = delete;

    static constexpr int kBusyTimeoutMs = 5000;

    // groups, subgroups and playlists; tipo 0 group, 1 playlist. Creating answers the new
    // id, 0 when the row did not go in; renaming answers id.
    double altadegrupo(int tipo, const QString& Egrupo, bool alta, double id);
    double altadesubgrupo(int tipo, const QString& Egrupo, bool alta, double id);
    void borragrupo(int tipo, const QString& id, bool buscaroot);
    void vaciagrupo(int tipo, const QString& id, bool buscaroot);
    bool pongocurrent(double myid);

    // entries; a grid row is gridcol::count cells (missing cells read as empty). The
    // inserting calls answer whether the row went in and give its new id in *newId.
    bool altadesg(const QStringList& row, int tipo, int orden, double r_id, double m_id, double* newId = nullptr);
    // Moves the playlist's entries at orden or later down one, then inserts the row at
    // orden; when the insert fails the shift is rolled back too.
    bool altadesg2(const QStringList& row, int tipo, int orden, double r_id, double m_id, double* newId = nullptr);
    // A track of the tag step. For a playlist (tipo 1), orden 1 first moves every entry down
    // one (rolled back with a failed insert) and an orden of 0 or less appends after the
    // playlist's last stored entry. Answers the new id, 0 when the row did not go in.
    double altadecancion(int tipo, const Ttagsong& mconfig, double r_id, double m_id);
    void modificacancion(const Ttagsong& mconfig);
    // A playlist entry's later entries move up one from its stored position (orden is used
    // only when the row is not found); then the row with that id is deleted.
    void borracancion(int tipo, int orden, double grupo, const QString& id);
    // Moves entry mfileid of playlist m_id to position nume2, from its stored position
    // (nume stands only for a row that is not found: then nothing moves). Answers the
    // position it moved from, 0 when nothing moved.
    int muevecancion(int nume, int nume2, double m_id, double mfileid);

    // The automatic history of a deck: when the playlist holds the row's file, its first
    // position ("0000" form) and nothing changes; otherwise every entry moves down one and
    // the row is inserted at 1, answering "0000". Look-up, shift and insert are one
    // transaction, committed only when the insert went in: two decks at once never share a
    // position, and a failed insert leaves every position as it was. *inserted tells
    // whether a row went in; *newId its id.
    QString altaencurrent(const QStringList& row, double current, bool* inserted = nullptr,
                          double* newId = nullptr);

    // A bulk add: the statements between beginBatch and endBatch share one transaction, and
    // commitBatch makes what was added so far durable. A crash loses only the uncommitted
    // part. endBatch (and commitBatch) answer false when the commit failed: everything since
    // the last commit was rolled back.
    void beginBatch();
    bool commitBatch();
    bool endBatch();

    // queries; the caller owns the table
    std::unique_ptr<TSQLiteTable> dametabla(const QString& sqlstring, const QVariantList& binds = {});
    std::unique_ptr<TSQLiteTable> buscacanciones(const QString& cadena);   // library entries
    std::unique_ptr<TSQLiteTable> buscacanciones1(const QString& cadena);  // playlist entries
    QString dametrack(double grupo, int tipo, double ntrack, const QString& fichero);
    QString dametrack2(double grupo, int tipo, const QString& fichero);  // fichero: the plain path
    bool damecancion(int tipo, PRecord& mconfig, const QString& fichero);

    void salvatag(const PRecord& mconfig, const QString& filename);
    void reparasongs();
    void reparaplaylist();

    // the configuration row
    void graboconfig(const PSoundConfig& mconfig);
    void graboconfigdef(const PSoundConfig& mconfig);
    void graboconfigdefnb(const PSoundConfig& mconfig);
    void asignoconfig(PSoundConfig& mconfig);
    // Replaces the configuration row by the default row (a row that cannot be read).
    void restoreconfig();

    QString slDBpath;
    double songid = 0;   // last id this object gave to a songs row
    double grupoid = 0;  // last id this object gave to a grupos row

    TSQLiteDatabase& db() { return *sldb; }

private:
    void open();
    void startConfig();
    void insertDefaultConfig();
    void insertEntry(double n, const QStringList& row, int tipo, int orden, double r_id, double m_id);
    bool schemaReady();  // tables, indexes and seed rows are there
    // inside a write transaction: the next free id of songs or grupos
    double nextSongId();
    double nextGroupId();
    void saveConfig(const PSoundConfig& c, int variant);
    // runs a writer statement; an error is written to standard error and dropped
    bool tryExec(const QString& sql, const QVariantList& binds = {});
    std::unique_ptr<TSQLiteTable> search(int tipo, const QString& cadena);

    void openSearchIndex();

    std::unique_ptr<TSQLiteDatabase> sldb;
    std::unique_ptr<WalCheckpointer> checkpointer_;  // off the committing thread
    std::recursive_mutex lock_;
    bool searchIndex_ = false;  // songsearch keeps artista, cancion and bpm in trigrams
};
