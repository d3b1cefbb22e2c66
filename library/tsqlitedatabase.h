// One SQLite connection. Every value reaches a statement through a bound parameter:
// each `?` of a text takes the next value of the binds list (null QVariant: NULL; bool and
// integers: integer; double: real; QByteArray: blob; anything else: its text, with each
// unpaired surrogate stored as U+FFFD).
// Every failure throws ESQLiteException; nothing is shown, nothing retried.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include "library/tsqlitequery.h"

struct sqlite3;
struct sqlite3_stmt;
class TSQLiteTable;
class TSQLiteUniTable;

struct TSQliteParam {
    QString name;
    QVariant value;
};

class TSQLiteDatabase {
public:
    // Opens or creates FileName. Throws "Failed to open database \"F\" : ...".
    explicit TSQLiteDatabase(const QString& FileName);
    ~TSQLiteDatabase();  // rolls back an open transaction and closes the file
    TSQLiteDatabase(const TSQLiteDatabase&) = delete;
    TSQLiteDatabase& operator=(const TSQLiteDatabase&) = delete;

    // One statement that returns no rows.
    void ExecSQL(const QString& SQL, const QVariantList& binds = {});
    std::unique_ptr<TSQLiteTable> GetTable(const QString& SQL, const QVariantList& binds = {});
    // The result read row by row from the open statement (on its first row); it must not
    // outlive this connection. Throws as the query buffer does.
    std::unique_ptr<TSQLiteUniTable> GetUniTable(const QString& SQL, const QVariantList& binds = {});
    bool TableExists(const QString& TableName);

    qint64 GetTableValue(const QString& SQL, const QVariantList& binds = {});  // 0 when no row
    QString GetTableString(const QString& SQL, const QVariantList& binds = {});
    QStringList GetTableStrings(const QString& SQL, const QVariantList& binds = {});

    void BeginTransaction();  // throws "Transaction already open"
    // The same, taking the write lock at once (BEGIN IMMEDIATE): a transaction that reads
    // before it writes cannot then fail busy without waiting for the busy timeout.
    void BeginWriteTransaction();
    void Commit();
    void Rollback();
    bool InTransaction() const { return fInTrans; }
    void SetSynchronised(bool on);

    // Named parameters (":name") bound to the next statement that runs, then cleared.
    void AddParamInt(const QString& name, qint64 value);
    void AddParamFloat(const QString& name, double value);
    void AddParamText(const QString& name, const QString& value);
    void AddParamNull(const QString& name);
    void ParamsClear() { fParams.clear(); }

    // Prepared statements kept by the caller: bind by 1-based index, run, reuse, release.
    TSQLiteQuery PrepareSQL(const QString& SQL);
    void BindSQL(const TSQLiteQuery& query, int index, qint64 value);
    void BindSQL(const TSQLiteQuery& query, int index, const QString& value);
    void ExecSQL(const TSQLiteQuery& query);
    void ReleaseSQL(TSQLiteQuery& query);

    // Runs SQL, whose one `?` takes the bytes.
    void UpdateBlob(const QString& SQL, const QByteArray& data);
    // Copies the whole database into target.
    void Backup(TSQLiteDatabase& target);
    // A collation named name, comparing two texts with fn (negative, 0, positive).
    using Collation = int (*)(const QString&, const QString&);
    void AddCustomCollate(const QString& name, Collation fn);
    void AddSystemCollate();  // "SYSTEM": the user locale's comparison

    qint64 GetLastInsertRowID() const;
    int GetLastChangedRows() const;  // all changes of the connection
    int GetRowsChanged() const;      // changes of the last statement
    void SetTimeout(int milliseconds);
    static QString Version();

    std::function<void(const QString&)> OnQuery;  // called with each text just before it runs
    sqlite3* handle() const { return fDB; }

private:
    friend class TSQLiteTable;
    friend class TSQLiteUniTable;
    sqlite3_stmt* prepare(const QString& SQL);
    void release(const QString& SQL, sqlite3_stmt* stmt);
    // on a bind failure the statement is released to the cache (cached) or left to the caller
    void bind(sqlite3_stmt* stmt, const QString& SQL, const QVariantList& binds, bool cached = true);
    [[noreturn]] void RaiseError(const QString& base, const QString& SQL, int code = -1) const;

    sqlite3* fDB = nullptr;
    bool fInTrans = false;
    bool fSync = true;
    std::vector<TSQliteParam> fParams;
    QHash<QString, sqlite3_stmt*> cache_;  // prepared texts, reset after each use
};
