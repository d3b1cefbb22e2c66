#include "library/tsqlitetable.h"

#include <cmath>

#include <sqlite3.h>

#include "engine/microsf.h"
#include "library/sqliteexception.h"
#include "library/tsqlitedatabase.h"

namespace {
int storageOf(const char16_t* decl, int valueType)
{
    if (!decl) return valueType;
    const QString d = QString::fromUtf16(decl).toUpper();
    if (d == QLatin1String("INTEGER") || d == QLatin1String("BOOLEAN")) return TSQLiteTable::dtInt;
    if (d == QLatin1String("NUMERIC") || d == QLatin1String("FLOAT") || d == QLatin1String("DOUBLE") ||
        d == QLatin1String("REAL"))
        return TSQLiteTable::dtNumeric;
    if (d == QLatin1String("BLOB")) return TSQLiteTable::dtBlob;
    return TSQLiteTable::dtStr;
}
}  // namespace

TSQLiteTable::TSQLiteTable(TSQLiteDatabase& db, const QString& SQL, const QVariantList& binds)
{
    sqlite3_stmt* stmt = db.prepare(SQL);
    db.bind(stmt, SQL, binds);
    for (;;) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE) break;
        if (rc == SQLITE_BUSY) {
            db.release(SQL, stmt);
            db.RaiseError(QStringLiteral("Could not prepare SQL statement"), SQL, rc);
        }
        if (rc != SQLITE_ROW) {
            db.release(SQL, stmt);
            db.RaiseError(QStringLiteral("Could not retrieve data"), SQL, rc);
        }
        if (fRowCount == 0) {
            fColCount = sqlite3_column_count(stmt);
            fColTypes.resize(fColCount);
            for (int c = 0; c < fColCount; ++c) {
                fCols << QString::fromUtf16(static_cast<const char16_t*>(sqlite3_column_name16(stmt, c))).toUpper();
                fColTypes[c] = storageOf(static_cast<const char16_t*>(sqlite3_column_decltype16(stmt, c)),
                                         sqlite3_column_type(stmt, c));
            }
        }
        for (int c = 0; c < fColCount; ++c) {
            const int vt = sqlite3_column_type(stmt, c);
            if (vt == SQLITE_NULL) {
                fResults.emplace_back(std::monostate{});
                continue;
            }
            switch (fColTypes[c] == dtNull ? vt : fColTypes[c]) {
            case dtInt: fResults.emplace_back(static_cast<qint64>(sqlite3_column_int64(stmt, c))); break;
            case dtNumeric: fResults.emplace_back(sqlite3_column_double(stmt, c)); break;
            case dtBlob: {
                const void* p = sqlite3_column_blob(stmt, c);
                const int n = sqlite3_column_bytes(stmt, c);
                fResults.emplace_back(QByteArray(static_cast<const char*>(p), p ? n : 0));
                break;
            }
            default: {
                const void* p = sqlite3_column_text16(stmt, c);
                const int n = sqlite3_column_bytes16(stmt, c);
                fResults.emplace_back(p ? QString::fromUtf16(static_cast<const char16_t*>(p), n / 2) : QString());
                break;
            }
            }
        }
        ++fRowCount;
    }
    db.release(SQL, stmt);
    fRow = 0;
}

bool TSQLiteTable::MoveFirst()
{
    if (fRowCount == 0) return false;
    fRow = 0;
    return true;
}

bool TSQLiteTable::MoveLast()
{
    if (fRowCount == 0) return false;
    fRow = fRowCount - 1;
    return true;
}

bool TSQLiteTable::MoveTo(int position)
{
    if (position < 0 || position >= fRowCount) return false;
    fRow = position;
    return true;
}

bool TSQLiteTable::Next()
{
    if (fRow >= fRowCount) return false;
    ++fRow;
    return fRow < fRowCount;
}

bool TSQLiteTable::Previous()
{
    if (fRow <= 0) return false;
    --fRow;
    return true;
}

int TSQLiteTable::GetFieldIndex(const QString& FieldName) const
{
    if (fCols.isEmpty())
        throw ESQLiteException(QStringLiteral("Field ") + FieldName + QStringLiteral(" Not found. Empty dataset"));
    const int i = static_cast<int>(fCols.indexOf(FieldName.toUpper()));
    if (i < 0) throw ESQLiteException(QStringLiteral("Field not found in dataset: ") + FieldName);
    return i;
}

const TSQLiteTable::Cell& TSQLiteTable::cell(int i) const
{
    if (GetEOF()) throw ESQLiteException(QStringLiteral("Table is at End of File"));
    if (i < 0 || i >= fColCount) throw ESQLiteException(QStringLiteral("Field index out of range: %1").arg(i));
    return fResults[static_cast<size_t>(fRow) * fColCount + i];
}

bool TSQLiteTable::FieldIsNull(int i) const { return std::holds_alternative<std::monostate>(cell(i)); }

QString TSQLiteTable::FieldAsString(int i) const
{
    const Cell& c = cell(i);
    if (auto p = std::get_if<qint64>(&c)) return QString::number(*p);
    if (auto p = std::get_if<double>(&c)) return FloatText(*p);
    if (auto p = std::get_if<QString>(&c)) return *p;
    if (auto p = std::get_if<QByteArray>(&c)) return QString::fromUtf8(*p);
    return QString();
}

double TSQLiteTable::FieldAsDouble(int i) const
{
    const Cell& c = cell(i);
    if (auto p = std::get_if<qint64>(&c)) return static_cast<double>(*p);
    if (auto p = std::get_if<double>(&c)) return *p;
    if (std::holds_alternative<std::monostate>(c)) return 0;
    throw ESQLiteException(QStringLiteral("Not an integer or numeric field"));
}

qint64 TSQLiteTable::FieldAsInteger(int i) const
{
    const Cell& c = cell(i);
    if (auto p = std::get_if<qint64>(&c)) return *p;
    if (auto p = std::get_if<double>(&c)) {
        if (!std::isfinite(*p) || std::fabs(*p) >= 9.2e18) return 0;
        return static_cast<qint64>(std::trunc(*p));
    }
    if (std::holds_alternative<std::monostate>(c)) return 0;
    throw ESQLiteException(QStringLiteral("Not an integer or numeric field"));
}

QByteArray TSQLiteTable::FieldAsBlob(int i) const
{
    const Cell& c = cell(i);
    if (auto p = std::get_if<QByteArray>(&c)) return *p;
    if (std::holds_alternative<std::monostate>(c)) return QByteArray();
    throw ESQLiteException(QStringLiteral("Not a Blob field"));
}
