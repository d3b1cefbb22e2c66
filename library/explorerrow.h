// The rows the Explorer shows (columns in engine/precord.h, gridcol): a file of the folder
// view or of a search, with artist and title taken from its name, or a file the library
// knows, with the library's values.
#pragma once

#include <utility>

#include <QString>
#include <QStringList>

class PRecord;

namespace explorerrow {

// Columns 0-6 empty, 7-19 "0", 20 "10" (gain), 21-24 "0": an empty listing's row and the
// start of every file row.
QStringList defaults();

enum class Split {
    Listing,  // the folder view: leading blanks removed
    Search,   // the search: both texts as they stand
};
// Artist and title from a file name: the name without its last 4 characters (whatever the
// extension's length); without a "-" both are that text upper-cased, else the texts before
// and after the first "-", case kept.
std::pair<QString, QString> nameSplit(const QString& fileName, Split split);

// Extensions, any case: the folder view lists .wav .mp3 .ogg .wma .flac .mp1 .mp2 .aiff;
// the search also finds .aac and .mp4.
bool listed(const QString& fileName);
bool searched(const QString& fileName);

// A file the library does not know: defaults, artist and title from its name, path in 6.
QStringList fileRow(const QString& path, const QString& fileName, Split split);
// A file the library knows, from the record a look-up (Tmsql::damecancion) filled.
QStringList libraryRow(const PRecord& r, const QString& path);

}  // namespace explorerrow
