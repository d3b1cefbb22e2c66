// A skin description file held in memory: read whole when the object is made, written whole
// by UpdateFile. Sections and keys keep their order and spelling and are found ignoring case;
// values are kept as the text after "=" (blanks around the key and the value dropped). The
// file is UTF-8 without a byte-order mark; lines starting with ";" are comments.
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "snkins/vs/skinfont.h"

class TVsIni {
public:
    // Reads the file when it exists; any path QFile opens (":/..." resources too). A file
    // that exists but cannot be read throws SkinError.
    explicit TVsIni(const QString& fileName);

    const QString& FileName() const { return FFileName; }

    // The whole contents as text, and from text (for files that live elsewhere).
    QString Text() const;
    void SetText(const QString& text);

    QStringList ReadSections() const;
    QStringList ReadSection(const QString& section) const;  // the keys of a section
    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    void EraseSection(const QString& section);
    void DeleteKey(const QString& section, const QString& key);
    void Clear();

    QString ReadString(const QString& section, const QString& key, const QString& fallback) const;
    // Absent or empty: the default. Not a number: SkinError (conversion).
    int ReadInteger(const QString& section, const QString& key, int fallback) const;
    // Any non-zero number is true.
    bool ReadBool(const QString& section, const QString& key, bool fallback) const;
    QRect ReadRect(const QString& section, const QString& key, const QRect& fallback) const;
    // An empty value reads as clNone.
    uint32_t ReadColor(const QString& section, const QString& key, uint32_t fallback) const;
    // Reads the fields present into `font`, which is also the default.
    void ReadFont(const QString& section, const QString& key, SkinFont& font) const;

    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);
    void WriteRect(const QString& section, const QString& key, const QRect& value);
    void WriteColor(const QString& section, const QString& key, uint32_t value);
    void WriteFont(const QString& section, const QString& key, const SkinFont& font);
    // Write only when the value differs from the default.
    void WriteDefaultString(const QString& section, const QString& key, const QString& fallback, const QString& value);
    void WriteDefaultBool(const QString& section, const QString& key, bool fallback, bool value);

    // Writes the whole contents to FileName; throws SkinError when it cannot.
    void UpdateFile() const;

private:
    struct Entry {
        QString key, value;
    };
    struct Section {
        QString name;
        std::vector<Entry> entries;
    };
    const Section* FindSection(const QString& name) const;
    Section& AddSection(const QString& name);
    const Entry* Find(const QString& section, const QString& key) const;

    QString FFileName;
    std::vector<Section> FSections;
};
