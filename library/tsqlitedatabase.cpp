#include "library/tsqlitedatabase.h"

#include <QCollator>

#include <sqlite3.h>

#include "library/sqliteexception.h"
#include "library/tsqlitetable.h"

namespace {
constexpr int kCacheMax = 96;

// SQLite pairs a lone surrogate with whatever follows it; it goes in as U+FFFD instead, so
// the stored text and a search for it stay alike
QString wellFormed(QString s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (!c.isSurrogate()) continue;
        if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        s[i] = QChar::ReplacementCharacter;
    }
    return s;
}

void bindValue(sqlite3_stmt* stmt, int index, const QVariant& v, int* rc)
{
    if (!v.isValid() || v.isNull()) {
        *rc = sqlite3_bind_null(stmt, index);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::UShort:
        *rc = sqlite3_bind_int64(stmt, index, v.toLongLong());
        return;
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        *rc = sqlite3_bind_int64(stmt, index, static_cast<sqlite3_int64>(v.toULongLong()));
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        *rc = sqlite3_bind_double(stmt, index, v.toDouble());
        return;
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        *rc = sqlite3_bind_blob64(stmt, index, b.constData(), static_cast<sqlite3_uint64>(b.size()),
                                  SQLITE_TRANSIENT);
        return;
    }
    default: {
        const QString s = wellFormed(v.toString());
        *rc = sqlite3_bind_text16(stmt, index, s.utf16(), static_cast<int>(s.size() * 2), SQLITE_TRANSIENT);
        return;
    }
    }
}
}  // namespace

TSQLiteDatabase::TSQLiteDatabase(const QString& FileName)
{
    const QByteArray name = FileName.toUtf8();
    const int rc = sqlite3_open_v2(name.constData(), &fDB,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        QString msg;
        if (fDB) {
            msg = QStringLiteral("Failed to open database \"%1\" : %2")
                      .arg(FileName, QString::fromUtf8(sqlite3_errmsg(fDB)));
            sqlite3_close(fDB);
            fDB = nullptr;
        } else {
            msg = QStringLiteral("Failed to open database \"%1\" : unknown error").arg(FileName);
        }
        throw ESQLiteException(msg);
    }
    sqlite3_extended_result_codes(fDB, 0);
}

TSQLiteDatabase::~TSQLiteDatabase()
{
    for (sqlite3_stmt* s : std::as_const(cache_)) sqlite3_finalize(s);
    cache_.clear();
    if (fDB) {
        if (fInTrans) sqlite3_exec(fDB, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(fDB);
    }
}

void TSQLiteDatabase::RaiseError(const QString& base, const QString& SQL, int code) const
{
    if (code < 0) code = sqlite3_errcode(fDB);
    const char* m = sqlite3_errmsg(fDB);
    if (code != 0 && m) {
        throw ESQLiteException(base + QStringLiteral(".\rError [%1]: %2.\r\"%3\": %4")
                                          .arg(code)
                                          .arg(SQLiteErrorStr(code), SQL, QString::fromUtf8(m)));
    }
    throw ESQLiteException(base);
}

sqlite3_stmt* TSQLiteDatabase::prepare(const QString& SQL)
{
    if (sqlite3_stmt* s = cache_.take(SQL)) return s;
    sqlite3_stmt* stmt = nullptr;
    const void* tail = nullptr;
    const int rc = sqlite3_prepare16_v2(fDB, SQL.utf16(), static_cast<int>(SQL.size() * 2), &stmt, &tail);
    if (rc != SQLITE_OK) RaiseError(QStringLiteral("Error executing SQL"), SQL, rc);
    if (!stmt) RaiseError(QStringLiteral("Could not prepare SQL statement"), SQL);
    return stmt;
}

void TSQLiteDatabase::release(const QString& SQL, sqlite3_stmt* stmt)
{
    if (!stmt) return;
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (cache_.size() >= kCacheMax) {
        for (sqlite3_stmt* s : std::as_const(cache_)) sqlite3_finalize(s);
        cache_.clear();
    }
    if (sqlite3_stmt* old = cache_.value(SQL)) sqlite3_finalize(old);
    cache_.insert(SQL, stmt);
}

void TSQLiteDatabase::bind(sqlite3_stmt* stmt, const QString& SQL, const QVariantList& binds, bool cached)
{
    if (OnQuery) OnQuery(SQL);
    const int n = sqlite3_bind_parameter_count(stmt);
    int rc = SQLITE_OK;
    int positional = 0;
    for (int i = 1; i <= n; ++i) {
        const char* pname = sqlite3_bind_parameter_name(stmt, i);
        if (pname && pname[0] != '?') {
            const QString name = QString::fromUtf8(pname);
            for (const TSQliteParam& p : fParams) {
                if (p.name == name || QLatin1Char(':') + p.name == name) {
                    bindValue(stmt, i, p.value, &rc);
                    break;
                }
            }
        } else if (positional < binds.size()) {
            bindValue(stmt, i, binds[positional++], &rc);
        }
        if (rc != SQLITE_OK) {
            fParams.clear();
            if (cached) release(SQL, stmt);
            RaiseError(QStringLiteral("Could not bind parameter to SQL statement"), SQL, rc);
        }
    }
    fParams.clear();
}

void TSQLiteDatabase::ExecSQL(const QString& SQL, const QVariantList& binds)
{
    sqlite3_stmt* stmt = prepare(SQL);
    bind(stmt, SQL, binds);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE) {
        const int code = rc == SQLITE_ROW ? sqlite3_errcode(fDB) : rc;
        const QString m = QString::fromUtf8(sqlite3_errmsg(fDB));
        release(SQL, stmt);
        if (code != 0 && !m.isEmpty())
            throw ESQLiteException(QStringLiteral("Error executing SQL statement.\rError [%1]: %2.\r\"%3\": %4")
                                       .arg(code)
                                       .arg(SQLiteErrorStr(code), SQL, m));
        throw ESQLiteException(QStringLiteral("Error executing SQL statement"));
    }
    release(SQL, stmt);
}

