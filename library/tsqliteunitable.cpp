#include "library/tsqliteunitable.h"

#include <sqlite3.h>

#include "library/sqliteexception.h"
#include "library/tsqlitedatabase.h"

TSQLiteUniTable::TSQLiteUniTable(TSQLiteDatabase& db, const QString& SQL, const QVariantList& binds)
    : fDB(db), fSQL(SQL)
{
    TSQLiteQuery q = db.PrepareSQL(SQL);
    fStmt = q.Statement;
    // a constructor that throws runs no destructor: a statement left open would keep the
    // connection from closing
    try {
        db.bind(fStmt, SQL, binds, false);
    } catch (...) {
        sqlite3_finalize(fStmt);
        throw;
    }
    fColCount = sqlite3_column_count(fStmt);
    for (int c = 0; c < fColCount; ++c)
        fCols << QString::fromUtf16(static_cast<const char16_t*>(sqlite3_column_name16(fStmt, c))).toUpper();
    fRow = -1;
    fEOF = false;
    try {
        Next();
    } catch (...) {
        sqlite3_finalize(fStmt);
        throw;
    }
}

TSQLiteUniTable::~TSQLiteUniTable() { sqlite3_finalize(fStmt); }

bool TSQLiteUniTable::Next()
{
    if (fEOF) return false;
    const int rc = sqlite3_step(fStmt);
    if (rc == SQLITE_ROW) {
        ++fRow;
        return true;
    }
    fEOF = true;
    if (rc != SQLITE_DONE) {
        const QString m = QString::fromUtf8(sqlite3_errmsg(fDB.handle()));
        sqlite3_reset(fStmt);
        throw ESQLiteException(QStringLiteral("Could not retrieve data.\rError [%1]: %2.\r\"%3\": %4")
                                   .arg(rc)
                                   .arg(SQLiteErrorStr(rc), fSQL, m));
    }
    return false;
}

int TSQLiteUniTable::GetFieldIndex(const QString& FieldName) const
{
    const int i = static_cast<int>(fCols.indexOf(FieldName.toUpper()));
    if (i < 0) throw ESQLiteException(QStringLiteral("Field not found in dataset: ") + FieldName);
    return i;
}

void TSQLiteUniTable::checkRead(int i) const
{
    if (fEOF) throw ESQLiteException(QStringLiteral("Table is at End of File"));
    if (i < 0 || i >= fColCount) throw ESQLiteException(QStringLiteral("Field index out of range: %1").arg(i));
}

bool TSQLiteUniTable::FieldIsNull(int i) const
{
    checkRead(i);
    return sqlite3_column_type(fStmt, i) == SQLITE_NULL;
}

QString TSQLiteUniTable::FieldAsString(int i) const
{
    checkRead(i);
    const void* p = sqlite3_column_text16(fStmt, i);
    return p ? QString::fromUtf16(static_cast<const char16_t*>(p), sqlite3_column_bytes16(fStmt, i) / 2) : QString();
}

double TSQLiteUniTable::FieldAsDouble(int i) const
{
    checkRead(i);
    return sqlite3_column_double(fStmt, i);
}

qint64 TSQLiteUniTable::FieldAsInteger(int i) const
{
    checkRead(i);
    return sqlite3_column_int64(fStmt, i);
}

QByteArray TSQLiteUniTable::FieldAsBlob(int i) const
{
    checkRead(i);
    const void* p = sqlite3_column_blob(fStmt, i);
    return p ? QByteArray(static_cast<const char*>(p), sqlite3_column_bytes(fStmt, i)) : QByteArray();
}
