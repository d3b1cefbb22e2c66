// The wide-text ID3v2 reader and writer: every mapped field through the three versions, the
// text encodings, the fall-back frames, and files it must refuse to touch.
#include <csignal>

#include <sys/resource.h>

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "library/id3v1genres.h"
#include "library/taudioinfo.h"
#include "library/tid3v1tag.h"
#include "library/tid3v2.h"
#include "library/tid3v2tag.h"
#include "library/ttextframe.h"
#include "tests/library/mp3fixture.h"

namespace {

// every field set, none of them ISO-8859-1 only, so that the wide encodings are exercised
TID3v2 filled(int version)
{
    TID3v2 t;
    t.FVersionID = version;
    t.FTitle = QStringLiteral("Пісня ночі");
    t.FArtist = QStringLiteral("東京 Ensemble");
    t.FAlbum = QStringLiteral("Ἀλβούμ");
    t.FTrackString = QStringLiteral("7/12");
    t.FYear = QStringLiteral("2011");
    t.FGenre = QStringLiteral("Électro ☂");
    t.FComment = QStringLiteral("коментар 🎧");
    t.FComposer = QStringLiteral("작곡가");
    t.FEncoder = QStringLiteral("Кодер 1.0");
    t.FCopyright = QStringLiteral("© Łódź");
    t.FLanguage = QStringLiteral("ukr");
    t.FLink = QStringLiteral("http://example.org/ñ");
    t.FOrigArtist = QStringLiteral("Ωριγκ");
    t.FLyrics = QStringLiteral("рядок один\nрядок два");
    t.FTSIZ = QStringLiteral("123456");
    return t;
}

void expectSameFields(const TID3v2& a, const TID3v2& b)
{
    EXPECT_EQ(a.FTitle, b.FTitle);
    EXPECT_EQ(a.FArtist, b.FArtist);
    EXPECT_EQ(a.FAlbum, b.FAlbum);
    EXPECT_EQ(a.FTrackString, b.FTrackString);
    EXPECT_EQ(a.FYear, b.FYear);
    EXPECT_EQ(a.FGenre, b.FGenre);
    EXPECT_EQ(a.FComment, b.FComment);
    EXPECT_EQ(a.FComposer, b.FComposer);
    EXPECT_EQ(a.FEncoder, b.FEncoder);
    EXPECT_EQ(a.FCopyright, b.FCopyright);
    EXPECT_EQ(a.FLanguage, b.FLanguage);
    EXPECT_EQ(a.FLink, b.FLink);
    EXPECT_EQ(a.FOrigArtist, b.FOrigArtist);
    EXPECT_EQ(a.FLyrics, b.FLyrics);
    EXPECT_EQ(a.FTSIZ, b.FTSIZ);
}

TID3v2 readBytes(const QByteArray& bytes, bool* ok = nullptr)
{
    QByteArray copy = bytes;
    QBuffer b(&copy);
    b.open(QIODevice::ReadOnly);
    TID3v2 t;
    const bool r = t.ReadFromStream(&b, copy.size());
    if (ok) *ok = r;
    return t;
}

// a frame of this version with raw data
QByteArray frame(int version, const char* id, const QByteArray& data, uint8_t flags = 0)
{
    if (version == 2) return QByteArray(id, 3) + mp3::be32(uint32_t(data.size())).mid(1) + data;
    const QByteArray size = version == 4 ? mp3::synchsafe(uint32_t(data.size())) : mp3::be32(uint32_t(data.size()));
    return QByteArray(id, 4) + size + char(0) + char(flags) + data;
}

QByteArray tag(int version, const QByteArray& body, uint8_t flags = 0)
{
    return QByteArray("ID3", 3) + char(version) + char(0) + char(flags) + mp3::synchsafe(uint32_t(body.size())) + body;
}

QByteArray utf16le(const QString& s, bool bom = true)
{
    QByteArray b = bom ? QByteArray("\xFF\xFE", 2) : QByteArray();
    for (QChar c : s) b += char(c.unicode() & 0xFF), b += char(c.unicode() >> 8);
    return b;
}

QByteArray utf16be(const QString& s, bool bom)
{
    QByteArray b = bom ? QByteArray("\xFE\xFF", 2) : QByteArray();
    for (QChar c : s) b += char(c.unicode() >> 8), b += char(c.unicode() & 0xFF);
    return b;
}

class TID3v2File : public ::testing::Test {
protected:
    QString file(const QByteArray& bytes, const QString& name = QStringLiteral("song.mp3"))
    {
        const QString p = dir.filePath(name);
        EXPECT_TRUE(mp3::write(p, bytes));
        return p;
    }
    QTemporaryDir dir;
    const QByteArray audio = mp3::frames(6);
};

class TID3v2Versions : public TID3v2File, public ::testing::WithParamInterface<int> {};

}  // namespace

