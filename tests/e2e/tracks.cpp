#include "tests/e2e/tracks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace e2e {

namespace {

// bumped whenever the synthesis or the set changes, so an old set is made again
const char* const kStamp = ".made-v1";

bool make(const Track& t, const QString& scratch, QString* error)
{
    if (QFileInfo::exists(t.path)) return true;
    const QString wav = scratch + QStringLiteral("/groove.wav");
    if (!writeWav(wav, synthGroove(t.groove)) || !encode(wav, t.path)) {
        *error = QStringLiteral("could not make ") + t.path;
        return false;
    }
    return true;
}

}  // namespace

TrackSet makeTracks(const QString& root, QString* error)
{
    error->clear();
    TrackSet s;
    s.groupsDir = root + QStringLiteral("/groups");
    s.automixDir = root + QStringLiteral("/automix");
    const char* const formats[] = {"mp3", "mp2", "wav", "aiff", "flac", "ogg", "wma"};
    for (int i = 1; i <= 30; ++i) {
        Track t;
        t.artist = QStringLiteral("Artist %1").arg(i, 2, 10, QLatin1Char('0'));
        t.title = QStringLiteral("Groove %1").arg(i, 2, 10, QLatin1Char('0'));
        t.groove.bpm = i == 1 ? 126 : 100 + (i * 13) % 41;
        t.groove.high = i == 1 || i % 2 == 0;
        t.groove.seconds = i == 1 ? 150 : 30;
        t.groove.seed = uint32_t(i);
        t.path = s.groupsDir + QLatin1Char('/') + t.artist + QStringLiteral(" - ") + t.title + QLatin1Char('.') +
                 QLatin1String(formats[(i - 1) % 7]);
        s.accepted.push_back(t);
    }
    for (int i = 1; i <= 3; ++i) {
        Track t;
        t.artist = QStringLiteral("Deck A %1").arg(i);
        t.title = QStringLiteral("Low Groove");
        t.groove = Groove{120, false, i == 1 ? 150.0 : 30.0, uint32_t(100 + i)};
        t.path = s.groupsDir + QLatin1Char('/') + t.artist + QStringLiteral(" - ") + t.title + QStringLiteral(".m4a");
        s.m4a.push_back(t);
    }
    for (int i = 1; i <= 4; ++i) {
        Track t;
        t.artist = QStringLiteral("Automix %1").arg(i);
        t.title = QStringLiteral("Part %1").arg(i);
        t.groove = Groove{double(110 + 5 * i), i % 2 == 0, 15, uint32_t(200 + i)};
        t.path = s.automixDir + QLatin1Char('/') + t.artist + QStringLiteral(" - ") + t.title + QStringLiteral(".mp3");
        s.automix.push_back(t);
    }
    const QString stamp = root + QLatin1Char('/') + QLatin1String(kStamp);
    if (QFileInfo::exists(stamp)) return s;
    // an older set goes whole
    QDir(s.groupsDir).removeRecursively();
    QDir(s.automixDir).removeRecursively();
    QDir().mkpath(s.groupsDir);
    QDir().mkpath(s.automixDir);
    const QString scratch = root + QStringLiteral("/scratch");
    QDir().mkpath(scratch);
    for (const auto* list : {&s.accepted, &s.m4a, &s.automix})
        for (const Track& t : *list)
            if (!make(t, scratch, error)) return s;
    QDir(scratch).removeRecursively();
    QFile f(stamp);
    if (f.open(QIODevice::WriteOnly)) f.write("grooves of known tempo\n");
    return s;
}

}  // namespace e2e
