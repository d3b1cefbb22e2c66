#include "snkins/vs/tvsini.h"

#include <QFile>
#include <QSaveFile>

#include "snkins/vs/skinerror.h"
#include "snkins/vs/vssysutils.h"

namespace {

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}  // namespace

TVsIni::TVsIni(const QString& fileName) : FFileName(fileName)
{
    QFile file(fileName);
    if (!file.exists()) return;
    if (!file.open(QIODevice::ReadOnly))
        throw SkinError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    SetText(QString::fromUtf8(file.readAll()));
}

void TVsIni::SetText(const QString& text)
{
    FSections.clear();
    Section* current = nullptr;
    for (const QStringView raw : QStringView(text).split(QLatin1Char('\n'))) {
        QString line = raw.trimmed().toString();
        if (line.startsWith(QChar(0xFEFF))) line = line.mid(1).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            FSections.push_back(Section{line.mid(1, line.size() - 2).trimmed(), {}});
            current = &FSections.back();
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (!current || eq < 0) continue;
        current->entries.push_back(Entry{line.left(eq).trimmed(), line.mid(eq + 1).trimmed()});
    }
}

QString TVsIni::Text() const
{
    QString out;
    for (const Section& s : FSections) {
        out += QLatin1Char('[') + s.name + QStringLiteral("]\n");
        for (const Entry& e : s.entries) out += e.key + QLatin1Char('=') + e.value + QLatin1Char('\n');
        out += QLatin1Char('\n');
    }
    return out;
}

const TVsIni::Section* TVsIni::FindSection(const QString& name) const
{
    for (const Section& s : FSections)
        if (sameName(s.name, name)) return &s;
    return nullptr;
}

TVsIni::Section& TVsIni::AddSection(const QString& name)
{
    if (const Section* s = FindSection(name)) return const_cast<Section&>(*s);
    FSections.push_back(Section{name, {}});
    return FSections.back();
}

const TVsIni::Entry* TVsIni::Find(const QString& section, const QString& key) const
{
    const Section* s = FindSection(section);
    if (!s) return nullptr;
    for (const Entry& e : s->entries)
        if (sameName(e.key, key)) return &e;
    return nullptr;
}

QStringList TVsIni::ReadSections() const
{
    QStringList names;
    for (const Section& s : FSections) names << s.name;
    return names;
}

QStringList TVsIni::ReadSection(const QString& section) const
{
    QStringList keys;
    if (const Section* s = FindSection(section))
        for (const Entry& e : s->entries) keys << e.key;
    return keys;
}

bool TVsIni::SectionExists(const QString& section) const { return FindSection(section) != nullptr; }

bool TVsIni::ValueExists(const QString& section, const QString& key) const { return Find(section, key) != nullptr; }

void TVsIni::EraseSection(const QString& section)
{
    std::erase_if(FSections, [&](const Section& s) { return sameName(s.name, section); });
}

void TVsIni::DeleteKey(const QString& section, const QString& key)
{
    for (Section& s : FSections)
        if (sameName(s.name, section)) std::erase_if(s.entries, [&](const Entry& e) { return sameName(e.key, key); });
}

void TVsIni::Clear() { FSections.clear(); }

QString TVsIni::ReadString(const QString& section, const QString& key, const QString& fallback) const
{
    const Entry* e = Find(section, key);
    return e ? e->value : fallback;
}

int TVsIni::ReadInteger(const QString& section, const QString& key, int fallback) const
{
    const QString v = ReadString(section, key, QString());
    return v.isEmpty() ? fallback : StrToInt(v);
}

bool TVsIni::ReadBool(const QString& section, const QString& key, bool fallback) const
{
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

QRect TVsIni::ReadRect(const QString& section, const QString& key, const QRect& fallback) const
{
    const Entry* e = Find(section, key);
    return e ? StrToRect(e->value) : fallback;
}

uint32_t TVsIni::ReadColor(const QString& section, const QString& key, uint32_t fallback) const
{
    const Entry* e = Find(section, key);
    return e ? StrToRGB(e->value) : fallback;
}

void TVsIni::ReadFont(const QString& section, const QString& key, SkinFont& font) const
{
    if (const Entry* e = Find(section, key)) StrToFont(e->value, font);
}

void TVsIni::WriteString(const QString& section, const QString& key, const QString& value)
{
    Section& s = AddSection(section);
    for (Entry& e : s.entries)
        if (sameName(e.key, key)) {
            e.value = value;
            return;
        }
    s.entries.push_back(Entry{key, value});
}

void TVsIni::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TVsIni::WriteBool(const QString& section, const QString& key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TVsIni::WriteRect(const QString& section, const QString& key, const QRect& value)
{
    WriteString(section, key, RectToStr(value));
}

void TVsIni::WriteColor(const QString& section, const QString& key, uint32_t value)
{
    WriteString(section, key, RGBToStr(value));
}

void TVsIni::WriteFont(const QString& section, const QString& key, const SkinFont& font)
{
    WriteString(section, key, FontToStr(font));
}

void TVsIni::WriteDefaultString(const QString& section, const QString& key, const QString& fallback,
                                const QString& value)
{
    if (value != fallback) WriteString(section, key, value);
}

void TVsIni::WriteDefaultBool(const QString& section, const QString& key, bool fallback, bool value)
{
    if (value != fallback) WriteBool(section, key, value);
}

void TVsIni::UpdateFile() const
{
    QSaveFile file(FFileName);
    const QByteArray bytes = Text().toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw SkinError(QStringLiteral("Cannot create file \"%1\". %2").arg(FFileName, file.errorString()));
}
