// The second list of the 148 ID3v1 genre names, in the spellings of the wide-text tag unit
// (67 "Psychadelic", 81 "Folk-Rock", 123 "A capella", 136 "Christian Gangsta Rap",
// 140 "Contemporary Christian", 141 "Christian Rock"). TID3v2 names genre references with it;
// TID3v1Tag keeps its own list.
#pragma once

#include <QString>

namespace id3v1genres {

constexpr int kCount = 148;

// "" outside 0..147
QString GenreName(int id);

}  // namespace id3v1genres
