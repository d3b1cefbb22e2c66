// The library database: songs, groups, playlists and the configuration row in one SQLite
// file of the user profile folder. Every value goes in through a bound parameter.
// Methods may be called from the UI thread and the song-loading threads: each one holds
// the object's lock for its whole run.
//
// Failures: writers swallow SQL errors (each one is written to standard error); queries made
// for a caller (dametabla, the searches, the repairs' full reads, asignoconfig) throw
// ESQLiteException; the look-ups answer their "not found" value.
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

class Tmsql {
public:
    Tmsql();  // GetUserProfile() + "korvanta.db"
    explicit Tmsql(const QString& dbPath);
    ~Tmsql();
    Tmsql(const Tmsql&) = delete;
    Tmsql& operator=(const Tmsql&) = delete;

    // groups, subgroups and playlists; tipo 0 group, 1 playlist
    double altadegrupo(int tipo, const QString& Egrupo, bool alta, double id);
    double altadesubgrupo(int tipo, const QString& Egrupo, bool alta, double id);
    void borragrupo(int tipo, const QString& id, bool buscaroot);
    void vaciagrupo(int tipo, const QString& id, bool buscaroot);
    bool pongocurrent(double myid);

    // entries; a grid row is gridcol::count cells (missing cells read as empty)
    bool altadesg(const QStringList& row, int tipo, int orden, double r_id, double m_id);
    void altadesg2(const QStringList& row, int tipo, int orden, double r_id, double m_id);
    double altadecancion(int tipo, const Ttagsong& mconfig, double r_id, double m_id);
    void modificacancion(const Ttagsong& mconfig);
    void borracancion(int tipo, int orden, double grupo, const QString& id);
    void muevecancion(int nume, int nume2, double m_id, double mfileid);

    // The automatic history of a deck: when the playlist holds the row's file, its first
    // position ("0000" form) and nothing changes; otherwise every entry moves down one and
    // the row is inserted at 1, answering "0000". One transaction: two decks at once never
    // share a position. *inserted tells whether a row went in; *newId its id.
    QString altaencurrent(const QStringList& row, double current, bool* inserted = nullptr,
                          double* newId = nullptr);

    // A bulk add: the statements between beginBatch and endBatch share one transaction, and
    // commitBatch makes what was added so far durable. A crash loses only the uncommitted part.
    void beginBatch();
    void commitBatch();
    void endBatch();

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
    double songid = 0;   // last id given to a songs row
    double grupoid = 0;  // last id given to a grupos row

    TSQLiteDatabase& db() { return *sldb; }

private:
    void open();
    void startConfig();
    void insertDefaultConfig();
    void insertEntry(double n, const QStringList& row, int tipo, int orden, double r_id, double m_id);
    void saveConfig(const PSoundConfig& c, int variant);
    // runs a writer statement; an error is written to standard error and dropped
    bool tryExec(const QString& sql, const QVariantList& binds = {});
    std::unique_ptr<TSQLiteTable> search(int tipo, const QString& cadena);

    void openSearchIndex();

    std::unique_ptr<TSQLiteDatabase> sldb;
    std::recursive_mutex lock_;
    bool searchIndex_ = false;  // songsearch keeps artista, cancion and bpm in trigrams
};
