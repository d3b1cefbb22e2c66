// The downloader's settings file "cfg.txt": one line, the download folder ending in "/".
#pragma once

#include <QString>

class CfgFile {
public:
    // Missing: false with an empty error. Unreadable: false with the error. Otherwise the first
    // line (without its line end), which may be empty.
    static bool read(const QString& path, QString& firstLine, QString& error);
    // Writes the one line whole, through a new file that replaces the old one, so that a crash
    // leaves the old file or the new one. False with the error.
    static bool write(const QString& path, const QString& line, QString& error);
};
