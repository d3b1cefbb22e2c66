#include "library/tid3v1tag.h"

#include <cstring>
#include <stdexcept>

#include <QFile>
#include <QIODevice>

namespace {
const char* const kGenres[148] = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz", "Metal",
    "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial",
    "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop", "Vocal",
    "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game", "Sound Clip",
    "Gospel", "Noise", "AlternRock", "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop",
    "Instrumental Rock", "Ethnic", "Gothic", "Darkwave", "Techno-Industrial", "Electronic", "Pop-Folk",
    "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta", "Top 40", "Christian Rap", "Pop/Funk",
    "Jungle", "Native American", "Cabaret", "New Wave", "Psychedelic", "Rave", "Showtunes", "Trailer", "Lo-Fi",
    "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock",
    "Folk", "Folk/Rock", "National Folk", "Swing", "Fast Fusion", "Bebob", "Latin", "Revival", "Celtic",
    "Bluegrass", "Avantgarde", "Gothic Rock", "Progressive Rock", "Psychedelic Rock", "Symphonic Rock",
    "Slow Rock", "Big Band", "Chorus", "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera",
    "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus", "Porn Groove", "Satire", "Slow Jam", "Club",
    "Tango", "Samba", "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock",
    "Drum Solo", "Acapella", "Euro-House", "Dance Hall", "Goa", "Drum & Bass", "Club-House", "Hardcore",
    "Terror", "Indie", "BritPop", "Negerpunk", "Polsk Punk", "Beat", "Christian Gangs", "Heavy Metal",
    "Black Metal", "Crossover", "Contemporary Ch?", "Cristian Rock", "Merengue", "Salsa", "Thrash Metal",
    "Anime", "JPop", "Synthpop",
};

QString readText(const uint8_t* p, int len)
{
    int n = 0;
    while (n < len && p[n] != 0) ++n;
    while (n > 0 && p[n - 1] <= 0x20) --n;  // trailing blanks and control characters
    return QString::fromLatin1(reinterpret_cast<const char*>(p), n);
}

void writeText(uint8_t* p, int len, const QString& s)
{
    const QByteArray b = s.left(len).toLatin1();
    std::memset(p, 0x20, static_cast<size_t>(len));
    std::memcpy(p, b.constData(), static_cast<size_t>(std::min<qsizetype>(b.size(), len)));
}

int fieldLen(int index, bool v1)
{
    switch (index) {
    case 1: case 2: case 4: return 30;
    case 3: return 4;
    case 5: return v1 ? 30 : 28;
    default: return 0;
    }
}

[[noreturn]] void fileError(const QFile& f, const char* what)
{
    throw std::runtime_error(std::string(what) + " " + f.fileName().toStdString() + ": " +
                             f.errorString().toStdString());
}

bool endsWithTag(QFile& f)
{
    if (f.size() < 128) return false;
    if (!f.seek(f.size() - 128)) fileError(f, "cannot seek in");
    char h[3];
    if (f.read(h, 3) != 3) fileError(f, "cannot read");
    return h[0] == 'T' && h[1] == 'A' && h[2] == 'G';
}
}  // namespace

QString TID3v1Tag::GenreName(int id)
{
    return id >= 0 && id < 148 ? QString::fromLatin1(kGenres[id]) : QString();
}

void TID3v1Tag::Load(const uint8_t* ABuf, int64_t ABufSz)
{
    fModified = false;
    if (!ABuf || ABufSz < 128 || std::memcmp(ABuf, "TAG", 3) != 0) {
        fOk = false;
        return;
    }
    fOk = true;
    fTitle = readText(ABuf + 3, 30);
    fArtist = readText(ABuf + 33, 30);
    fAlbum = readText(ABuf + 63, 30);
    fYear = readText(ABuf + 93, 4);
    fComment = readText(ABuf + 97, 30);
    if (ABuf[125] != 0) {
        fv1 = true;
        fTrack = 0;
    } else if (ABuf[126] != 0) {
        fv1 = false;
        fTrack = ABuf[126];
    } else {
        fv1 = true;
        fTrack = 0;
    }
    fGenreID = ABuf[127];
    fGenre = GenreName(fGenreID);
}

