#include "mainwindow/logic/droppedfile.h"

#include <QFileInfo>

#include "engine/microsf.h"
#include "engine/precord.h"

namespace {
QString trimLeft(const QString& s)
{
    qsizetype i = 0;
    while (i < s.size() && s.at(i) <= QLatin1Char(' ')) ++i;
    return s.mid(i);
}
}  // namespace

QStringList DroppedFile::blankRow()
{
    QStringList r;
    for (int c = 0; c < gridcol::count; ++c)
        r << (c <= gridcol::path ? QString() : c == gridcol::gain ? QStringLiteral("10") : QStringLiteral("0"));
    return r;
}

QStringList DroppedFile::row(const QString& path, bool demo)
{
    QStringList r = blankRow();
    const QString file = QFileInfo(path).fileName();
    const QString name = file.left(std::max<qsizetype>(0, file.size() - 4));
    const qsizetype dash = name.indexOf(QLatin1Char('-'));
    if (dash >= 0) {
        const QString artist = name.left(dash), title = name.mid(dash + 1);
        r[gridcol::artist] = demo ? artist : trimLeft(artist);
        r[gridcol::title] = demo ? title : trimLeft(title);
    } else {
        r[gridcol::artist] = r[gridcol::title] = trimLeft(name.toUpper());
    }
    r[gridcol::path] = ShortFileName(path);
    return r;
}

int DroppedFile::zone(QPoint at)
{
    if (at.y() >= 380) return 0;
    if (at.x() < 500) return 1;
    if (at.x() > 560) return 2;
    return 0;
}
