#include "vidtool/ytdloutput.h"

namespace ytdl {

QString CollapseWhitespace(const QString& text)
{
    if (text.isEmpty()) return text;
    QString out;
    out.reserve(text.size());
    bool inRun = false;
    for (const QChar c : text) {
        if (c == u'\r' || c == u'\n' || c == u' ') {
            if (!inRun) out += u' ';
            inRun = true;
        } else {
            out += c;
            inRun = false;
        }
    }
    while (out.size() > 1 && out.endsWith(u' ')) out.chop(1);
    return out;
}

int PosNoCase(const QString& needle, const QString& text)
{
    if (needle.isEmpty() || needle.size() > text.size()) return 0;
    auto lower = [](QChar c) { return c.unicode() >= 'A' && c.unicode() <= 'Z' ? QChar(c.unicode() + 32) : c; };
    for (qsizetype i = 0; i + needle.size() <= text.size(); ++i) {
        qsizetype k = 0;
        while (k < needle.size() && lower(text[i + k]) == lower(needle[k])) ++k;
        if (k == needle.size()) return int(i + 1);
    }
    return 0;
}

int DownloadPercent(const QString& line)
{
    const QString text = CollapseWhitespace(line);
    const int p = PosNoCase(QStringLiteral("[download]"), text);
    if (p == 0) return -1;
    QString value = text.mid(p + 10);  // after "[download] "
    const qsizetype percent = value.indexOf(u'%');
    if (percent < 0) return -1;
    value.truncate(percent);
    const qsizetype point = value.indexOf(u'.');
    if (point < 0) return -1;
    value.truncate(point);
    bool ok = false;
    const int n = value.toInt(&ok);
    if (!ok || n < 0) return -1;
    return n;
}

bool IsConversion(const QString& line)
{
    return PosNoCase(QStringLiteral("[ffmpeg]"), line) > 0 || PosNoCase(QStringLiteral("[ExtractAudio]"), line) > 0;
}

namespace {
QString afterPrefix(const QString& line, std::initializer_list<const char*> tags)
{
    for (const char* tag : tags) {
        const QString prefix = QLatin1String(tag) + QStringLiteral(" Destination: ");
        if (line.startsWith(prefix, Qt::CaseInsensitive)) return line.mid(prefix.size());
    }
    return {};
}
}  // namespace

QString DownloadDestination(const QString& line) { return afterPrefix(line, {"[download]"}); }

QString ConversionDestination(const QString& line) { return afterPrefix(line, {"[ExtractAudio]", "[ffmpeg]"}); }

QString UpdateStatus(const QString& line)
{
    auto begins = [&line](const char* word) { return line.startsWith(QLatin1String(word), Qt::CaseInsensitive); };
    if (begins("youtube-dl is up-to-date") || begins("yt-dlp is up to date"))
        return QStringLiteral("Video Engine is UPDATED..");
    if (begins("updating") || begins("Waiting")) return line;
    if (begins("updated youtube-dl") || begins("updated yt-dlp")) return QStringLiteral("Video Engine has been UPDATED..");
    return {};
}

QString CheckedUrl(const QString& text)
{
    QString url = text.trimmed();
    if (url.isEmpty()) return {};
    if (!url.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive) &&
        !url.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive))
        return {};
    if (PosNoCase(QStringLiteral("/playlist?"), url) > 0) return {};
    const int list = PosNoCase(QStringLiteral("&list"), url);
    const int index = PosNoCase(QStringLiteral("&index"), url);
    if (list > 0 && index > 0) url.truncate(qMin(list, index) - 1);
    return url;
}

QString TemplateFolder(const QString& folder)
{
    QString out = folder;
    out.replace(u'%', QStringLiteral("%%"));
    if (!out.endsWith(u'/')) out += u'/';
    return out;
}

}  // namespace ytdl
