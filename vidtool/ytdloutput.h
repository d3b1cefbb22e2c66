// Reading the video engine's output (yt-dlp or youtube-dl), one line at a time.
#pragma once

#include <QString>

namespace ytdl {

// Every run of CR, LF and blanks becomes one blank (also at the start); trailing blanks are
// removed, but never below a length of 1. Tabs and other characters pass unchanged.
QString CollapseWhitespace(const QString& text);

// 1-based position of needle in text, ASCII letters compared without case; 0 when not found,
// when needle is empty or longer than text.
int PosNoCase(const QString& needle, const QString& text);

// The whole percentage of a "[download]  45.3% of ..." line; -1 when the line holds none, or
// no decimal point stands before the "%" (the final "100%" line), or what stands before the
// point is not a whole number.
int DownloadPercent(const QString& line);

// The line announces the conversion to mp3 ("[ffmpeg]", "[ExtractAudio]", any case).
bool IsConversion(const QString& line);

// "F" of a "[download] Destination: F" line; empty otherwise.
QString DownloadDestination(const QString& line);
// "G" of the converter's "[ExtractAudio] Destination: G" or "[ffmpeg] Destination: G" line.
QString ConversionDestination(const QString& line);

// The status a line of a self-update sets; empty when it sets none.
QString UpdateStatus(const QString& line);

// Rules of the URL box: the text trimmed, refused (empty result) when it is empty, does not
// start with http:// or https://, or names a playlist page ("/playlist?"); an address with both
// "&list" and "&index" is cut before whichever comes first.
QString CheckedUrl(const QString& text);

// A folder made safe inside an output template: "%" doubled, so that only the template's own
// fields are filled in. The folder ends with "/".
QString TemplateFolder(const QString& folder);

}  // namespace ytdl