TEST_P(TID3v2Versions, EveryMappedFieldRoundTripsWithNonLatinText)
{
    const int v = GetParam();
    const QString p = file(audio);
    TID3v2 out = filled(v);
    ASSERT_TRUE(out.SaveToFile(p));
    EXPECT_TRUE(out.FExists);

    const QByteArray bytes = mp3::read(p);
    EXPECT_TRUE(bytes.endsWith(audio));
    EXPECT_EQ(uint8_t(bytes[3]), v);
    EXPECT_EQ(bytes.size() - audio.size(), out.FSize);
    // the frames go by the version's own identifiers
    const QList<QByteArray> ids = v == 2 ? QList<QByteArray>{"TT2", "TP1", "TAL", "TRK", "TYE", "TCO", "COM", "TCM",
                                                             "TEN", "TCR", "TLA", "WXX", "TOA", "TSI", "ULT"}
                                         : QList<QByteArray>{"TIT2", "TPE1", "TALB", "TRCK", v == 4 ? "TDRC" : "TYER",
                                                             "TCON", "COMM", "TCOM", "TENC", "TCOP", "TLAN", "WXXX",
                                                             "TOPE", "TSIZ", "USLT"};
    for (const QByteArray& id : ids) EXPECT_TRUE(bytes.left(int(out.FSize)).contains(id)) << id.constData();

    TID3v2 in;
    ASSERT_TRUE(in.ReadFromFile(p));
    EXPECT_TRUE(in.FExists);
    EXPECT_EQ(in.FVersionID, v);
    EXPECT_EQ(in.FSize, out.FSize);
    EXPECT_EQ(in.FTrack, 7);
    expectSameFields(in, filled(v));

    // a second save over the first leaves the same file
    ASSERT_TRUE(in.SaveToFile(p));
    EXPECT_EQ(mp3::read(p), bytes);
}

INSTANTIATE_TEST_SUITE_P(Versions, TID3v2Versions, ::testing::Values(2, 3, 4),
                         [](const auto& info) { return "v2_" + std::to_string(info.param); });

