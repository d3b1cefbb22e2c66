// The peaks cache file: layout, atomic writing, and the length check before it is used.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "engine/peakscache.h"

namespace {

TEST(PeaksCache, PointsAndPeakValues)
{
    EXPECT_EQ(PeaksCache::pointsFor(10000), 4);  // the last 1808 bytes make no point
    EXPECT_EQ(PeaksCache::pointsFor(2047), 0);
    EXPECT_EQ(PeaksCache::pointsFor(2048), 1);
    EXPECT_EQ(PeaksCache::pointsFor(0), 0);
    EXPECT_EQ(PeaksCache::pointsFor(-5), 0);
    EXPECT_EQ(PeaksCache::peakValue(32767), 79);
    EXPECT_EQ(PeaksCache::peakValue(0), 0);
    EXPECT_EQ(PeaksCache::peakValue(16384), 40);
    EXPECT_EQ(PeaksCache::peakValue(409), 0);
    EXPECT_EQ(PeaksCache::peakValue(410), 1);
}

TEST(PeaksCache, PairsAreTwoLittleEndianIntegersOfTheSameValue)
{
    QByteArray pairs;
    PeaksCache::appendPair(pairs, 79);
    PeaksCache::appendPair(pairs, 0x01020304);
    ASSERT_EQ(pairs.size(), 16);
    EXPECT_EQ(pairs.left(8), QByteArray::fromHex("4f0000004f000000"));
    EXPECT_EQ(pairs.mid(8), QByteArray::fromHex("0403020104030201"));
    EXPECT_EQ(PeaksCache::pairValue(pairs, 1, 1), 0x01020304);
    EXPECT_EQ(PeaksCache::pairValue(pairs, 2, 0), 0);
    EXPECT_EQ(PeaksCache::pairValue(pairs, -1, 0), 0);
}

TEST(PeaksCache, FileNameIsTheAudioNameWithPek)
{
    const QString a = PeaksCache::fileFor(QStringLiteral("/music/one/Song.Title.mp3"));
    EXPECT_TRUE(a.endsWith(QStringLiteral("/Peaks/Song.Title.pek"))) << a.toStdString();
    EXPECT_EQ(PeaksCache::fileFor(QStringLiteral("/other/Song.Title.flac")), a);
    EXPECT_TRUE(PeaksCache::fileFor(QStringLiteral("/x/noext")).endsWith(QStringLiteral("/Peaks/noext.pek")));
}

TEST(PeaksCache, OnlyACacheOfTheTracksLengthIsTaken)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Peaks/a.pek"));
    QByteArray pairs;
    for (int i = 0; i < 4; ++i) PeaksCache::appendPair(pairs, i * 10);
    ASSERT_TRUE(PeaksCache::write(file, pairs));  // makes the folder
    EXPECT_EQ(PeaksCache::read(file, 10000), pairs);
    EXPECT_EQ(PeaksCache::read(file, 4 * 2048 + 2047), pairs);
    EXPECT_FALSE(PeaksCache::read(file, 5 * 2048));  // a same-named file of another length
    EXPECT_FALSE(PeaksCache::read(file, 3 * 2048));
    EXPECT_FALSE(PeaksCache::read(dir.filePath(QStringLiteral("Peaks/missing.pek")), 10000));

    // the empty cache a once-unreadable file left behind
    ASSERT_TRUE(PeaksCache::write(file, QByteArray()));
    EXPECT_FALSE(PeaksCache::read(file, 10000));

    // a size that is no whole number of pairs
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(33, '\0'));
    f.close();
    EXPECT_FALSE(PeaksCache::read(file, 4 * 2048));
}

TEST(PeaksCache, RewritingReplacesTheWholeFileAndLeavesNoTemporaries)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Peaks/b.pek"));
    ASSERT_TRUE(PeaksCache::write(file, QByteArray(800, 'x')));
    QByteArray small;
    PeaksCache::appendPair(small, 5);
    ASSERT_TRUE(PeaksCache::write(file, small));
    EXPECT_EQ(PeaksCache::read(file, 2048), small);
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("Peaks"))).entryList(QDir::Files).size(), 1);
    // a folder where the file should be: the write fails, nothing is left
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("Peaks/c.pek"))));
    EXPECT_FALSE(PeaksCache::write(dir.filePath(QStringLiteral("Peaks/c.pek")), small));
}

}  // namespace
