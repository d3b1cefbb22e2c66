// The outside program that does the downloading: an executable "yt-dlp" or "youtube-dl" in the
// profile folder when there is one (that copy may update itself), otherwise "yt-dlp" on the
// PATH (updated by the system's packages).
#pragma once

#include <QString>

struct VideoEngine {
    QString program;         // full path; empty when there is none
    bool inProfile = false;  // the profile folder's own copy

    bool found() const { return !program.isEmpty(); }
    // Looked up once, at start.
    static VideoEngine find(const QString& profile);
};