void TID3v1Tag::LoadFromStream(QIODevice* AStream, int64_t AStreamSz)
{
    if (!AStream || AStreamSz < 128) {
        fOk = false;
        return;
    }
    uint8_t buf[128];
    if (!AStream->seek(AStream->pos() + AStreamSz - 128) ||
        AStream->read(reinterpret_cast<char*>(buf), 128) != 128) {
        fOk = false;
        return;
    }
    Load(buf, 128);
}

void TID3v1Tag::LoadFromFile(const QString& AFileName)
{
    QFile f(AFileName);
    if (!f.open(QIODevice::ReadOnly)) fileError(f, "cannot open");
    LoadFromStream(&f, f.size());
}

void TID3v1Tag::Save(uint8_t* ABuf, int64_t ABufSz)
{
    if (!ABuf || ABufSz < 128) throw std::runtime_error("TID3v1Tag.Save: Buffer too small");
    std::memcpy(ABuf, "TAG", 3);
    writeText(ABuf + 3, 30, fTitle);
    writeText(ABuf + 33, 30, fArtist);
    writeText(ABuf + 63, 30, fAlbum);
    writeText(ABuf + 93, 4, fYear);
    writeText(ABuf + 97, 30, fComment);
    if (!fv1) {
        ABuf[125] = 0;
        ABuf[126] = static_cast<uint8_t>(fTrack & 0xFF);
    }
    ABuf[127] = static_cast<uint8_t>(fGenreID & 0xFF);
    fModified = false;
}

void TID3v1Tag::SaveToStream(QIODevice* AStream)
{
    uint8_t buf[128];
    Save(buf, sizeof buf);
    if (AStream->write(reinterpret_cast<const char*>(buf), 128) != 128)
        throw std::runtime_error("cannot write the tag: " + AStream->errorString().toStdString());
}

void TID3v1Tag::SaveToFile(const QString& AFileName)
{
    QFile f(AFileName);
    if (!f.exists()) throw std::runtime_error("no such file: " + AFileName.toStdString());
    if (!f.open(QIODevice::ReadWrite)) fileError(f, "cannot open");
    const qint64 size = f.size();
    const bool replace = endsWithTag(f);
    uint8_t buf[128];
    Save(buf, sizeof buf);
    const qint64 at = replace ? size - 128 : size;
    if (!f.seek(at) || f.write(reinterpret_cast<const char*>(buf), 128) != 128 || !f.flush()) {
        const QString err = f.errorString();
        if (!replace) f.resize(size);
        throw std::runtime_error("cannot write the tag into " + AFileName.toStdString() + ": " + err.toStdString());
    }
}

void TID3v1Tag::DeleteFromFile(const QString& AFileName)
{
    QFile f(AFileName);
    if (!f.exists()) throw std::runtime_error("no such file: " + AFileName.toStdString());
    if (!f.open(QIODevice::ReadWrite)) fileError(f, "cannot open");
    if (endsWithTag(f) && !f.resize(f.size() - 128)) fileError(f, "cannot shorten");
}

QString TID3v1Tag::GetField(int index) const
{
    switch (index) {
    case 1: return fTitle;
    case 2: return fArtist;
    case 3: return fYear;
    case 4: return fAlbum;
    case 5: return fComment;
    default: return QString();
    }
}

void TID3v1Tag::SetField(int index, const QString& text)
{
    const int len = fieldLen(index, fv1);
    if (len == 0) return;
    const QString t = text.left(len);
    // a character past Latin-1 would be written as "?": the field keeps what it held
    for (QChar c : t)
        if (c.unicode() > 0xFF) return;
    QString* field = index == 1 ? &fTitle : index == 2 ? &fArtist : index == 3 ? &fYear : index == 4 ? &fAlbum : &fComment;
    if (*field != t) {
        *field = t;
        fModified = true;
    }
}

void TID3v1Tag::SetTrack(int Value)
{
    if (Value == fTrack) return;
    fTrack = Value;
    fv1 = Value == 0;
    fModified = true;
}

void TID3v1Tag::SetGenreID(int Value)
{
    if (Value == fGenreID) return;
    fGenreID = Value;
    fGenre = GenreName(Value);
    fModified = true;
}

void TID3v1Tag::Setv1(bool Value)
{
    if (Value == fv1) return;
    fv1 = Value;
    fModified = true;
}
