#include "library/tid3v2.h"

#include <vector>

#include <QFile>
#include <QIODevice>
#include <QSaveFile>

#include "library/id3v1genres.h"

namespace {

enum Slot {
    sTitle, sArtist, sAlbum, sTrack, sYear, sGenre, sComment, sComposer, sEncoder, sCopyright, sLanguage, sLink,
    sRecTime, sOrigArtist, sGroup, sOrigAlbum, sSize, sLyrics, kSlots
};

// the four-letter identifier (2.3, 2.4) and the three-letter one (2.2) of each slot
const char* const kIds[kSlots][2] = {
    {"TIT2", "TT2"}, {"TPE1", "TP1"}, {"TALB", "TAL"}, {"TRCK", "TRK"}, {"TYER", "TYE"}, {"TCON", "TCO"},
    {"COMM", "COM"}, {"TCOM", "TCM"}, {"TENC", "TEN"}, {"TCOP", "TCR"}, {"TLAN", "TLA"}, {"WXXX", "WXX"},
    {"TDRC", "TOR"}, {"TOPE", "TOA"}, {"TIT1", "TT1"}, {"TOAL", "TOT"}, {"TSIZ", "TSI"}, {"USLT", "ULT"},
};

constexpr int64_t kChunk = 1 << 20;
constexpr uint32_t kSynchsafeMax = 0x0FFFFFFF;

int slotOf(const QByteArray& id, int version)
{
    const int col = version == 2 ? 1 : 0;
    for (int s = 0; s < kSlots; ++s)
        if (id == kIds[s][col]) return s;
    return -1;
}

uint32_t be(const char* p, int n)
{
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | uint8_t(p[i]);
    return v;
}

bool synchsafeBytes(const char* p) { return ((p[0] | p[1] | p[2] | p[3]) & 0x80) == 0; }

uint32_t synchsafe(const char* p)
{
    return uint32_t(uint8_t(p[0]) & 0x7F) << 21 | uint32_t(uint8_t(p[1]) & 0x7F) << 14 |
           uint32_t(uint8_t(p[2]) & 0x7F) << 7 | uint32_t(uint8_t(p[3]) & 0x7F);
}

QByteArray synchsafeOf(uint32_t v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i) b[3 - i] = char((v >> (7 * i)) & 0x7F);
    return b;
}

QByteArray beOf(uint32_t v, int n)
{
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i) b[n - 1 - i] = char(v >> (8 * i));
    return b;
}

// Undoes unsynchronisation: every 0xFF 0x00 pair stands for 0xFF.
QByteArray deunsync(const QByteArray& in)
{
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        out.append(in[i]);
        if (uint8_t(in[i]) == 0xFF && i + 1 < in.size() && in[i + 1] == 0) ++i;
    }
    return out;
}

bool wide(uint8_t enc) { return enc == 1 || enc == 2; }

// The text of encoding `enc` that starts at `from` and runs to its terminator (or the end);
// *next is the first byte after the terminator.
QString decodeTerminated(uint8_t enc, const QByteArray& d, qsizetype from, qsizetype* next = nullptr)
{
    const qsizetype n = d.size();
    if (from > n) from = n;
    if (!wide(enc)) {
        qsizetype z = from;
        while (z < n && d[z] != 0) ++z;
        if (next) *next = z < n ? z + 1 : n;
        const QByteArray bytes = d.mid(from, z - from);
        return enc == 3 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
    }
    bool little = enc == 1;  // UTF-16 without a byte-order mark is taken as little-endian
    qsizetype p = from;
    if (p + 1 < n) {
        const uint8_t a = uint8_t(d[p]), b = uint8_t(d[p + 1]);
        if (a == 0xFF && b == 0xFE) little = true, p += 2;
        else if (a == 0xFE && b == 0xFF) little = false, p += 2;
    }
    QString s;
    while (p + 1 < n) {
        const uint8_t a = uint8_t(d[p]), b = uint8_t(d[p + 1]);
        p += 2;
        const char16_t u = little ? char16_t(a | b << 8) : char16_t(a << 8 | b);
        if (u == 0) {
            if (next) *next = p;
            return s;
        }
        s.append(QChar(u));
    }
    if (next) *next = n;
    return s;
}

bool fitsLatin1(const QString& s)
{
    for (QChar c : s)
        if (c.unicode() > 0xFF) return false;
    return true;
}

// Encoding byte for texts of this version: ISO-8859-1 when every text fits it.
uint8_t encodingFor(int version, std::initializer_list<const QString*> texts)
{
    for (const QString* t : texts)
        if (!fitsLatin1(*t)) return version == 4 ? 3 : 1;
    return 0;
}

