// Surfaces read from the program's raw-data resources, which are Qt resources here.
#include "engine/dib/tdibultra.h"

QString TDIBUltra::ResourcePath(const QString& ResName)
{
    return QStringLiteral(":/RCDATA/") + ResName.toUpper();
}

QString TDIBUltra::ResourcePath(int ResID)
{
    return QStringLiteral(":/RCDATA/#%1").arg(ResID);
}

TDIBUltra::TDIBUltra(const void*, const QString& ResName) : TDIBUltra(ResourcePath(ResName)) {}

TDIBUltra::TDIBUltra(const void*, int ResID) : TDIBUltra(ResourcePath(ResID)) {}
