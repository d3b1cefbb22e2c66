#include <gtest/gtest.h>

#include <cmath>

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QFile>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "engine/microsf.h"
#include "engine/ostrelli.h"

struct TextCase {
    const char* name;
    QString (*fn)(const QString&);
    QString in, out;
};

// The primary screen's logical resolution; 96 x 96 while there is no GUI application.
TEST(Routines, GetSystemDPIWithoutAndWithAScreen)
{
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    int x = 0, y = 0;
    GetSystemDPI(x, y);
    EXPECT_EQ(x, 96);
    EXPECT_EQ(y, 96);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "test_base";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    ASSERT_NE(QGuiApplication::primaryScreen(), nullptr);
    GetSystemDPI(x, y);
    EXPECT_EQ(x, int(std::lround(QGuiApplication::primaryScreen()->logicalDotsPerInchX())));
    EXPECT_EQ(y, int(std::lround(QGuiApplication::primaryScreen()->logicalDotsPerInchY())));
    EXPECT_GT(x, 0);
}

TEST(Routines, TextTable)
{
    const TextCase cases[] = {
        {"QS plain", QS, "abc", "'abc'"},
        {"QS inner quote", QS, "it's", "'it''s'"},
        {"QS empty", QS, "", "''"},
        {"QS only quotes", QS, "''", "''''''"},
        {"QN not a number", QN, "abc", "0"},
        {"QN empty", QN, "", "0"},
        {"QN integer", QN, "42", "42"},
        {"QN trailing zeros", QN, "2.50", "2.5"},
        {"QN negative", QN, "-0.125", "-0.125"},
        {"QN locale comma is not a number", QN, "2,5", "0"},
        {"QN injection", QN, "1; DROP TABLE songs", "0"},
        {"QSS unchanged", QSS, "a'b\"c", "a'b\"c"},
        {"LTrim blanks", LTrim, "   a b  ", "a b  "},
        {"LTrim keeps tabs", LTrim, "\t a", "\t a"},
        {"RTrim blanks", RTrim, "  a b   ", "  a b"},
        {"RTrim keeps tabs", RTrim, "a\t", "a\t"},
        {"RTrim all blank", RTrim, "    ", ""},
        {"RTrim empty", RTrim, "", ""},
        {"RemoveBackslash leading pair kept", RemoveBackslash, "//server//share//x/", "//server/share/x/"},
        {"RemoveBackslash root documents", RemoveBackslash, "/data//OSTREL_KORVANTA/", "/data/OSTREL_KORVANTA/"},
        {"RemoveBackslash short", RemoveBackslash, "//", "//"},
        {"RemoveBackslash nothing to do", RemoveBackslash, "/home/u/Documents/", "/home/u/Documents/"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.fn(c.in), c.out) << c.name;
}

TEST(Routines, NumbersUseTheCLocaleWhateverTheUserLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(QFloat(2.5), "'2.5'");
    EXPECT_EQ(QFloat(120), "'120'");
    EXPECT_EQ(QFloat(0.1), "'0.1'");
    EXPECT_EQ(QN("128.25"), "128.25");
    EXPECT_EQ(FloatText(1e20), "1e+20");
    QLocale::setDefault(saved);
}

TEST(Routines, ByteToHexAndMinMax)
{
    const std::pair<uint8_t, const char*> hex[] = {{0, "00"}, {10, "0A"}, {255, "FF"}, {0x9c, "9C"}};
    for (auto [b, t] : hex) EXPECT_EQ(ByteToHex(b), t);

    struct { int v, lo, hi, want; } mm[] = {
        {5, 0, 10, 5}, {-1, 0, 10, 0}, {11, 0, 10, 10},
        {3, 10, 0, 10},   // low above high: below low gives low
        {20, 10, 0, 0},   // above high gives high
    };
    for (auto c : mm) EXPECT_EQ(MinMaxInt(c.v, c.lo, c.hi), c.want) << c.v << " " << c.lo << " " << c.hi;
}

TEST(Routines, FileNames)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // names that are legal here and must keep their own identity
    const QString names[] = {"plain.mp3", "star*.mp3", "what?.mp3", "back\\slash.mp3", "12\" Mix.mp3"};
    for (const QString& n : names) {
        const QString p = dir.filePath(n);
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << n.toStdString();
        f.close();
        EXPECT_EQ(LongFileName(p), p) << n.toStdString();
        EXPECT_EQ(ShortFileName(p), p) << n.toStdString();
    }
    const QString missing = dir.filePath("missing.mp3");
    EXPECT_EQ(LongFileName(missing), "");
    EXPECT_EQ(ShortFileName(missing), "");
    EXPECT_EQ(LongFileName(""), "");
}

TEST(Routines, UserProfileIsTheDocumentsFolder)
{
    QStandardPaths::setTestModeEnabled(false);
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString p = GetUserProfile();
    EXPECT_TRUE(p.endsWith("/OSTREL_KORVANTA/"));
    EXPECT_EQ(QDir::cleanPath(p), QDir::cleanPath(docs + "/OSTREL_KORVANTA"));
    EXPECT_FALSE(p.mid(1).contains("//"));
}