QByteArray encode(uint8_t enc, const QString& s, bool terminate)
{
    QByteArray b;
    switch (enc) {
    case 0: b = s.toLatin1(); break;
    case 3: b = s.toUtf8(); break;
    default:
        b.reserve(2 + 2 * s.size());
        b.append("\xFF\xFE", 2);
        for (QChar c : s) {
            b.append(char(c.unicode() & 0xFF));
            b.append(char(c.unicode() >> 8));
        }
        break;
    }
    if (terminate) b.append(QByteArray(wide(enc) ? 2 : 1, '\0'));
    return b;
}

// "(17)", "(17)(18)" and, in 2.4, "17" name the genre; "(17)Own words" is the words;
// "((text" stands for "(text".
QString genreText(const QString& t, int version)
{
    if (t.startsWith(QLatin1String("(("))) return t.mid(1);
    if (t.startsWith(QLatin1Char('('))) {
        const qsizetype close = t.indexOf(QLatin1Char(')'));
        if (close < 0) return t;
        const QString ref = t.mid(1, close - 1), rest = t.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(QLatin1Char('('))) return rest;
        if (ref == QLatin1String("RX")) return QStringLiteral("Remix");
        if (ref == QLatin1String("CR")) return QStringLiteral("Cover");
        bool ok = false;
        const int n = ref.size() <= 3 ? ref.toInt(&ok) : -1;
        const QString name = ok ? id3v1genres::GenreName(n) : QString();
        return name.isEmpty() ? t : name;
    }
    if (version == 4 && !t.isEmpty() && t.size() <= 3) {
        bool ok = false;
        const int n = t.toInt(&ok);
        const QString name = ok ? id3v1genres::GenreName(n) : QString();
        if (!name.isEmpty()) return name;
    }
    return t;
}

int leadingNumber(const QString& s)
{
    int v = 0, digits = 0;
    for (QChar c : s.trimmed()) {
        if (!c.isDigit() || c.unicode() > '9' || ++digits > 9) break;
        v = v * 10 + (c.unicode() - '0');
    }
    return v;
}

enum class TagState { None, Ok, Bad };

struct RawTag {
    int version = 0;
    int flags = 0;
    int64_t total = 0;  // header, body and footer
    QByteArray body;    // frames, past any extended header; whole-tag unsynchronisation undone
};

// Reads the tag at the stream's position, AStreamSz bytes being there. Bad: the stream
// begins with "ID3" but what follows is not a tag we can place (damaged header, unknown
// version, or a tag longer than the data).
TagState readRaw(QIODevice* s, int64_t avail, RawTag& out)
{
    if (!s || avail < 3) return TagState::None;
    const QByteArray h = s->read(10);
    if (h.size() < 3 || !h.startsWith("ID3")) return TagState::None;
    if (h.size() < 10 || avail < 10) return TagState::Bad;
    const int version = uint8_t(h[3]);
    if (version < 2 || version > 4 || uint8_t(h[4]) == 0xFF || !synchsafeBytes(h.constData() + 6))
        return TagState::Bad;
    const int flags = uint8_t(h[5]);
    const int64_t size = synchsafe(h.constData() + 6);
    const int64_t total = 10 + size + (version == 4 && (flags & 0x10) ? 10 : 0);
    if (total > avail) return TagState::Bad;
    QByteArray body = s->read(size);
    if (body.size() != size) return TagState::Bad;
    if (version == 4 && (flags & 0x10)) s->read(10);  // the footer

    if (version == 2 && (flags & 0x40)) body.clear();  // a compression with no defined method
    if (version < 4 && (flags & 0x80)) body = deunsync(body);
    if ((flags & 0x40) && version >= 3) {
        int64_t skip = -1;
        if (body.size() >= 4) skip = version == 3 ? 4 + int64_t(be(body.constData(), 4)) : synchsafe(body.constData());
        if (skip < 0 || skip > body.size()) body.clear();
        else body.remove(0, skip);
    }
    out = RawTag{version, flags, total, body};
    return TagState::Ok;
}

// The tag of a file about to be rewritten; a file that cannot be read counts as Bad.
TagState openTag(QFile& in, RawTag& out)
{
    if (!in.open(QIODevice::ReadOnly)) return TagState::Bad;
    return readRaw(&in, in.size(), out);
}

struct Frame {
    QByteArray id;
    QByteArray raw;   // header and data as stored
    QByteArray data;  // the data ready to decode; empty when it cannot be read
};

