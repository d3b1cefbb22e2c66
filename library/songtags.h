// The tag step every added track goes through: artist, title and BPM text from the mp3's
// ID3v1 tag, or from the file name split at its first "-". An mp3 whose tag has neither
// title nor artist gets the name-derived ones written into its tag, as far as its Latin-1
// can hold them: a field it cannot hold stays as the file had it.
#pragma once

#include <QString>

#include "library/ttagsong.h"

class TAudioInfo;

namespace songtags {

// "MP3", "OGG", "MP1", "MP2", "WMA", "FLAC", "AIFF", "WAV"
bool accepted(const QString& path);

// Before the first "-": artist, after it: title, neither trimmed; without "-" both are the
// name upper-cased.
void fromName(const QString& name, Ttagsong& t);

// Reads the ID3v1 tag of the file; false when the file could not be read.
bool ReadTag(const QString& alfichero, Ttagsong& t, TAudioInfo& a);

// Artist, title and Bpm ("000.000") of the file into t, and t.alfichero := alfichero; false
// when the file's type is not accepted. Both panels take the same step (playlists is kept
// for the callers that tell them apart).
bool tagStep(const QString& alfichero, bool playlists, Ttagsong& t, TAudioInfo& a);

}  // namespace songtags
