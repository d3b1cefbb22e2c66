#include "library/songgridrow.h"

#include <cmath>
#include <iterator>

#include <QFileInfo>
#include <QLocale>

#include "engine/precord.h"
#include "library/tsqlitetable.h"
#include "library/visualpacer.h"

namespace songgridrow {

QStringList blank()
{
    QStringList r;
    r.reserve(gridcol::count);
    for (int i = 0; i < gridcol::count; ++i) r << QString();
    return r;
}

QStringList headers(Kind kind)
{
    QStringList h = blank();
    h[gridcol::deck] = QStringLiteral("   T");
    h[gridcol::order] = kind == Kind::Playlists ? QStringLiteral("   O") : QStringLiteral("   V");
    h[gridcol::bpm] = QStringLiteral("   BPM");
    h[gridcol::artist] = QStringLiteral("   Artist");
    h[gridcol::title] = QStringLiteral("   Title");
    h[gridcol::time] = QStringLiteral("   Time");
    return h;
}

QString order(qint64 position)
{
    const QString d = QString::number(position < 0 ? -position : position).rightJustified(4, QLatin1Char('0'));
    return position < 0 ? QLatin1Char('-') + d : d;
}

QString bpm(double value)
{
    if (!std::isfinite(value)) value = 0;
    QString s = QString::asprintf("%.3f", std::fabs(value));
    while (s.indexOf(QLatin1Char('.')) < 3) s.prepend(QLatin1Char('0'));
    if (value < 0 && s != QLatin1String("000.000")) s.prepend(QLatin1Char('-'));
    return s;
}

double bpmValue(const QString& text)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(QString(text.trimmed()).replace(QLatin1Char(','), QLatin1Char('.')), &ok);
    return ok && std::isfinite(v) ? v : 0;
}

QString deckMarks(Kind kind, const QString& path, const QString& loada, const QString& loadb)
{
    QString m = kind == Kind::Groups ? QStringLiteral(" ") : kind == Kind::Playlists ? QStringLiteral("   ") : QString();
    if (!loada.isEmpty() && loada == path) m += QLatin1Char('A');
    if (!loadb.isEmpty() && loadb == path) m += QLatin1Char('B');
    return m;
}

QList<QStringList> listing(TSQLiteTable& songs, bool withOrder, VisualPacer* pacer)
{
    QList<QStringList> rows;
    if (songs.GetCount() == 0) return rows;
    rows.reserve(songs.GetCount());
    // the grid column each field fills, looked up once
    struct Field {
        int column;
        const char* name;
    };
    static const Field fields[] = {
        {gridcol::bpm, "bpm"},       {gridcol::artist, "artista"}, {gridcol::title, "cancion"},
        {gridcol::time, "genero"},   {gridcol::path, "fichero"},   {7, "cue1"},
        {8, "cue2"},                 {9, "cue3"},                  {10, "cue4"},
        {11, "cue5"},                {12, "cue6"},                 {13, "cue7"},
        {14, "cue8"},                {15, "cue9"},                 {gridcol::cue0, "cue0"},
        {gridcol::bass, "bass"},     {gridcol::treble, "treble"},  {gridcol::mid, "mid"},
        {gridcol::gain, "gain"},     {gridcol::id, "id"},          {gridcol::veces, "album"},
        {gridcol::cue10, "cue10"},   {gridcol::cue11, "cue11"},
    };
    int at[std::size(fields)];
    for (size_t i = 0; i < std::size(fields); ++i) at[i] = songs.GetFieldIndex(QLatin1String(fields[i].name));
    const int orden = withOrder ? songs.GetFieldIndex(QStringLiteral("orden")) : -1;
    for (songs.MoveFirst(); !songs.GetEOF(); songs.Next()) {
        if (pacer) pacer->tick();
        QStringList r = blank();
        for (size_t i = 0; i < std::size(fields); ++i) r[fields[i].column] = songs.FieldAsString(at[i]);
        if (!QFileInfo::exists(r[gridcol::path])) r[gridcol::deck] = QStringLiteral(" ");
        if (orden >= 0) r[gridcol::order] = order(songs.FieldAsInteger(orden));
        rows.push_back(std::move(r));
    }
    return rows;
}

}  // namespace songgridrow
