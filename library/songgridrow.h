// The song grid row that every library grid shows (columns in engine/precord.h, gridcol):
// how a panel builds it from a songs query, and the texts its numeric cells hold.
#pragma once

#include <QList>

#include <QString>
#include <QStringList>

class TSQLiteTable;
class VisualPacer;

namespace songgridrow {

enum class Kind { Groups, Playlists, Explorer };

QStringList blank();                   // gridcol::count empty cells
QStringList headers(Kind kind);        // row 0: "   T", "   V" or "   O", "   BPM", ...
QString order(qint64 position);        // a playlist position in four digits: 3 -> "0003"
QString bpm(double value);             // "000.000": three digits or more, a point, three decimals
// A BPM text as a number: "128.5" and, as Groups stored it, "128,5". 0 when it is none.
double bpmValue(const QString& text);
// The deck marks of column 0: the panel's prefix, then "A" and "B" for the decks whose
// file (when there is one) equals path.
QString deckMarks(Kind kind, const QString& path, const QString& loada, const QString& loadb);

// The rows of a songs query in result order. Column 0 is " " for a file that is missing
// and empty otherwise; column 1 the stored position when withOrder, else empty. The pacer
// (if any) is ticked once per row.
QList<QStringList> listing(TSQLiteTable& songs, bool withOrder, VisualPacer* pacer = nullptr);

}  // namespace songgridrow