bool validId(const QByteArray& id)
{
    for (char c : id)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    return true;
}

std::vector<Frame> framesOf(const RawTag& t)
{
    std::vector<Frame> out;
    const QByteArray& b = t.body;
    const int idLen = t.version == 2 ? 3 : 4, hdrLen = t.version == 2 ? 6 : 10;
    qsizetype pos = 0;
    while (pos + hdrLen <= b.size()) {
        const QByteArray id = b.mid(pos, idLen);
        if (id[0] == 0 || !validId(id)) break;  // padding, or no frame any more
        const char* p = b.constData() + pos + idLen;
        int64_t size;
        if (t.version == 2) size = be(p, 3);
        else if (t.version == 4 && synchsafeBytes(p)) size = synchsafe(p);
        else size = be(p, 4);  // 2.3, and 2.4 tags written with plain sizes
        const qsizetype start = pos + hdrLen;
        if (size > b.size() - start) break;
        Frame f{id, b.mid(pos, hdrLen + size), b.mid(start, size)};
        const uint8_t fl = t.version == 2 ? 0 : uint8_t(b[pos + 9]);
        if (t.version == 3) {
            if (fl & 0xC0) f.data.clear();  // compressed or encrypted
            else if (fl & 0x20) f.data.remove(0, 1);
        } else if (t.version == 4) {
            if (fl & 0x0C) {
                f.data.clear();
            } else {
                f.data.remove(0, ((fl & 0x40) ? 1 : 0) + ((fl & 0x01) ? 4 : 0));
                if ((fl & 0x02) || (t.flags & 0x80)) f.data = deunsync(f.data);
            }
        }
        out.push_back(std::move(f));
        pos = start + size;
    }
    return out;
}

QByteArray frameOf(int version, int slot, const QByteArray& data, bool* ok)
{
    const int64_t max = version == 2 ? 0xFFFFFF : kSynchsafeMax;
    if (data.size() > max) {
        *ok = false;
        return QByteArray();
    }
    const uint32_t n = uint32_t(data.size());
    if (version == 2) return QByteArray(kIds[slot][1], 3) + beOf(n, 3) + data;
    return QByteArray(kIds[slot][0], 4) + (version == 4 ? synchsafeOf(n) : beOf(n, 4)) + QByteArray(2, '\0') + data;
}

bool rewrite(const QString& name, QFile& in, int64_t skip, const QByteArray& head)
{
    QSaveFile out(name);
    if (!out.open(QIODevice::WriteOnly) || out.write(head) != head.size() || !in.seek(skip)) return false;
    for (;;) {
        const QByteArray chunk = in.read(kChunk);
        if (chunk.isEmpty()) break;
        if (out.write(chunk) != chunk.size()) return false;
    }
    return in.error() == QFileDevice::NoError && out.commit();
}

}  // namespace

void TID3v2::ResetData()
{
    *this = TID3v2();
}

bool TID3v2::ReadFromFile(const QString& FileName)
{
    QFile f(FileName);
    if (!f.open(QIODevice::ReadOnly)) {
        ResetData();
        return false;
    }
    return ReadFromStream(&f, f.size());
}

bool TID3v2::ReadFromStream(QIODevice* AStream, int64_t AStreamSz)
{
    ResetData();
    RawTag t;
    const TagState st = readRaw(AStream, AStreamSz, t);
    if (st != TagState::Ok) return st == TagState::None;
    FExists = true;
    FVersionID = t.version;
    FSize = t.total;

    QString text[kSlots];
    bool commentPlain = false;  // a comment without description was taken
    for (const Frame& f : framesOf(t)) {
        const int slot = slotOf(f.id, t.version);
        if (slot < 0 || f.data.isEmpty()) continue;
        const uint8_t enc = uint8_t(f.data[0]);
        if (slot == sComment || slot == sLyrics) {
            if (f.data.size() < 4) continue;
            qsizetype next = 0;
            const QString desc = decodeTerminated(enc, f.data, 4, &next);
            const QString body = decodeTerminated(enc, f.data, next);
            if (slot == sComment) {
                if (commentPlain || (!desc.isEmpty() && !text[slot].isEmpty())) continue;
                commentPlain = desc.isEmpty();
            } else if (!text[slot].isEmpty()) {
                continue;
            }
            text[slot] = body;
        } else if (slot == sLink) {
            qsizetype next = 0;
            decodeTerminated(enc, f.data, 1, &next);
            if (text[slot].isEmpty()) text[slot] = decodeTerminated(0, f.data, next);
        } else if (text[slot].isEmpty()) {
            text[slot] = decodeTerminated(enc, f.data, 1);
        }
    }
    FTitle = text[sTitle].isEmpty() ? text[sGroup] : text[sTitle];
    FArtist = text[sArtist];
    FAlbum = text[sAlbum].isEmpty() ? text[sOrigAlbum] : text[sAlbum];
    FTrackString = text[sTrack];
    FTrack = leadingNumber(FTrackString);
    FYear = text[sYear].isEmpty() ? text[sRecTime] : text[sYear];
    FGenre = genreText(text[sGenre], t.version);
    FComment = text[sComment];
    FComposer = text[sComposer];
    FEncoder = text[sEncoder];
    FCopyright = text[sCopyright];
    FLanguage = text[sLanguage];
    FLink = text[sLink];
    FOrigArtist = text[sOrigArtist];
    FLyrics = text[sLyrics];
    FTSIZ = text[sSize];
    return true;
}

