// The whole result of one query, read when the object is made. It does not depend on the
// connection afterwards; only its cursor moves.
#pragma once

#include <variant>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantList>

class TSQLiteDatabase;

class TSQLiteTable {
public:
    // Runs SQL on db; each `?` takes the next value of binds. Throws ESQLiteException.
    TSQLiteTable(TSQLiteDatabase& db, const QString& SQL, const QVariantList& binds = {});

    int GetCount() const { return fRowCount; }
    int GetColCount() const { return fColCount; }
    bool GetEOF() const { return fRow >= fRowCount; }
    bool GetBOF() const { return fRow <= 0; }
    bool GetIsLastRow() const { return fRowCount > 0 && fRow == fRowCount - 1; }
    int Row() const { return fRow; }

    bool MoveFirst();
    bool MoveLast();
    bool MoveTo(int position);
    bool Next();
    bool Previous();

    // Position of the column whose name equals FieldName, case ignored. Throws
    // "Field X Not found. Empty dataset" for a result without rows and
    // "Field not found in dataset: X" for an unknown name.
    int GetFieldIndex(const QString& FieldName) const;
    QString GetColumns(int i) const { return fCols.value(i); }

    // Reads at the end throw "Table is at End of File". A NULL reads as "" or 0.
    QString FieldAsString(int i) const;
    double FieldAsDouble(int i) const;    // texts and blobs throw "Not an integer or numeric field"
    qint64 FieldAsInteger(int i) const;   // a real is truncated toward zero
    QByteArray FieldAsBlob(int i) const;  // throws "Not a Blob field" for other storage types
    QString FieldAsBlobText(int i) const { return QString::fromUtf8(FieldAsBlob(i)); }
    bool FieldIsNull(int i) const;
    QString GetFieldByName(const QString& FieldName) const { return FieldAsString(GetFieldIndex(FieldName)); }
    qint64 GetCountResult() const { return FieldAsInteger(0); }

    // storage types, SQLite's own codes
    enum : int { dtInt = 1, dtNumeric = 2, dtStr = 3, dtBlob = 4, dtNull = 5 };

private:
    friend class TSQLiteDatabase;
    using Cell = std::variant<std::monostate, qint64, double, QString, QByteArray>;
    const Cell& cell(int i) const;

    std::vector<Cell> fResults;
    int fRowCount = 0;
    int fColCount = 0;
    QStringList fCols;
    std::vector<int> fColTypes;
    int fRow = 0;
};
