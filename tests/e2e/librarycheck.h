// The library database as the program left it, read after it ended: its integrity, the CURRENT
// playlist and the tempo stored for each track.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace e2e {

// "ok" when SQLite finds the file sound, else its first complaint.
QString integrityCheck(const QString& db);
// The file paths of the CURRENT playlist (the first playlist in table order), by position.
QStringList currentPlaylist(const QString& db);
// The BPM stored for the first `songs` row (of any kind) holding `file`, when one holds a
// number.
std::optional<double> storedBpm(const QString& db, const QString& file);
// Artist and title of the group entries holding a file of that name, "artist|title".
QStringList groupEntries(const QString& db);

}  // namespace e2e
