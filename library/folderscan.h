// The folder scan of "Add from Dir": every accepted audio file under a folder. A folder's
// own files come first, grouped by type in the order mp3, wav, ogg, mp1, mp2, wma, flac,
// aiff (extensions in any case), each group in name order ignoring case; then its
// subfolders in name order, depth first. Links to folders are not followed, pseudo file
// systems (proc, sysfs and the like) are not entered, and no folder is entered twice.
#pragma once

#include <atomic>
#include <functional>

#include <QString>
#include <QStringList>

class FolderScan {
public:
    // scanning is told each folder entered ("Scanning " + folder is the user's label);
    // a set abort flag ends the scan with what was found so far.
    static QStringList files(const QString& folder, const std::atomic<bool>* abort = nullptr,
                             const std::function<void(const QString& folder)>& scanning = {});
    // the place of a file's type in the scan order, -1 for a type the library does not take
    static int typeRank(const QString& fileName);
};