TEST(TID3v2, TextEncodingsAsTheyAreStored)
{
    const QString word = QStringLiteral("Ünïcødé 音");
    const struct {
        const char* name;
        QByteArray data;
        QString expected;
    } cases[] = {
        {"ISO-8859-1", QByteArray(1, '\0') + QByteArray("Caf\xE9", 4), QStringLiteral("Café")},
        {"ISO-8859-1 with terminator", QByteArray(1, '\0') + QByteArray("Abc\0junk", 8), QStringLiteral("Abc")},
        {"UTF-16 little-endian mark", QByteArray(1, '\1') + utf16le(word) + QByteArray(2, '\0'), word},
        {"UTF-16 big-endian mark", QByteArray(1, '\1') + utf16be(word, true), word},
        {"UTF-16 without mark", QByteArray(1, '\1') + utf16le(word, false), word},
        {"UTF-16BE", QByteArray(1, '\2') + utf16be(word, false), word},
        {"UTF-8", QByteArray(1, '\3') + word.toUtf8() + QByteArray(1, '\0'), word},
        {"UTF-16 odd byte at the end", QByteArray(1, '\1') + utf16le(QStringLiteral("ab")) + "x", QStringLiteral("ab")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TID3v2 t = readBytes(tag(4, frame(4, "TIT2", c.data)));
        EXPECT_EQ(t.FTitle, c.expected);
    }
}

TEST(TID3v2, FallBackFramesStandInForMissingOnes)
{
    // TIT1, TOAL and TDRC (TT1, TOT, TOR) stand in for title, album and year
    const TID3v2 v3 = readBytes(tag(3, frame(3, "TIT1", QByteArray("\0Group", 6)) +
                                           frame(3, "TOAL", QByteArray("\0Original", 9)) +
                                           frame(3, "TDRC", QByteArray("\0" "1999-05-01", 11))));
    EXPECT_EQ(v3.FTitle, "Group");
    EXPECT_EQ(v3.FAlbum, "Original");
    EXPECT_EQ(v3.FYear, "1999-05-01");
    const TID3v2 v2 = readBytes(tag(2, frame(2, "TT1", QByteArray("\0G2", 3)) + frame(2, "TOT", QByteArray("\0O2", 3)) +
                                           frame(2, "TOR", QByteArray("\0" "1987", 5))));
    EXPECT_EQ(v2.FTitle, "G2");
    EXPECT_EQ(v2.FAlbum, "O2");
    EXPECT_EQ(v2.FYear, "1987");
    // the main frame wins whatever the order
    const TID3v2 both = readBytes(tag(3, frame(3, "TIT1", QByteArray("\0Group", 6)) +
                                             frame(3, "TIT2", QByteArray("\0Title", 6))));
    EXPECT_EQ(both.FTitle, "Title");
}

TEST(TID3v2, GenreReferencesTrackNumbersAndComments)
{
    const struct {
        int version;
        QByteArray genre;
        QString expected;
    } genres[] = {
        {3, "(17)", QStringLiteral("Rock")},
        {3, "(67)", QStringLiteral("Psychadelic")},  // the wide-text unit's own spellings
        {3, "(17)(18)", QStringLiteral("Rock")},
        {3, "(17)My Rock", QStringLiteral("My Rock")},
        {3, "(RX)", QStringLiteral("Remix")},
        {3, "(999)", QStringLiteral("(999)")},
        {3, "((Brackets)", QStringLiteral("(Brackets)")},
        {3, "17", QStringLiteral("17")},
        {4, "17", QStringLiteral("Rock")},
        {4, "Trance", QStringLiteral("Trance")},
    };
    for (const auto& g : genres) {
        SCOPED_TRACE(g.genre.constData());
        const TID3v2 t = readBytes(tag(g.version, frame(g.version, "TCON", '\0' + g.genre)));
        EXPECT_EQ(t.FGenre, g.expected);
    }
    EXPECT_EQ(id3v1genres::GenreName(123), "A capella");
    EXPECT_EQ(TID3v1Tag::GenreName(123), "Acapella");
    EXPECT_EQ(id3v1genres::GenreName(148), "");

    const TID3v2 track = readBytes(tag(3, frame(3, "TRCK", QByteArray("\0" "04/10", 6))));
    EXPECT_EQ(track.FTrack, 4);
    EXPECT_EQ(track.FTrackString, "04/10");

    // a comment without description is preferred to one a player left behind
    const QByteArray player = QByteArray("\0eng", 4) + QByteArray("iTunNORM\0 0000", 14);
    const QByteArray own = QByteArray("\0eng", 4) + QByteArray("\0Great mix", 10);
    const TID3v2 c = readBytes(tag(3, frame(3, "COMM", player) + frame(3, "COMM", own)));
    EXPECT_EQ(c.FComment, "Great mix");
    const TID3v2 only = readBytes(tag(3, frame(3, "COMM", player)));
    EXPECT_EQ(only.FComment, " 0000");
}

TEST(TID3v2, StoredTransformsAreUndone)
{
    // whole-tag unsynchronisation (2.3): 0xFF 0x00 stands for 0xFF
    const QByteArray plainText = QByteArray("\0A\xFF" "B", 4);
    QByteArray stored = frame(3, "TIT2", plainText);
    stored.replace(QByteArray("\xFF", 1), QByteArray("\xFF\x00", 2));
    const TID3v2 u3 = readBytes(tag(3, stored, 0x80));
    EXPECT_EQ(u3.FTitle, QString::fromLatin1("A\xFF" "B"));
    // 2.4 frame with its own unsynchronisation and a data length indicator
    const QByteArray data = mp3::synchsafe(4) + QByteArray("\0A\xFF\x00" "B", 5);
    const TID3v2 u4 = readBytes(tag(4, frame(4, "TIT2", data, 0x03)));
    EXPECT_EQ(u4.FTitle, QString::fromLatin1("A\xFF" "B"));
    // extended headers are stepped over
    const QByteArray ext3 = mp3::be32(6) + QByteArray(6, '\0');
    EXPECT_EQ(readBytes(tag(3, ext3 + frame(3, "TIT2", QByteArray("\0X", 2)), 0x40)).FTitle, "X");
    const QByteArray ext4 = mp3::synchsafe(6) + QByteArray("\x01\x00", 2);
    EXPECT_EQ(readBytes(tag(4, ext4 + frame(4, "TIT2", QByteArray("\0Y", 2)), 0x40)).FTitle, "Y");
    // compressed and encrypted frames are passed over, the frames after them read
    const QByteArray hidden = frame(3, "TPE1", QByteArray(12, 'z'), 0x80) + frame(3, "TIT2", QByteArray("\0T", 2));
    const TID3v2 h = readBytes(tag(3, hidden));
    EXPECT_TRUE(h.FArtist.isEmpty());
    EXPECT_EQ(h.FTitle, "T");
    // a 2.4 tag written with plain sizes still reads
    const QByteArray plain = QByteArray("TIT2") + mp3::be32(201) + QByteArray(2, '\0') + '\0' + QByteArray(200, 'p');
    EXPECT_EQ(readBytes(tag(4, plain)).FTitle, QString(200, QLatin1Char('p')));
}

TEST(TID3v2, LyingSizesReadNothingPastTheData)
{
    bool ok = false;
    // a frame claiming more than the tag holds ends the frames; what came before stays
    const QByteArray liar = QByteArray("TPE1") + mp3::be32(0x7FFFFFF0) + QByteArray(2, '\0') + "\0Band";
    const TID3v2 t = readBytes(tag(3, frame(3, "TIT2", QByteArray("\0Ok", 3)) + liar), &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(t.FTitle, "Ok");
    EXPECT_TRUE(t.FArtist.isEmpty());
    // an extended header longer than the tag leaves no frame
    const TID3v2 e = readBytes(tag(3, mp3::be32(1000) + frame(3, "TIT2", QByteArray("\0X", 2)), 0x40), &ok);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(e.FExists);
    EXPECT_TRUE(e.FTitle.isEmpty());
    // a tag longer than the data is refused
    const TID3v2 cut = readBytes(tag(3, frame(3, "TIT2", QByteArray("\0Ok", 3))).chopped(1), &ok);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(cut.FExists);
    EXPECT_TRUE(cut.FTitle.isEmpty());
}

TEST_F(TID3v2File, ExistingWriterAndThisOneReadEachOther)
{
    // the existing writer's Latin-1 frames read here
    const QString a = file(audio, QStringLiteral("a.mp3"));
    TID3v2Tag old;
    for (const auto& [id, text] : {std::pair{"TIT2", "Old title"}, std::pair{"TPE1", "Old artist"},
                                   std::pair{"TALB", "Old album"}}) {
        auto f = std::make_unique<TTextFrame>();
        f->SetId(id);
        f->SetText(QString::fromLatin1(text));
        old.FFramelist.Add(std::move(f));
    }
    old.UpdateSize();
    old.SaveToFile(a);
    TID3v2 wide;
    ASSERT_TRUE(wide.ReadFromFile(a));
    EXPECT_EQ(wide.FVersionID, 3);
    EXPECT_EQ(wide.FTitle, "Old title");
    EXPECT_EQ(wide.FArtist, "Old artist");
    EXPECT_EQ(wide.FAlbum, "Old album");
    EXPECT_EQ(wide.FSize, int64_t(old.FHeader.FSize) + 10);

    // and this writer's tag reads there: the frames, and the audio found right after the tag
    const QString b = file(audio, QStringLiteral("b.mp3"));
    TAudioInfo before;
    before.LoadFromFile(b);
    TID3v2 mine;
    mine.FTitle = QStringLiteral("Latin title");
    mine.FArtist = QStringLiteral("Артист");
    ASSERT_TRUE(mine.SaveToFile(b));
    TID3v2Tag back;
    back.LoadFromFile(b);
    ASSERT_TRUE(back.fOk);
    ASSERT_EQ(back.FFramelist.GetCount(), 2);
    auto* title = dynamic_cast<TTextFrame*>(back.FFramelist.GetID3Frame(0));
    auto* artist = dynamic_cast<TTextFrame*>(back.FFramelist.GetID3Frame(1));
    ASSERT_TRUE(title && artist);
    EXPECT_EQ(QByteArray(title->FId, 4), "TIT2");
    EXPECT_EQ(title->FEncode, 0);
    EXPECT_EQ(title->FText, "Latin title");
    EXPECT_EQ(QByteArray(artist->FId, 4), "TPE1");
    EXPECT_EQ(artist->FEncode, 1);  // UTF-16, whose bytes that reader keeps as they are
    EXPECT_EQ(back.GetSize(), mine.FSize);
    TAudioInfo after;
    after.LoadFromFile(b);
    EXPECT_EQ(after.fFirstMpegFramePos, mine.FSize);
    EXPECT_EQ(after.fDuration, before.fDuration);
    EXPECT_EQ(after.fBitRate, before.fBitRate);
}

TEST_F(TID3v2File, FramesNoFieldMapsAreKeptInTheSameVersion)
{
    const QByteArray apic = frame(3, "APIC", QByteArray("\0image/png\0\3\0", 13) + QByteArray(300, '\x89'));
    const QByteArray priv = frame(3, "PRIV", QByteArray("owner\0data", 10));
    const QString p = file(tag(3, frame(3, "TIT2", QByteArray("\0Old", 4)) + apic +
                                      frame(3, "TPE1", QByteArray("\0Old artist", 11)) + priv) + audio);
    TID3v2 t;
    ASSERT_TRUE(t.ReadFromFile(p));
    t.FTitle = QStringLiteral("New");
    t.FArtist.clear();
    ASSERT_TRUE(t.SaveToFile(p));
    const QByteArray bytes = mp3::read(p);
    EXPECT_TRUE(bytes.contains(apic));
    EXPECT_TRUE(bytes.contains(priv));
    EXPECT_FALSE(bytes.contains("Old"));
    EXPECT_TRUE(bytes.endsWith(audio));
    TID3v2 back;
    ASSERT_TRUE(back.ReadFromFile(p));
    EXPECT_EQ(back.FTitle, "New");
    EXPECT_TRUE(back.FArtist.isEmpty());

    // saved as another version the old frames cannot be carried over
    back.FVersionID = 4;
    ASSERT_TRUE(back.SaveToFile(p));
    EXPECT_FALSE(mp3::read(p).contains("APIC"));
    EXPECT_EQ(uint8_t(mp3::read(p)[3]), 4);
}

TEST_F(TID3v2File, RemoveLeavesTheAudioAndAnEmptyTagRemoves)
{
    const QString p = file(tag(4, frame(4, "TIT2", QByteArray("\0x", 2))) + audio);
    const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(p, mode));
    const QFileDevice::Permissions kept = QFile::permissions(p);
    TID3v2 t;
    ASSERT_TRUE(t.RemoveFromFile(p));
    EXPECT_EQ(mp3::read(p), audio);
    ASSERT_TRUE(t.RemoveFromFile(p));  // nothing left to remove
    EXPECT_EQ(mp3::read(p), audio);

    TID3v2 none;
    ASSERT_TRUE(none.SaveToFile(p));  // no field set: no tag
    EXPECT_EQ(mp3::read(p), audio);
    TID3v2 some;
    some.FTitle = QStringLiteral("t");
    ASSERT_TRUE(some.SaveToFile(p));
    some.FTitle.clear();
    ASSERT_TRUE(some.SaveToFile(p));
    EXPECT_EQ(mp3::read(p), audio);
    EXPECT_FALSE(some.FExists);
    EXPECT_EQ(QFile::permissions(p), kept);  // the new file takes the old one's mode
}

TEST_F(TID3v2File, AFileCutInsideItsTagIsRefusedAndLeftAsItIs)
{
    const QByteArray whole = tag(3, frame(3, "TIT2", QByteArray("\0Title", 6)) + QByteArray(100, '\0'));
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"cut inside the frames", whole.left(30)},
        {"cut inside the header", whole.left(7)},
        {"size byte above 0x7F", QByteArray("ID3\x03\x00\x00\x00\x00\x80\x10", 10) + audio},
        {"unknown version", QByteArray("ID3\x05\x00\x00", 6) + mp3::synchsafe(10) + QByteArray(10, '\0') + audio},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString p = file(c.bytes);
        TID3v2 t = filled(3);
        EXPECT_FALSE(t.ReadFromFile(p));
        EXPECT_FALSE(t.FExists);
        EXPECT_TRUE(t.FTitle.isEmpty());
        TID3v2 w = filled(3);
        EXPECT_FALSE(w.SaveToFile(p));
        EXPECT_FALSE(w.RemoveFromFile(p));
        EXPECT_EQ(mp3::read(p), c.bytes);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);  // no new file left behind
    }
}

TEST_F(TID3v2File, FailedWritesLeaveTheFile)
{
    // a file size limit below the new file's size makes the write fail as a full disk does
    const QByteArray before = tag(3, frame(3, "TIT2", QByteArray("\0Keep", 5))) + mp3::frames(200);
    const QString p = file(before);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = signal(SIGXFSZ, SIG_IGN);
    rlimit low = old;
    low.rlim_cur = rlim_t(before.size() / 2);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &low), 0);
    TID3v2 t = filled(3);
    const bool saved = t.SaveToFile(p);
    const bool removed = t.RemoveFromFile(p);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(removed);
    EXPECT_EQ(mp3::read(p), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    EXPECT_FALSE(t.SaveToFile(dir.filePath(QStringLiteral("missing.mp3"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing.mp3"))));
}
