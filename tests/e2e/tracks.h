// The music of the end-to-end test, made once and kept between runs in the build folder: a
// folder of 30 tracks of the accepted types plus 3 m4a files (the Groups panel's "Add from
// Dir"), a folder of four 15 s tracks (the automix playlist), all grooves of known tempo.
#pragma once

#include <QString>
#include <vector>

#include "tests/e2e/groove.h"

namespace e2e {

struct Track {
    QString path, artist, title;
    Groove groove;
};

struct TrackSet {
    QString groupsDir, automixDir;
    std::vector<Track> accepted;  // the 30; accepted[0] is deck B's (high, 126 BPM, 150 s)
    std::vector<Track> m4a;       // the 3; m4a[0] is deck A's (low, 120 BPM, 150 s)
    std::vector<Track> automix;   // the 4 of 15 s
};

// Makes what is missing under `root`; an empty error means the set is complete.
TrackSet makeTracks(const QString& root, QString* error);

}  // namespace e2e
