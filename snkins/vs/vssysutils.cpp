#include "snkins/vs/vssysutils.h"

#include <QGuiApplication>
#include <QPalette>
#include <QStringList>
#include <climits>

#include "snkins/colorref.h"
#include "snkins/vs/skinerror.h"

namespace {

bool parseInt(const QString& text, int& value)
{
    const QString t = text.trimmed();
    bool ok = false;
    qlonglong v = 0;
    if (t.startsWith(QLatin1Char('$')))
        v = t.mid(1).toLongLong(&ok, 16);
    else if (t.startsWith(QLatin1String("-$")))
        v = -t.mid(2).toLongLong(&ok, 16);
    else
        v = t.toLongLong(&ok, 10);
    if (!ok || v < INT_MIN || v > INT_MAX) return false;
    value = int(v);
    return true;
}

// The colour a system colour index shows in the application's palette now.
QColor systemColor(int index)
{
    const QPalette pal = QGuiApplication::palette();
    switch (index) {
    case 5: return pal.color(QPalette::Base);             // window
    case 6: return pal.color(QPalette::Dark);             // window frame
    case 7:                                               // menu text
    case 9: return pal.color(QPalette::WindowText);       // caption text
    case 8: return pal.color(QPalette::Text);             // window text
    case 13: return pal.color(QPalette::Highlight);
    case 14: return pal.color(QPalette::HighlightedText);
    case 15: return pal.color(QPalette::Button);          // button face
    case 16: return pal.color(QPalette::Dark);            // button shadow
    case 17: return pal.color(QPalette::Disabled, QPalette::Text);
    case 18: return pal.color(QPalette::ButtonText);
    case 20: return pal.color(QPalette::Light);           // button highlight
    case 21: return pal.color(QPalette::Shadow);          // 3-D dark shadow
    case 22: return pal.color(QPalette::Midlight);        // 3-D light
    case 23: return pal.color(QPalette::ToolTipText);
    case 24: return pal.color(QPalette::ToolTipBase);
    case 26: return pal.color(QPalette::Link);            // hot light
    default: return pal.color(QPalette::Window);
    }
}

}  // namespace

QString GetParam(QString& text)
{
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    QString part;
    if (comma < 0) {
        part = text;
        text.clear();
    } else {
        part = text.left(comma);
        text.remove(0, comma + 1);
    }
    return part;
}

int StrToInt(const QString& text)
{
    int v = 0;
    if (!parseInt(text, v)) throw SkinError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return v;
}

int StrToIntDef(const QString& text, int fallback)
{
    int v = 0;
    return parseInt(text, v) ? v : fallback;
}

QString RectToStr(const QRect& r)
{
    return QStringLiteral("%1,%2,%3,%4").arg(r.left()).arg(r.top()).arg(r.width()).arg(r.height());
}

QRect StrToRect(const QString& text)
{
    QString rest = text;
    int field[4];
    for (int& f : field) {
        f = StrToInt(GetParam(rest));
        // beyond a widget's reach right + bottom would not even fit in 32 bits
        if (f < -kMaxCoordinate || f > kMaxCoordinate)
            throw SkinError(QStringLiteral("'%1' is not a valid rectangle").arg(text));
    }
    return QRect(field[0], field[1], field[2], field[3]);
}

QString RGBToStr(uint32_t color)
{
    if (color == clNone) return QString();
    const QColor c = (color >> 24) == 0xFF ? systemColor(int(color & 0xFF)) : colorFromRef(color);
    return QStringLiteral("%1,%2,%3").arg(c.red()).arg(c.green()).arg(c.blue());
}

uint32_t StrToRGB(const QString& text)
{
    if (text.isEmpty()) return clNone;
    QString rest = text;
    const uint32_t r = uint32_t(StrToInt(GetParam(rest))) & 0xFF;
    const uint32_t g = uint32_t(StrToInt(GetParam(rest))) & 0xFF;
    const uint32_t b = uint32_t(StrToInt(GetParam(rest))) & 0xFF;
    return r | (g << 8) | (b << 16);
}

QString FontStylesToString(int styles)
{
    QString s;
    if (styles & SkinFont::fsBold) s += QLatin1Char('B');
    if (styles & SkinFont::fsItalic) s += QLatin1Char('I');
    if (styles & SkinFont::fsUnderline) s += QLatin1Char('U');
    if (styles & SkinFont::fsStrikeOut) s += QLatin1Char('S');
    return s;
}

int StringToFontStyles(const QString& text)
{
    int styles = 0;
    const QString up = text.toUpper();
    if (up.contains(QLatin1Char('B'))) styles |= SkinFont::fsBold;
    if (up.contains(QLatin1Char('I'))) styles |= SkinFont::fsItalic;
    if (up.contains(QLatin1Char('U'))) styles |= SkinFont::fsUnderline;
    if (up.contains(QLatin1Char('S'))) styles |= SkinFont::fsStrikeOut;
    return styles;
}

QString FontToStr(const SkinFont& font)
{
    // joined, not formatted: a name may hold "%1"
    return QStringList{font.Name, QString::number(font.Size), FontStylesToString(font.Styles),
                       QString::number(font.Pitch), QString::number(font.Charset)}
        .join(QLatin1Char(','));
}

void StrToFont(const QString& text, SkinFont& font)
{
    QString rest = text;
    if (rest.isEmpty()) return;
    const QString name = GetParam(rest);
    if (!name.isEmpty()) font.Name = name;
    if (rest.isEmpty()) return;
    font.Size = StrToIntDef(GetParam(rest), font.Size);
    if (rest.isEmpty()) return;
    font.Styles = StringToFontStyles(GetParam(rest));
    if (rest.isEmpty()) return;
    font.Pitch = StrToIntDef(GetParam(rest), font.Pitch);
    if (rest.isEmpty()) return;
    font.Charset = StrToIntDef(GetParam(rest), font.Charset);
}
