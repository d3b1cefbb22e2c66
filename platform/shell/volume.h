// One mounted file system as the mount table lists it, and what the Explorer's "My Computer"
// makes of it: whether a user would browse it, its kind (for the icon) and its node caption.
#pragma once

#include <vector>

#include <QMetaType>
#include <QString>
#include <QStringList>

enum class VolumeKind { Fixed, Removable, Optical, Remote };

struct Volume {
    QString mountPoint;  // absolute, unescaped ("/media/dj/MY STICK")
    QString device;      // the mount source ("/dev/sdb1", "server:/export", "proc")
    QString fsType;      // "ext4", "vfat", "iso9660", "fuse.sshfs", ...
    QString label;       // the file system's label, empty when it has none
    bool removable = false;  // the kernel marks the device removable

    // iso9660 and udf are optical; then a removable device; nfs, cifs and sshfs are remote;
    // anything else is fixed.
    VolumeKind kind() const;
    // The node caption: "/" for the root, else the label, else the mount point.
    QString caption() const;
    // False for pseudo file systems (proc, sysfs, tmpfs, cgroup, squashfs, overlay, autofs, ...)
    // and for mounts inside /proc, /sys, /dev and /run. Mounts under /media and /run/media are
    // always kept, and so is the root, whatever it is (a container's root is an overlay).
    bool browsable() const;

    bool operator==(const Volume&) const = default;
};
Q_DECLARE_METATYPE(Volume)

// The browsable volumes of a mount list, one per mount point (a later mount over the same
// point hides the earlier one), in the list's order.
std::vector<Volume> browsableVolumes(const std::vector<Volume>& mounts);
// The mount points whose topmost mount is not browsable: what a folder walk leaves out.
QStringList hiddenMountPoints(const std::vector<Volume>& mounts);