QByteArray TID3v2::Render(const QByteArray& keptFrames, bool* okOut) const
{
    const int version = FVersionID == 2 || FVersionID == 4 ? FVersionID : 3;
    bool ok = true;
    QByteArray body;
    auto text = [&](int slot, const QString& value) {
        if (value.isEmpty()) return;
        const uint8_t enc = encodingFor(version, {&value});
        body += frameOf(version, slot, char(enc) + encode(enc, value, false), &ok);
    };
    auto described = [&](int slot, const QString& value) {  // comment and lyrics: no description
        if (value.isEmpty()) return;
        const uint8_t enc = encodingFor(version, {&value});
        body += frameOf(version, slot, char(enc) + QByteArray("XXX") + encode(enc, QString(), true) +
                                           encode(enc, value, false), &ok);
    };
    const QString track = FTrackString.isEmpty() && FTrack > 0 ? QString::number(FTrack) : FTrackString;
    // a genre that begins with "(" would read as a reference
    const QString genre = FGenre.startsWith(QLatin1Char('(')) ? QLatin1Char('(') + FGenre : FGenre;
    text(sTitle, FTitle);
    text(sArtist, FArtist);
    text(sAlbum, FAlbum);
    text(sTrack, track);
    text(version == 4 ? sRecTime : sYear, FYear);
    text(sGenre, genre);
    described(sComment, FComment);
    text(sComposer, FComposer);
    text(sEncoder, FEncoder);
    text(sCopyright, FCopyright);
    text(sLanguage, FLanguage);
    if (!FLink.isEmpty()) {
        // a URL is ISO-8859-1: other characters go percent-encoded as UTF-8
        QByteArray url;
        for (QChar c : FLink)
            url += c.unicode() <= 0xFF ? QByteArray(1, char(c.unicode()))
                                       : QString(c).toUtf8().toPercentEncoding();
        body += frameOf(version, sLink, QByteArray(2, '\0') + url, &ok);
    }
    text(sOrigArtist, FOrigArtist);
    text(sSize, FTSIZ);
    described(sLyrics, FLyrics);
    body += keptFrames;
    if (okOut) *okOut = ok && body.size() <= int64_t(kSynchsafeMax);
    if (!ok || body.size() > int64_t(kSynchsafeMax) || body.isEmpty()) return QByteArray();
    return QByteArray("ID3", 3) + char(version) + QByteArray(2, '\0') + synchsafeOf(uint32_t(body.size())) + body;
}

bool TID3v2::SaveToFile(const QString& FileName)
{
    QFile in(FileName);
    RawTag old;
    const TagState st = openTag(in, old);
    if (st == TagState::Bad) return false;
    const int version = FVersionID == 2 || FVersionID == 4 ? FVersionID : 3;
    QByteArray kept;
    if (st == TagState::Ok && old.version == version)
        for (const Frame& f : framesOf(old))
            if (slotOf(f.id, version) < 0) kept += f.raw;
    bool ok = false;
    const QByteArray tag = Render(kept, &ok);
    if (!ok) return false;
    const int64_t skip = st == TagState::Ok ? old.total : 0;
    if (tag.isEmpty() && skip == 0) return true;
    if (!rewrite(FileName, in, skip, tag)) return false;
    FExists = !tag.isEmpty();
    FVersionID = version;
    FSize = tag.size();
    return true;
}

bool TID3v2::RemoveFromFile(const QString& FileName)
{
    QFile in(FileName);
    RawTag old;
    const TagState st = openTag(in, old);
    if (st == TagState::Bad) return false;
    if (st == TagState::Ok && !rewrite(FileName, in, old.total, QByteArray())) return false;
    FExists = false;
    FSize = 0;
    return true;
}
