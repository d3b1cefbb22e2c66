// The connection's streaming query: kept apart from the buffered one's file.
#include "library/tsqlitedatabase.h"
#include "library/tsqliteunitable.h"

std::unique_ptr<TSQLiteUniTable> TSQLiteDatabase::GetUniTable(const QString& SQL, const QVariantList& binds)
{
    return std::make_unique<TSQLiteUniTable>(*this, SQL, binds);
}
