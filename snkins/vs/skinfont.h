// A font as skin description files record it: name, size in points, styles, pitch (0 default,
// 1 variable, 2 fixed) and character set. Pitch and character set have no meaning to Qt's
// fonts; they are kept so that a file reads back as it was written.
#pragma once

#include <QString>

struct SkinFont {
    enum Style { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

    QString Name = QStringLiteral("Tahoma");
    int Size = 8;
    int Styles = 0;  // Style flags
    int Pitch = 0;
    int Charset = 1;

    bool operator==(const SkinFont&) const = default;
};
