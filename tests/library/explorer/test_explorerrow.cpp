#include <gtest/gtest.h>

#include "engine/precord.h"
#include "library/explorerrow.h"

using explorerrow::Split;

TEST(ExplorerRow, NameSplit)
{
    struct Case {
        const char* name;
        Split split;
        const char* artist;
        const char* title;
    } cases[] = {
        {"Artist - Title.mp3", Split::Listing, "Artist ", "Title"},
        {"Artist - Title.mp3", Split::Search, "Artist ", " Title"},
        {"noartist.mp3", Split::Listing, "NOARTIST", "NOARTIST"},
        {"  spaced.mp3", Split::Listing, "SPACED", "SPACED"},
        {"  spaced.mp3", Split::Search, "  SPACED", "  SPACED"},
        {"song.flac", Split::Listing, "SONG.", "SONG."},
        {"x.flac", Split::Search, "X.", "X."},
        {"A-B-C.mp3", Split::Search, "A", "B-C"},
        {"Live Set.wav", Split::Search, "LIVE SET", "LIVE SET"},
        {"dj-.mp3", Split::Listing, "dj", ""},
        {"ab", Split::Listing, "", ""},
        {"Ünïcode mix.ogg", Split::Listing, "ÜNÏCODE MIX", "ÜNÏCODE MIX"},
    };
    for (const Case& c : cases) {
        const auto [artist, title] = explorerrow::nameSplit(QString::fromUtf8(c.name), c.split);
        EXPECT_EQ(artist, QString::fromUtf8(c.artist)) << c.name;
        EXPECT_EQ(title, QString::fromUtf8(c.title)) << c.name;
    }
}

TEST(ExplorerRow, Extensions)
{
    for (const char* n : {"a.wav", "a.MP3", "a.Ogg", "a.wma", "a.flac", "a.mp1", "a.mp2", "a.AIFF"}) {
        EXPECT_TRUE(explorerrow::listed(n)) << n;
        EXPECT_TRUE(explorerrow::searched(n)) << n;
    }
    for (const char* n : {"a.aac", "a.MP4"}) {
        EXPECT_FALSE(explorerrow::listed(n)) << n;
        EXPECT_TRUE(explorerrow::searched(n)) << n;
    }
    for (const char* n : {"a.mp3x", "a.txt", "mp3", "a.mp3.part", "a.aif", "a.m4a", ".mp3.bak"}) {
        EXPECT_FALSE(explorerrow::listed(n)) << n;
        EXPECT_FALSE(explorerrow::searched(n)) << n;
    }
}

TEST(ExplorerRow, DefaultsAndRows)
{
    const QStringList d = explorerrow::defaults();
    ASSERT_EQ(d.size(), gridcol::count);
    for (int c = 0; c < gridcol::count; ++c) {
        const char* want = c <= gridcol::path ? "" : c == gridcol::gain ? "10" : "0";
        EXPECT_EQ(d[c], QString::fromLatin1(want)) << c;
    }
    const QStringList f = explorerrow::fileRow("/m/Artist - Title.mp3", "Artist - Title.mp3", Split::Listing);
    EXPECT_EQ(f[gridcol::artist], "Artist ");
    EXPECT_EQ(f[gridcol::path], "/m/Artist - Title.mp3");
    EXPECT_EQ(f[gridcol::gain], "10");

    PRecord r;
    r.bpm = QStringLiteral("128.000");
    r.artist = QStringLiteral("Band");
    r.title = QStringLiteral("Song");
    r.fduratotal = QStringLiteral("00:03:10");
    r.tag[tagslot::cue1] = 1234.5;
    r.tag[tagslot::cue0] = 7;
    r.tag[tagslot::cue11] = 0.25;
    r.bas = -3;
    r.tre = 2;
    r.mid = 1;
    r.gain = 12;
    r.id = 42;
    r.veces = 3;
    const QStringList l = explorerrow::libraryRow(r, "/m/x.mp3");
    EXPECT_EQ(l[gridcol::deck], "");
    EXPECT_EQ(l[gridcol::bpm], "128.000");
    EXPECT_EQ(l[gridcol::artist], "Band");
    EXPECT_EQ(l[gridcol::title], "Song");
    EXPECT_EQ(l[gridcol::time], "00:03:10");
    EXPECT_EQ(l[gridcol::path], "/m/x.mp3");
    EXPECT_EQ(l[gridcol::cue1], "1234.5");
    EXPECT_EQ(l[gridcol::cue1 + 1], "0");
    EXPECT_EQ(l[gridcol::cue0], "7");
    EXPECT_EQ(l[gridcol::cue11], "0.25");
    EXPECT_EQ(l[gridcol::bass], "-3");
    EXPECT_EQ(l[gridcol::treble], "2");
    EXPECT_EQ(l[gridcol::mid], "1");
    EXPECT_EQ(l[gridcol::gain], "12");
    EXPECT_EQ(l[gridcol::id], "42");
    EXPECT_EQ(l[gridcol::veces], "3");
}