std::unique_ptr<TSQLiteTable> TSQLiteDatabase::GetTable(const QString& SQL, const QVariantList& binds)
{
    return std::make_unique<TSQLiteTable>(*this, SQL, binds);
}

bool TSQLiteDatabase::TableExists(const QString& TableName)
{
    auto t = GetTable(QStringLiteral("select [sql] from sqlite_master where [type] = 'table' and lower(name) = ? "),
                      {TableName.toLower()});
    return t->GetCount() > 0;
}

qint64 TSQLiteDatabase::GetTableValue(const QString& SQL, const QVariantList& binds)
{
    auto t = GetTable(SQL, binds);
    return t->GetCount() > 0 ? t->FieldAsInteger(0) : 0;
}

QString TSQLiteDatabase::GetTableString(const QString& SQL, const QVariantList& binds)
{
    auto t = GetTable(SQL, binds);
    return t->GetCount() > 0 ? t->FieldAsString(0) : QString();
}

QStringList TSQLiteDatabase::GetTableStrings(const QString& SQL, const QVariantList& binds)
{
    QStringList out;
    auto t = GetTable(SQL, binds);
    for (; !t->GetEOF(); t->Next()) out << t->FieldAsString(0);
    return out;
}

void TSQLiteDatabase::BeginTransaction()
{
    if (fInTrans) throw ESQLiteException(QStringLiteral("Transaction already open"));
    ExecSQL(QStringLiteral("BEGIN TRANSACTION"));
    fInTrans = true;
}

void TSQLiteDatabase::BeginWriteTransaction()
{
    if (fInTrans) throw ESQLiteException(QStringLiteral("Transaction already open"));
    ExecSQL(QStringLiteral("BEGIN IMMEDIATE"));
    fInTrans = true;
}

void TSQLiteDatabase::Commit()
{
    ExecSQL(QStringLiteral("COMMIT"));
    fInTrans = false;
}

void TSQLiteDatabase::Rollback()
{
    fInTrans = false;
    if (!sqlite3_get_autocommit(fDB)) ExecSQL(QStringLiteral("ROLLBACK"));
}

void TSQLiteDatabase::SetSynchronised(bool on)
{
    if (on == fSync) return;
    ExecSQL(on ? QStringLiteral("PRAGMA synchronous = ON;") : QStringLiteral("PRAGMA synchronous = OFF;"));
    fSync = on;
}

void TSQLiteDatabase::AddParamInt(const QString& name, qint64 value) { fParams.push_back({name, value}); }
void TSQLiteDatabase::AddParamFloat(const QString& name, double value) { fParams.push_back({name, value}); }
void TSQLiteDatabase::AddParamText(const QString& name, const QString& value) { fParams.push_back({name, value}); }
void TSQLiteDatabase::AddParamNull(const QString& name) { fParams.push_back({name, QVariant()}); }

qint64 TSQLiteDatabase::GetLastInsertRowID() const { return sqlite3_last_insert_rowid(fDB); }
int TSQLiteDatabase::GetLastChangedRows() const { return sqlite3_total_changes(fDB); }
int TSQLiteDatabase::GetRowsChanged() const { return sqlite3_changes(fDB); }
void TSQLiteDatabase::SetTimeout(int milliseconds) { sqlite3_busy_timeout(fDB, milliseconds); }
QString TSQLiteDatabase::Version() { return QString::fromLatin1(sqlite3_libversion()); }

