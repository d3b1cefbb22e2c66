#include "platform/shell/volume.h"

#include <QSet>

namespace {

bool under(const QString& path, const QString& folder)
{
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

const QSet<QString>& pseudoTypes()
{
    static const QSet<QString> types = {
        "proc",        "sysfs",       "devtmpfs",   "devpts",          "tmpfs",        "ramfs",
        "cgroup",      "cgroup2",     "squashfs",   "overlay",         "autofs",       "securityfs",
        "pstore",      "efivarfs",    "bpf",        "debugfs",         "tracefs",      "mqueue",
        "hugetlbfs",   "configfs",    "fusectl",    "binfmt_misc",     "nsfs",         "rpc_pipefs",
        "nfsd",        "selinuxfs",   "devfs",      "usbfs",           "sockfs",       "pipefs",
        "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs", "fuse.snapfuse", "none",
    };
    return types;
}

}  // namespace

VolumeKind Volume::kind() const
{
    if (fsType == QLatin1String("iso9660") || fsType == QLatin1String("udf")) return VolumeKind::Optical;
    if (removable) return VolumeKind::Removable;
    static const QSet<QString> remote = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "sshfs"};
    if (remote.contains(fsType)) return VolumeKind::Remote;
    return VolumeKind::Fixed;
}

QString Volume::caption() const
{
    if (mountPoint == QLatin1String("/")) return mountPoint;
    return label.isEmpty() ? mountPoint : label;
}

bool Volume::browsable() const
{
    if (!mountPoint.startsWith(QLatin1Char('/'))) return false;
    if (mountPoint == QLatin1String("/")) return true;
    if (under(mountPoint, QStringLiteral("/media")) || under(mountPoint, QStringLiteral("/run/media"))) return true;
    if (pseudoTypes().contains(fsType)) return false;
    for (const char* system : {"/proc", "/sys", "/dev", "/run"})
        if (under(mountPoint, QLatin1String(system))) return false;
    return true;
}

std::vector<Volume> browsableVolumes(const std::vector<Volume>& mounts)
{
    std::vector<Volume> out;
    for (const Volume& m : mounts) {
        // a mount over a mount point hides what was there, browsable or not
        std::erase_if(out, [&m](const Volume& v) { return v.mountPoint == m.mountPoint; });
        if (m.browsable()) out.push_back(m);
    }
    return out;
}

QStringList hiddenMountPoints(const std::vector<Volume>& mounts)
{
    QStringList hidden;
    for (const Volume& m : mounts) {
        hidden.removeAll(m.mountPoint);
        if (!m.browsable()) hidden << m.mountPoint;
    }
    return hidden;
}
