// Writes seed files for the tag fuzzers into the folder named on the command line: wide-text
// tags of the three versions, tags of the frame-list writer, and ID3v1 tags, each in front of
// (or behind) a few MPEG frames.
#include <cstdio>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include "library/tid3v1tag.h"
#include "library/tid3v2.h"

namespace {
QByteArray mpegFrames()
{
    // MPEG-1 Layer III, 128 kbit/s, 44100 Hz: 417-byte frames of silence
    QByteArray f = QByteArray("\xFF\xFB\x90\x64", 4);
    f.append(417 - 4, '\0');
    return f.repeated(3);
}

bool save(const QDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile f(dir.filePath(name));
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_tagseeds FOLDER\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    bool ok = true;
    for (int version : {2, 3, 4}) {
        TID3v2 t;
        t.FVersionID = version;
        t.FTitle = QStringLiteral("Tïtle 題名");
        t.FArtist = QStringLiteral("Artist");
        t.FAlbum = QStringLiteral("Альбом");
        t.FTrackString = QStringLiteral("3/9");
        t.FYear = QStringLiteral("2001");
        t.FGenre = QStringLiteral("Trance");
        t.FComment = QStringLiteral("comment");
        t.FLink = QStringLiteral("http://x.org/");
        t.FLyrics = QStringLiteral("la la");
        t.FTSIZ = QStringLiteral("1000");
        ok &= save(dir, QStringLiteral("wide%1.mp3").arg(version), t.Render() + mpegFrames());
    }
    TID3v1Tag v1;
    v1.fOk = true;
    v1.SetField(1, QStringLiteral("Title"));
    v1.SetField(2, QStringLiteral("Artist"));
    v1.SetTrack(4);
    v1.SetGenreID(17);
    uint8_t tag[128];
    v1.Save(tag, sizeof tag);
    ok &= save(dir, QStringLiteral("v1.mp3"), mpegFrames() + QByteArray(reinterpret_cast<char*>(tag), 128));
    ok &= save(dir, QStringLiteral("plain.mp3"), mpegFrames());
    return ok ? 0 : 1;
}
