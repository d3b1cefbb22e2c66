#include "library/folderscan.h"

#include <algorithm>
#include <set>
#include <utility>

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <QDir>
#include <QFileInfo>

namespace {
const char* const kTypes[] = {"mp3", "wav", "ogg", "mp1", "mp2", "wma", "flac", "aiff"};

// kernel file systems that hold no music and can be endless or slow to walk
bool pseudoFileSystem(const QString& folder)
{
    struct statfs s;
    if (::statfs(QFile::encodeName(folder).constData(), &s) != 0) return true;
    switch (static_cast<unsigned long>(s.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case BPF_FS_MAGIC:
    case PSTOREFS_MAGIC:
    case BINFMTFS_MAGIC:
    case 0x19800202:  // mqueue
    case 0x62656570:  // configfs
    case 0x65735543:  // fusectl
        return true;
    default:
        return false;
    }
}

bool byName(const QFileInfo& a, const QFileInfo& b)
{
    const int c = a.fileName().compare(b.fileName(), Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a.fileName() < b.fileName();
}

struct Walk {
    const std::atomic<bool>* abort;
    const std::function<void(const QString&)>& scanning;
    std::set<std::pair<dev_t, ino_t>> entered;
    QStringList found;

    bool aborted() const { return abort && abort->load(std::memory_order_relaxed); }

    void folder(const QString& path)
    {
        if (aborted()) return;
        struct stat st;
        if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
        if (!entered.insert({st.st_dev, st.st_ino}).second || pseudoFileSystem(path)) return;
        if (scanning) scanning(path);
        const QFileInfoList entries = QDir(path).entryInfoList(
            QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
        std::vector<QFileInfo> byType[std::size(kTypes)];
        std::vector<QFileInfo> subfolders;
        for (const QFileInfo& e : entries) {
            if (e.isDir()) {
                if (!e.isSymLink()) subfolders.push_back(e);
                continue;
            }
            const int rank = FolderScan::typeRank(e.fileName());
            if (rank >= 0 && e.isFile()) byType[rank].push_back(e);
        }
        for (auto& files : byType) {
            std::sort(files.begin(), files.end(), byName);
            for (const QFileInfo& f : files) found << f.filePath();
        }
        std::sort(subfolders.begin(), subfolders.end(), byName);
        for (const QFileInfo& d : subfolders) folder(d.filePath());
    }
};
}  // namespace

int FolderScan::typeRank(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) return -1;
    const QString ext = fileName.mid(dot + 1);
    for (int i = 0; i < int(std::size(kTypes)); ++i)
        if (ext.compare(QLatin1String(kTypes[i]), Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QStringList FolderScan::files(const QString& folder, const std::atomic<bool>* abort,
                              const std::function<void(const QString& folder)>& scanning)
{
    Walk w{abort, scanning, {}, {}};
    w.folder(QDir::cleanPath(folder));
    return w.found;
}
