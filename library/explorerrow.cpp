#include "library/explorerrow.h"

#include <QSet>

#include "engine/microsf.h"
#include "engine/precord.h"

namespace explorerrow {

namespace {

// the texts every row repeats, shared rather than built per row
const QString& zero()
{
    static const QString z = QStringLiteral("0");
    return z;
}

QString extensionOf(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : fileName.mid(dot).toUpper();
}

}  // namespace

QStringList defaults()
{
    static const QStringList row = [] {
        QStringList r;
        for (int c = 0; c < gridcol::count; ++c) r << QString();
        for (int c = gridcol::cue1; c <= gridcol::cue11; ++c) r[c] = zero();
        r[gridcol::gain] = QStringLiteral("10");
        return r;
    }();
    return row;
}

std::pair<QString, QString> nameSplit(const QString& fileName, Split split)
{
    const QString n = fileName.left(std::max<qsizetype>(0, fileName.size() - 4));
    const qsizetype dash = n.indexOf(QLatin1Char('-'));
    const bool trim = split == Split::Listing;
    if (dash < 0) {
        const QString both = (trim ? LTrim(n) : n).toUpper();
        return {both, both};
    }
    const QString before = n.left(dash), after = n.mid(dash + 1);
    return trim ? std::pair{LTrim(before), LTrim(after)} : std::pair{before, after};
}

bool listed(const QString& fileName)
{
    static const QSet<QString> ext = {".WAV", ".MP3", ".OGG", ".WMA", ".FLAC", ".MP1", ".MP2", ".AIFF"};
    return ext.contains(extensionOf(fileName));
}

bool searched(const QString& fileName)
{
    static const QSet<QString> ext = {".MP3", ".OGG", ".MP1", ".MP2", ".WMA", ".FLAC", ".AIFF", ".AAC", ".MP4", ".WAV"};
    return ext.contains(extensionOf(fileName));
}

QStringList fileRow(const QString& path, const QString& fileName, Split split)
{
    QStringList r = defaults();
    auto [artist, title] = nameSplit(fileName, split);
    r[gridcol::artist] = std::move(artist);
    r[gridcol::title] = std::move(title);
    r[gridcol::path] = path;
    return r;
}

QStringList libraryRow(const PRecord& rec, const QString& path)
{
    QStringList r = defaults();
    r[gridcol::bpm] = rec.bpm.get();
    r[gridcol::artist] = rec.artist.get();
    r[gridcol::title] = rec.title.get();
    r[gridcol::time] = rec.fduratotal.get();
    r[gridcol::path] = path;
    for (int slot = tagslot::cue1; slot <= tagslot::cue11; ++slot)
        r[tagSlotColumn(slot)] = FloatText(rec.tag[size_t(slot)]);
    r[gridcol::bass] = QString::number(rec.bas.load());
    r[gridcol::treble] = QString::number(rec.tre.load());
    r[gridcol::mid] = QString::number(rec.mid.load());
    r[gridcol::gain] = QString::number(rec.gain.load());
    r[gridcol::id] = QString::number(rec.id.load());
    r[gridcol::veces] = QString::number(rec.veces.load());
    return r;
}

}  // namespace explorerrow
