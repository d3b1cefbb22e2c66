#include "library/id3v1genres.h"

#include "library/tid3v1tag.h"

namespace id3v1genres {

// the names this list spells its own way; the others are the tag reader's
QString GenreName(int id)
{
    switch (id) {
    case 67: return QStringLiteral("Psychadelic");
    case 81: return QStringLiteral("Folk-Rock");
    case 123: return QStringLiteral("A capella");
    case 136: return QStringLiteral("Christian Gangsta Rap");
    case 140: return QStringLiteral("Contemporary Christian");
    case 141: return QStringLiteral("Christian Rock");
    default: return id >= 0 && id < kCount ? TID3v1Tag::GenreName(id) : QString();
    }
}

}  // namespace id3v1genres
