// A file dropped on the window, or a demo song offered at start-up, as a row of the hidden grid
// that such files pass through (sgdrag), and the window's two drop zones.
#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>

class DroppedFile {
public:
    // A blank row: columns 0 to 6 empty, 7 to 19 "0", 20 "10", 21 to 24 "0".
    static QStringList blankRow();
    // The row of `path`. The name is the file name without its last four characters; with a
    // "-" in it the artist is the text before the first "-" and the title the text after it,
    // each with its leading blanks removed (a demo song keeps them); without one both are the
    // upper-cased name without leading blanks. Column 6 is the path, empty for a missing file.
    static QStringList row(const QString& path, bool demo = false);
    // Where a drop at `at` (window coordinates) loads: 1 deck A, 2 deck B, 0 nowhere.
    static int zone(QPoint at);
};
