#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "tests/library/mp3fixture.h"
#include "library/tid3v1tag.h"

namespace {
TID3v1Tag load(const QByteArray& b)
{
    TID3v1Tag t;
    t.Load(reinterpret_cast<const uint8_t*>(b.constData()), b.size());
    return t;
}
}  // namespace

TEST(ID3v1, ReadsFieldsTrackAndGenre)
{
    QByteArray zeros = mp3::id3v1("Song", "Band");
    QByteArray spaces = zeros;
    for (int i = 7; i < 33; ++i) spaces[i] = ' ';
    EXPECT_EQ(load(zeros).fTitle, "Song");
    EXPECT_EQ(load(spaces).fTitle, "Song");
    const TID3v1Tag t = load(zeros);
    EXPECT_TRUE(t.fOk);
    EXPECT_FALSE(t.fModified);
    EXPECT_EQ(t.fArtist, "Band");
    EXPECT_EQ(t.fAlbum, "Alb");
    EXPECT_EQ(t.fYear, "1999");
    EXPECT_EQ(t.fComment, "Com");

    const struct {
        int b125, b126, track;
        bool v1;
    } tracks[] = {{0, 7, 7, false}, {0, 0, 0, true}, {'x', 7, 0, true}};
    for (const auto& c : tracks) {
        QByteArray b = zeros;
        b[125] = char(c.b125);
        b[126] = char(c.b126);
        EXPECT_EQ(load(b).fTrack, c.track);
        EXPECT_EQ(load(b).fv1, c.v1);
    }
    const struct {
        int id;
        const char* name;
    } genres[] = {{0, "Blues"}, {17, "Rock"}, {67, "Psychedelic"}, {81, "Folk/Rock"}, {123, "Acapella"},
                  {136, "Christian Gangs"}, {140, "Contemporary Ch?"}, {141, "Cristian Rock"}, {147, "Synthpop"},
                  {148, ""}, {255, ""}};
    for (const auto& g : genres) {
        QByteArray b = zeros;
        b[127] = char(g.id);
        EXPECT_EQ(load(b).fGenreID, g.id);
        EXPECT_EQ(load(b).fGenre, QString(g.name));
    }
    EXPECT_FALSE(load(zeros.left(127)).fOk);
    QByteArray notag = zeros;
    notag[0] = 'X';
    EXPECT_FALSE(load(notag).fOk);
    EXPECT_EQ(QString::fromLatin1("\xe9t\xe9"), load(mp3::id3v1("\xe9t\xe9", "")).fTitle);
}

TEST(ID3v1, SavePadsCutsAndLaysOutTheTrack)
{
    TID3v1Tag t;
    t.SetField(1, "Song");
    t.SetField(5, QString(30, 'c'));
    uint8_t b[128];
    t.Save(b, 128);
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(b), 3), "TAG");
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(b) + 3, 30), QByteArray("Song") + QByteArray(26, ' '));
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(b) + 97, 30), QByteArray(30, 'c'));  // ID3v1: whole comment

    t.SetTrack(5);
    EXPECT_FALSE(t.fv1);
    t.Save(b, 128);
    EXPECT_EQ(b[125], 0);
    EXPECT_EQ(b[126], 5);
    EXPECT_EQ(load(QByteArray(reinterpret_cast<char*>(b), 128)).fComment, QString(28, 'c'));
    t.SetTrack(0);
    EXPECT_TRUE(t.fv1);
    EXPECT_THROW(t.Save(b, 127), std::runtime_error);
}

TEST(ID3v1, SetFieldCutsAndMarksChanges)
{
    TID3v1Tag t;
    t.SetField(1, QString(40, 'x'));
    EXPECT_EQ(t.fTitle, QString(30, 'x'));
    EXPECT_TRUE(t.fModified);
    uint8_t b[128];
    t.Save(b, 128);
    EXPECT_FALSE(t.fModified);
    t.SetField(1, QString(40, 'x'));
    EXPECT_FALSE(t.fModified);
    t.SetField(3, "20261");
    EXPECT_EQ(t.fYear, "2026");
    t.SetField(9, "nothing");
    t.SetField(2, "Band");
    t.SetField(4, "Album");
    EXPECT_EQ(t.fArtist, "Band");
    EXPECT_EQ(t.fAlbum, "Album");
}

TEST(ID3v1, FileWriteReplaceAndRemove)
{
    QTemporaryDir dir;
    const QString p = dir.filePath("a.mp3");
    const QByteArray audio = mp3::frames(3);
    ASSERT_TRUE(mp3::write(p, audio));
    TID3v1Tag t;
    t.SetField(1, "One");
    t.SaveToFile(p);
    EXPECT_EQ(mp3::read(p).size(), audio.size() + 128);
    t.SetField(1, "Two");
    t.SaveToFile(p);
    EXPECT_EQ(mp3::read(p).size(), audio.size() + 128);
    TID3v1Tag back;
    back.LoadFromFile(p);
    EXPECT_EQ(back.fTitle, "Two");
    EXPECT_TRUE(mp3::read(p).startsWith(audio));
    back.DeleteFromFile(p);
    EXPECT_EQ(mp3::read(p), audio);
    back.DeleteFromFile(p);  // no tag: nothing cut
    EXPECT_EQ(mp3::read(p), audio);

    EXPECT_THROW(t.SaveToFile(dir.filePath("missing.mp3")), std::runtime_error);
    EXPECT_FALSE(QFile::exists(dir.filePath("missing.mp3")));
    EXPECT_THROW(back.LoadFromFile(dir.filePath("missing.mp3")), std::runtime_error);
}

TEST(ID3v1, ShortFileGetsATagAppended)
{
    QTemporaryDir dir;
    const QString p = dir.filePath("s.mp3");
    ASSERT_TRUE(mp3::write(p, "TAG"));  // fewer than 128 bytes: appended, not overwritten
    TID3v1Tag t;
    t.SetField(2, "Band");
    t.SaveToFile(p);
    EXPECT_EQ(mp3::read(p).size(), 3 + 128);
    EXPECT_TRUE(mp3::read(p).startsWith("TAGTAG"));
}
