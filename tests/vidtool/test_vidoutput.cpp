// Reading the video engine's output: lines, percentages, markers, destinations, update texts,
// and the rules of the URL box.
#include <gtest/gtest.h>

#include "vidtool/outputlines.h"
#include "vidtool/ytdloutput.h"

using namespace ytdl;

TEST(VidOutput, CollapseWhitespace)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"", ""},
        {"abc", "abc"},
        {"\r\n  [download]   45.3% of 1MiB\r", " [download] 45.3% of 1MiB"},
        {"a\tb", "a\tb"},        // tabs pass
        {"   ", " "},            // never below one character
        {"\r\n", " "},
        {"x   ", "x"},
        {"a \r\n b", "a b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CollapseWhitespace(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST(VidOutput, PosNoCase)
{
    EXPECT_EQ(PosNoCase("[DOWNLOAD]", "x [download] 1%"), 3);
    EXPECT_EQ(PosNoCase("error", "An ERROR here"), 4);
    EXPECT_EQ(PosNoCase("", "abc"), 0);
    EXPECT_EQ(PosNoCase("abcd", "abc"), 0);
    EXPECT_EQ(PosNoCase("zz", "abc"), 0);
    EXPECT_EQ(PosNoCase("abc", "abc"), 1);
}

TEST(VidOutput, DownloadPercent)
{
    const struct {
        const char* line;
        int percent;
    } cases[] = {
        {"[download]  45.3% of 3.2MiB at 1MiB/s ETA 00:02", 45},
        {"[download]   2.0% of   50.65KiB at  Unknown B/s ETA Unknown", 2},
        {"[download] 100.0% of   50.65KiB at   36.66MiB/s ETA 00:00", 100},
        {"[download] 100% of   50.65KiB in 00:00:00 at 4.95MiB/s", -1},  // no point: unchanged
        {"[DOWNLOAD]  7.5%", 7},
        {"[download] Destination: /m/tone.mp4", -1},
        {"[download] Destination: /m/100.5% sale.mp4", -1},  // not a whole number before the point
        {"[download] x.5%", -1},
        {"[generic] 45.3% nothing", -1},
        {"", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(DownloadPercent(QString::fromUtf8(c.line)), c.percent) << c.line;
}

TEST(VidOutput, ConversionMarkersOfBothPrograms)
{
    EXPECT_TRUE(IsConversion("[ffmpeg] Destination: a.mp3"));
    EXPECT_TRUE(IsConversion("[FFMPEG] Destination: a.mp3"));
    EXPECT_TRUE(IsConversion("[ExtractAudio] Destination: a.mp3"));
    EXPECT_TRUE(IsConversion("noise [extractaudio] here"));
    EXPECT_FALSE(IsConversion("[download] Destination: ffmpeg.mp4"));
}

TEST(VidOutput, DestinationsReadFromTheOutput)
{
    EXPECT_EQ(DownloadDestination("[download] Destination: /m/My Song (live).mp4"), "/m/My Song (live).mp4");
    EXPECT_EQ(DownloadDestination("[download]  12.0% of 1MiB"), "");
    EXPECT_EQ(DownloadDestination("[ExtractAudio] Destination: /m/a.mp3"), "");
    EXPECT_EQ(ConversionDestination("[ExtractAudio] Destination: /m/a.mp3"), "/m/a.mp3");
    EXPECT_EQ(ConversionDestination("[ffmpeg] Destination: /m/a.mp3"), "/m/a.mp3");
    EXPECT_EQ(ConversionDestination("[download] Destination: /m/a.mp4"), "");
}

TEST(VidOutput, UpdateTextsOfBothPrograms)
{
    const struct {
        const char* line;
        const char* status;
    } cases[] = {
        {"youtube-dl is up-to-date (2021.12.17)", "Video Engine is UPDATED.."},
        {"yt-dlp is up to date (stable@2023.03.04)", "Video Engine is UPDATED.."},
        {"Updating to version 2021.12.17 ...", "Updating to version 2021.12.17 ..."},
        {"Updating to stable@2023.07.06 ...", "Updating to stable@2023.07.06 ..."},
        {"Waiting for file handle to be released.", "Waiting for file handle to be released."},
        {"Updated youtube-dl. Restart youtube-dl to use the new version.", "Video Engine has been UPDATED.."},
        {"Updated yt-dlp to stable@2023.07.06", "Video Engine has been UPDATED.."},
        {"Current version: stable@2023.03.04", ""},
        {"ERROR: Unable to obtain version info", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(UpdateStatus(QString::fromUtf8(c.line)), QString::fromUtf8(c.status)) << c.line;
}

TEST(VidOutput, UrlRules)
{
    const struct {
        const char* in;
        const char* out;  // "" = refused
    } cases[] = {
        {"  https://v.example/watch?v=1  ", "https://v.example/watch?v=1"},
        {"HTTP://v.example/a", "HTTP://v.example/a"},
        {"", ""},
        {"   ", ""},
        {"v.example/watch?v=1", ""},
        {"ftp://v.example/a", ""},
        {"-o /etc/x https://v.example/a", ""},    // an option is not an address
        {"x https://v.example/a", ""},            // the address must start the text
        {"https://v.example/playlist?list=PL1", ""},
        {"https://v.example/watch?v=1&list=PL1&index=3", "https://v.example/watch?v=1"},
        {"https://v.example/watch?v=1&index=3&list=PL1", "https://v.example/watch?v=1"},
        {"https://v.example/watch?v=1&list=PL1", "https://v.example/watch?v=1&list=PL1"},
        {"https://v.example/watch?v=1&index=3", "https://v.example/watch?v=1&index=3"},
        {"https://v.example/a b;c'd\"$(touch x)", "https://v.example/a b;c'd\"$(touch x)"},
    };
    for (const auto& c : cases) EXPECT_EQ(CheckedUrl(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST(VidOutput, TemplateFolderKeepsPercentSigns)
{
    EXPECT_EQ(TemplateFolder("/m/100% hits/"), "/m/100%% hits/");
    EXPECT_EQ(TemplateFolder("/m/%(id)s"), "/m/%%(id)s/");
}

TEST(VidOutput, LinesEndAtCrOrLfAndMayArriveInPieces)
{
    OutputLines lines;
    EXPECT_TRUE(lines.add("[down").isEmpty());
    EXPECT_EQ(lines.add("load]   1.0%\r[download]   2"), QStringList{"[download]   1.0%"});
    EXPECT_EQ(lines.add(".0%\r[download] 100%\r\n"), (QStringList{"[download]   2.0%", "[download] 100%"}));
    EXPECT_EQ(lines.add("\n\n\r"), QStringList{});
    EXPECT_EQ(lines.add("tail"), QStringList{});
    EXPECT_EQ(lines.finish(), QStringList{"tail"});
    EXPECT_EQ(lines.finish(), QStringList{});
}

TEST(VidOutput, LineCutBetweenTheBytesOfOneCharacter)
{
    OutputLines lines;
    const QByteArray song = QString::fromUtf8("Canci\u00F3n \u266B").toUtf8();
    EXPECT_TRUE(lines.add(song.left(6)).isEmpty());
    EXPECT_EQ(lines.add(song.mid(6) + "\n"), QStringList{QString::fromUtf8("Canci\u00F3n \u266B")});
}

TEST(VidOutput, EndlessLineIsHandedOnInPieces)
{
    OutputLines lines;
    const QStringList got = lines.add(QByteArray(OutputLines::kMaxLine * 2 + 5, 'x'));
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(got[0].size(), OutputLines::kMaxLine);
    EXPECT_EQ(lines.finish().value(0).size(), 5);
}
