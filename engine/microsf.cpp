#include "engine/microsf.h"

#include "platform/sys/screendpi.h"

#include <cmath>

#include <QFileInfo>
#include <QLocale>

QString QS(const QString& s)
{
    QString out = s;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

QString FloatText(double v)
{
    if (!std::isfinite(v)) return QStringLiteral("0");
    // 15 significant digits, trailing zeros dropped: the general format of the stored texts
    QString t = QLocale::c().toString(v, 'g', 15);
    if (t == QLatin1String("-0")) t = QStringLiteral("0");
    return t;
}

QString QFloat(double v) { return QS(FloatText(v)); }

QString QN(const QString& s)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(s.trimmed(), &ok);
    if (!ok || !std::isfinite(v)) return QStringLiteral("0");
    return FloatText(v);
}

QString QSS(const QString& s) { return s; }

QString LTrim(const QString& s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] == QLatin1Char(' ')) ++i;
    return s.mid(i);
}

QString RTrim(const QString& s)
{
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == QLatin1Char(' ')) --n;
    return s.left(n);
}

QString ByteToHex(uint8_t b)
{
    static const char digits[] = "0123456789ABCDEF";
    return QString(QLatin1Char(digits[b >> 4])) + QLatin1Char(digits[b & 15]);
}

QString ShortFileName(const QString& path)
{
    if (path.isEmpty() || !QFileInfo::exists(path)) return QString();
    return path;
}

QString LongFileName(const QString& path)
{
    // Linux names have one form only; "*", "?" and "\" are ordinary characters here
    if (path.isEmpty() || !QFileInfo::exists(path)) return QString();
    return path;
}

int MinMaxInt(int value, int lo, int hi)
{
    if (value < lo) return lo;
    if (value > hi) return hi;
    return value;
}

void GetSystemDPI(int& x, int& y)
{
    const sys::Dpi d = sys::screenDpi();
    x = d.x;
    y = d.y;
}