TSQLiteQuery TSQLiteDatabase::PrepareSQL(const QString& SQL)
{
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare16_v2(fDB, SQL.utf16(), static_cast<int>(SQL.size() * 2), &stmt, nullptr);
    if (rc != SQLITE_OK) RaiseError(QStringLiteral("Error executing SQL"), SQL, rc);
    if (!stmt) RaiseError(QStringLiteral("Could not prepare SQL statement"), SQL);
    if (OnQuery) OnQuery(SQL);
    return TSQLiteQuery{SQL, stmt};
}

void TSQLiteDatabase::BindSQL(const TSQLiteQuery& query, int index, qint64 value)
{
    if (sqlite3_bind_int64(query.Statement, index, value) != SQLITE_OK)
        RaiseError(QStringLiteral("Could not bind integer to prepared SQL statement"), query.SQL);
}

void TSQLiteDatabase::BindSQL(const TSQLiteQuery& query, int index, const QString& value)
{
    if (sqlite3_bind_text16(query.Statement, index, value.utf16(), static_cast<int>(value.size() * 2),
                            SQLITE_TRANSIENT) != SQLITE_OK)
        RaiseError(QStringLiteral("Could not bind string to prepared SQL statement"), query.SQL);
}

void TSQLiteDatabase::ExecSQL(const TSQLiteQuery& query)
{
    const int rc = sqlite3_step(query.Statement);
    if (rc != SQLITE_DONE) {
        const int code = rc == SQLITE_ROW ? 0 : rc;
        sqlite3_reset(query.Statement);
        RaiseError(QStringLiteral("Error executing prepared SQL statement"), query.SQL, code);
    }
    sqlite3_reset(query.Statement);
}

void TSQLiteDatabase::ReleaseSQL(TSQLiteQuery& query)
{
    if (sqlite3_finalize(query.Statement) != SQLITE_OK) {
        query.Statement = nullptr;
        RaiseError(QStringLiteral("Could not release prepared SQL statement"), query.SQL);
    }
    query.Statement = nullptr;
}

void TSQLiteDatabase::UpdateBlob(const QString& SQL, const QByteArray& data)
{
    if (!SQL.contains(QLatin1Char('?'))) throw ESQLiteException(QStringLiteral("SQL must include a ? parameter"));
    TSQLiteQuery q = PrepareSQL(SQL);
    if (sqlite3_bind_blob64(q.Statement, 1, data.constData(), static_cast<sqlite3_uint64>(data.size()),
                            SQLITE_TRANSIENT) != SQLITE_OK) {
        sqlite3_finalize(q.Statement);
        throw ESQLiteException(QStringLiteral("Error binding blob to database"));
    }
    try {
        ExecSQL(q);
    } catch (...) {
        sqlite3_finalize(q.Statement);
        throw;
    }
    sqlite3_finalize(q.Statement);
}

void TSQLiteDatabase::Backup(TSQLiteDatabase& target)
{
    sqlite3_backup* b = sqlite3_backup_init(target.fDB, "main", fDB, "main");
    if (!b) throw ESQLiteException(QStringLiteral("Could not initialize backup"));
    sqlite3_backup_step(b, -1);
    if (sqlite3_backup_finish(b) != SQLITE_OK) target.RaiseError(QStringLiteral("Backup failed"), QString());
}

namespace {
int collate(void* fn, int n1, const void* s1, int n2, const void* s2)
{
    const QString a = QString::fromUtf16(static_cast<const char16_t*>(s1), n1 / 2);
    const QString b = QString::fromUtf16(static_cast<const char16_t*>(s2), n2 / 2);
    return reinterpret_cast<TSQLiteDatabase::Collation>(fn)(a, b);
}

int systemCompare(const QString& a, const QString& b)
{
    thread_local const QCollator collator;  // the user's locale
    return collator.compare(a, b);
}
}  // namespace

void TSQLiteDatabase::AddCustomCollate(const QString& name, Collation fn)
{
    if (sqlite3_create_collation16(fDB, name.utf16(), SQLITE_UTF16_ALIGNED, reinterpret_cast<void*>(fn), collate) !=
        SQLITE_OK)
        RaiseError(QStringLiteral("Could not add collation"), name);
}

void TSQLiteDatabase::AddSystemCollate() { AddCustomCollate(QStringLiteral("SYSTEM"), systemCompare); }
