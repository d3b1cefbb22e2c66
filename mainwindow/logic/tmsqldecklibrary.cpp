#include "mainwindow/logic/tmsqldecklibrary.h"

#include "library/tmsql.h"

void TmsqlDeckLibrary::salvatag(const PRecord& record, const QString& filename) { sql_.salvatag(record, filename); }
