// A query result read row by row from the open statement. It must not outlive its connection.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantList>

struct sqlite3_stmt;
class TSQLiteDatabase;

class TSQLiteUniTable {
public:
    // Prepares SQL and steps to the first row. Throws ESQLiteException.
    TSQLiteUniTable(TSQLiteDatabase& db, const QString& SQL, const QVariantList& binds = {});
    ~TSQLiteUniTable();
    TSQLiteUniTable(const TSQLiteUniTable&) = delete;
    TSQLiteUniTable& operator=(const TSQLiteUniTable&) = delete;

    bool GetEOF() const { return fEOF; }
    bool Next();  // false at the end; throws "Could not retrieve data"
    int GetRow() const { return fRow; }
    int GetColCount() const { return fColCount; }
    int GetFieldIndex(const QString& FieldName) const;  // throws "Field not found in dataset: X"

    // reads at the end throw "Table is at End of File"; NULL reads as "" or 0
    QString FieldAsString(int i) const;
    double FieldAsDouble(int i) const;
    qint64 FieldAsInteger(int i) const;
    QByteArray FieldAsBlob(int i) const;
    bool FieldIsNull(int i) const;

private:
    void checkRead(int i) const;

    int fColCount = 0;
    QStringList fCols;
    int fRow = 0;
    bool fEOF = true;
    sqlite3_stmt* fStmt = nullptr;
    TSQLiteDatabase& fDB;
    QString fSQL;
};
