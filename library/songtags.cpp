#include "library/songtags.h"

#include <cstdio>
#include <exception>

#include <QFileInfo>

#include "engine/microsf.h"
#include "library/taudioinfo.h"

namespace songtags {

namespace {
QString extensionOf(const QString& path)
{
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1).toUpper();
}

QString fileNameOf(const QString& path) { return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1); }
}  // namespace

bool accepted(const QString& path)
{
    static const QStringList types = {QStringLiteral("MP3"), QStringLiteral("OGG"), QStringLiteral("MP1"),
                                      QStringLiteral("MP2"), QStringLiteral("WMA"), QStringLiteral("FLAC"),
                                      QStringLiteral("AIFF"), QStringLiteral("WAV")};
    return types.contains(extensionOf(path));
}

void fromName(const QString& name, Ttagsong& t)
{
    const qsizetype dash = name.indexOf(QLatin1Char('-'));
    if (dash >= 0) {
        t.Artist = name.left(dash);
        t.Title = name.mid(dash + 1);
    } else {
        t.Artist = name.toUpper();
        t.Title = name.toUpper();
    }
}

bool ReadTag(const QString& alfichero, Ttagsong& t, TAudioInfo& a)
{
    const QString longName = LongFileName(alfichero);
    try {
        a.LoadFromFile(longName);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "korvanta library: cannot read tags of %s: %s\n", qPrintable(alfichero), e.what());
        return false;
    }
    const QString base = fileNameOf(longName).chopped(std::min<qsizetype>(4, fileNameOf(longName).size()));
    if (!a.fID3v1.fOk) {
        fromName(base, t);
        return true;
    }
    const TID3v1Tag& tag = a.fID3v1;
    if (!tag.fTitle.isEmpty() || !tag.fArtist.isEmpty()) {
        t.Title = tag.fTitle;
        t.Artist = tag.fArtist;
        t.Album = tag.fAlbum;
        t.Track = tag.fTrack;
        t.Year = tag.fYear;
        t.Genre = tag.fGenre;
        t.Comment = tag.fComment;
        return true;
    }
    fromName(base, t);
    a.fID3v1.SetField(1, t.Title);
    a.fID3v1.SetField(2, t.Artist);
    if (!a.fID3v1.fModified) return true;  // nothing Latin-1 can hold
    try {
        a.fID3v1.SaveToFile(longName);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "korvanta library: cannot write the tag of %s: %s\n", qPrintable(alfichero), e.what());
    }
    return true;
}

bool tagStep(const QString& alfichero, bool /*playlists*/, Ttagsong& t, TAudioInfo& a)
{
    const QString ext = extensionOf(alfichero);
    if (!accepted(alfichero)) return false;
    QString name = fileNameOf(LongFileName(alfichero));
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) name.truncate(dot);
    // both panels store the C-locale form that the deck ticks write and every reader parses
    t.Bpm = QStringLiteral("000.000");
    if (ext != QLatin1String("MP3") || !ReadTag(alfichero, t, a)) fromName(name, t);
    if (t.Artist.isEmpty() && t.Title.isEmpty()) fromName(name, t);
    t.alfichero = alfichero;
    return true;
}

}  // namespace songtags
