// The six samples the program ships (made at build time, in the program's resources under
// ":/samples/"), copied into the profile's Samples folder when the first run creates it. A file
// that is already there is never overwritten.
#pragma once

#include <QString>
#include <QStringList>

class DefaultSamples {
public:
    static QStringList names();  // "ALARM 1.mp3" ... "THRILL 2.mp3", in the sampler's order
    static QString resourceFolder() { return QStringLiteral(":/samples"); }
    // Copies every sample of `from` missing in `samplesFolder` (made when missing); the number
    // of files copied.
    static int copyInto(const QString& samplesFolder, const QString& from = resourceFolder());
};
