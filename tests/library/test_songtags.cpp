#include <gtest/gtest.h>

#include <unistd.h>

#include <QTemporaryDir>

#include "tests/library/mp3fixture.h"
#include "library/songtags.h"
#include "library/taudioinfo.h"

TEST(SongTags, NameSplitsAtTheFirstHyphen)
{
    const struct {
        const char* name;
        const char* artist;
        const char* title;
    } cases[] = {{"A - B", "A ", " B"}, {"Mix", "MIX", "MIX"}, {"a-b-c", "a", "b-c"}, {"-x", "", "x"}};
    for (const auto& c : cases) {
        Ttagsong t;
        songtags::fromName(c.name, t);
        EXPECT_EQ(t.Artist, c.artist) << c.name;
        EXPECT_EQ(t.Title, c.title) << c.name;
    }
}

struct TagStep : ::testing::Test {
    QTemporaryDir dir;
    TAudioInfo a;
    QString make(const QString& name, const QByteArray& bytes)
    {
        const QString p = dir.filePath(name);
        EXPECT_TRUE(mp3::write(p, bytes));
        return p;
    }
};

TEST_F(TagStep, Mp3WithoutTagAndOtherTypesTakeTheName)
{
    Ttagsong t;
    const QString p = make("A - B.mp3", mp3::frames(3));
    ASSERT_TRUE(songtags::tagStep(p, false, t, a));
    EXPECT_EQ(t.Artist, "A ");
    EXPECT_EQ(t.Title, " B");
    EXPECT_EQ(t.Bpm, "000.000");  // Groups too: one form for every reader
    EXPECT_EQ(t.alfichero, p);
    EXPECT_EQ(mp3::read(p).size(), 3 * 417);  // nothing written

    Ttagsong w;
    ASSERT_TRUE(songtags::tagStep(make("Mix.wav", "RIFF"), true, w, a));
    EXPECT_EQ(w.Artist, "MIX");
    EXPECT_EQ(w.Title, "MIX");
    EXPECT_EQ(w.Bpm, "000.000");
    EXPECT_FALSE(songtags::tagStep(make("notes.txt", "x"), false, w, a));
    EXPECT_TRUE(songtags::accepted("/x/Y.FlAc"));
}

TEST_F(TagStep, TagTextsAreTaken)
{
    Ttagsong t;
    ASSERT_TRUE(songtags::tagStep(make("x - y.mp3", mp3::frames(3) + mp3::id3v1("Song", "Band")), true, t, a));
    EXPECT_EQ(t.Artist, "Band");
    EXPECT_EQ(t.Title, "Song");
    EXPECT_EQ(t.Album, "Alb");
    EXPECT_EQ(t.Track, 3);
    EXPECT_EQ(t.Genre, "Rock");
    EXPECT_EQ(t.Bpm, "000.000");
}

TEST_F(TagStep, EmptyTitleAndArtistAreFilledFromTheNameAndWritten)
{
    const QByteArray audio = mp3::frames(3);
    const QString p = make("Some Band-Some Song.mp3", audio + mp3::id3v1("", "", "Album X", "2001", "Hi", 9, 35));
    Ttagsong t;
    ASSERT_TRUE(songtags::tagStep(p, false, t, a));
    EXPECT_EQ(t.Artist, "Some Band");
    EXPECT_EQ(t.Title, "Some Song");
    const QByteArray after = mp3::read(p);
    ASSERT_EQ(after.size(), audio.size() + 128);
    EXPECT_TRUE(after.startsWith(audio));
    TID3v1Tag tag;
    tag.LoadFromFile(p);
    EXPECT_EQ(tag.fArtist, "Some Band");
    EXPECT_EQ(tag.fTitle, "Some Song");
    EXPECT_EQ(tag.fAlbum, "Album X");
    EXPECT_EQ(tag.fYear, "2001");
    EXPECT_EQ(tag.fComment, "Hi");
    EXPECT_EQ(tag.fTrack, 9);
    EXPECT_EQ(tag.fGenreID, 35);
}

TEST_F(TagStep, AFileThatCannotBeWrittenStaysAsItWas)
{
    const QByteArray bytes = mp3::frames(2) + mp3::id3v1("", "");
    const QString p = make("ro-file.mp3", bytes);
    QFile::setPermissions(p, QFileDevice::ReadOwner);
    Ttagsong t;
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(songtags::tagStep(p, false, t, a));
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(t.Artist, "ro");
    EXPECT_EQ(t.Title, "file");
    QFile::setPermissions(p, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (::geteuid() != 0) EXPECT_EQ(mp3::read(p), bytes);
    else EXPECT_EQ(mp3::read(p).size(), bytes.size());
}

// A name that ID3v1's Latin-1 cannot hold is never written as question marks: the field
// keeps what the file had, while the library still takes the name.
TEST_F(TagStep, NamesLatin1CannotHoldAreNotWrittenIntoTheTag)
{
    const QByteArray audio = mp3::frames(2);
    const QByteArray emptyTag = mp3::id3v1("", "", "Alb", "1999", "Com", 4, 12);
    const struct {
        const char* name;
        const char* artist;  // expected in the tag afterwards
        const char* title;
    } cases[] = {
        {"\xd0\x9c\xd0\xb0\xd1\x81\xd1\x82\xd0\xb5\xd1\x80-\xe6\x9d\xb1\xe4\xba\xac", "", ""},
        {"\xc3\x84rzte-\xe6\x9d\xb1\xe4\xba\xac Nacht", "\xc3\x84rzte", ""},
    };
    for (const auto& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        SCOPED_TRACE(name.toStdString());
        const QString p = make(name + ".mp3", audio + emptyTag);
        Ttagsong t;
        ASSERT_TRUE(songtags::tagStep(p, false, t, a));
        const qsizetype dash = name.indexOf('-');
        EXPECT_EQ(t.Artist, name.left(dash));
        EXPECT_EQ(t.Title, name.mid(dash + 1));
        TID3v1Tag tag;
        tag.LoadFromFile(p);
        EXPECT_EQ(tag.fArtist, QString::fromUtf8(c.artist));
        EXPECT_EQ(tag.fTitle, QString::fromUtf8(c.title));
        EXPECT_FALSE(mp3::read(p).contains('?'));
        if (QString::fromUtf8(c.artist).isEmpty()) {
            EXPECT_EQ(mp3::read(p), audio + emptyTag);
        }
        EXPECT_EQ(tag.fAlbum, "Alb");
    }
}
