#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/shell/mounttable.h"

namespace {

// A root folder holding a mount table, the by-label links and the block devices' marks, as
// a machine with a USB stick, an optical disc and an external disk shows them.
class ExplorerMountTable : public ::testing::Test {
protected:
    QTemporaryDir root;

    void file(const QString& path, const QByteArray& bytes = {})
    {
        QDir().mkpath(QFileInfo(root.filePath(path)).path());
        QFile f(root.filePath(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void folder(const QString& path) { ASSERT_TRUE(QDir().mkpath(root.filePath(path))); }
    void link(const QString& target, const QString& path)
    {
        QDir().mkpath(QFileInfo(root.filePath(path)).path());
        ASSERT_TRUE(QFile::link(target, root.filePath(path)));
    }
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        file("proc/self/mountinfo",
             "21 27 0:20 / /proc rw,relatime shared:12 - proc proc rw\n"
             "27 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw,discard\n"
             "30 27 8:17 / /media/dj/MY\\040STICK rw,nosuid,nodev shared:40 - vfat /dev/sdb1 rw,fmask=0022\n"
             "31 27 11:0 / /media/dj/PARTY_CD ro,nosuid,nodev shared:41 - iso9660 /dev/sr0 ro,norock\n"
             "32 27 7:1 / /snap/core/123 ro,nodev,relatime shared:42 - squashfs /dev/loop1 ro\n"
             "33 27 8:33 / /run/media/dj/BACKUP rw,nosuid shared:43 - ext4 /dev/sdc1 rw\n"
             "34 27 0:50 / /mnt/nas rw,relatime - nfs4 nas:/music rw,vers=4.2\n"
             "35 27 254:0 /etc/hosts /etc/hosts rw,relatime - ext4 /dev/vda rw\n"
             "36 27 0:51 / /run/user/1000 rw,nosuid - tmpfs tmpfs rw\n"
             "37 27 0:52 / /media/ramdisk rw - tmpfs tmpfs rw\n"
             "not a mount line\n");
        for (const char* f : {"media/dj/MY STICK", "media/dj/PARTY_CD", "snap/core/123", "run/media/dj/BACKUP",
                              "mnt/nas", "run/user/1000", "media/ramdisk", "proc"})
            folder(f);
        file("etc/hosts", "127.0.0.1 localhost\n");
        for (const char* d : {"dev/vda", "dev/sdb1", "dev/sr0", "dev/sdc1", "dev/loop1"}) file(d);
        link("../../sdb1", "dev/disk/by-label/MY\\x20STICK");
        link("../../sr0", "dev/disk/by-label/PARTY_CD");
        link("../../sdc1", "dev/disk/by-label/BACKUP");
        // sdb is a removable disk holding sdb1; sr0 is removable too; sdc is a fixed disk
        file("sys/devices/usb1/block/sdb/removable", "1\n");
        folder("sys/devices/usb1/block/sdb/sdb1");
        link("../../devices/usb1/block/sdb/sdb1", "sys/class/block/sdb1");
        file("sys/devices/ata2/block/sr0/removable", "1\n");
        link("../../devices/ata2/block/sr0", "sys/class/block/sr0");
        file("sys/devices/ata3/block/sdc/removable", "0\n");
        folder("sys/devices/ata3/block/sdc/sdc1");
        link("../../devices/ata3/block/sdc/sdc1", "sys/class/block/sdc1");
    }
    const Volume* find(const std::vector<Volume>& list, const QString& mountPoint)
    {
        for (const Volume& v : list)
            if (v.mountPoint == mountPoint) return &v;
        return nullptr;
    }
};

TEST(ExplorerVolumes, ParsesEscapesAndFields)
{
    const auto all = MountTable::parse("30 27 8:17 / /media/dj/MY\\040STICK rw shared:40 master:2 - vfat /dev/sdb1 rw\n"
                                       "garbage\n"
                                       "1 2 3:4 / /a\\134b rw - ext4 /dev/x rw");
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].mountPoint, QStringLiteral("/media/dj/MY STICK"));
    EXPECT_EQ(all[0].fsType, QStringLiteral("vfat"));
    EXPECT_EQ(all[0].device, QStringLiteral("/dev/sdb1"));
    EXPECT_EQ(all[1].mountPoint, QStringLiteral("/a\\b"));
    EXPECT_EQ(MountTable::unescapeHex(QStringLiteral("MY\\x20STICK\\x2fB")), QStringLiteral("MY STICK/B"));
}

TEST_F(ExplorerMountTable, MyComputerShowsTheVolumesAUserBrowses)
{
    MountTable table(root.path());
    const std::vector<Volume> all = table.mounts();
    EXPECT_EQ(find(all, "/etc/hosts"), nullptr) << "a bind-mounted file is no volume";
    const std::vector<Volume> shown = browsableVolumes(all);

    QStringList points;
    for (const Volume& v : shown) points << v.mountPoint;
    EXPECT_EQ(points, (QStringList{"/", "/media/dj/MY STICK", "/media/dj/PARTY_CD", "/run/media/dj/BACKUP",
                                   "/mnt/nas", "/media/ramdisk"}));

    const Volume* root = find(shown, "/");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->caption(), QStringLiteral("/"));
    EXPECT_EQ(root->kind(), VolumeKind::Fixed);

    const Volume* stick = find(shown, "/media/dj/MY STICK");
    ASSERT_TRUE(stick);
    EXPECT_EQ(stick->label, QStringLiteral("MY STICK"));
    EXPECT_EQ(stick->caption(), QStringLiteral("MY STICK"));
    EXPECT_TRUE(stick->removable);
    EXPECT_EQ(stick->kind(), VolumeKind::Removable);

    const Volume* disc = find(shown, "/media/dj/PARTY_CD");
    ASSERT_TRUE(disc);
    EXPECT_EQ(disc->kind(), VolumeKind::Optical) << "optical before removable";
    EXPECT_EQ(disc->caption(), QStringLiteral("PARTY_CD"));

    const Volume* backup = find(shown, "/run/media/dj/BACKUP");
    ASSERT_TRUE(backup);
    EXPECT_FALSE(backup->removable);
    EXPECT_EQ(backup->kind(), VolumeKind::Fixed);

    const Volume* nas = find(shown, "/mnt/nas");
    ASSERT_TRUE(nas);
    EXPECT_EQ(nas->kind(), VolumeKind::Remote);
    EXPECT_EQ(nas->caption(), QStringLiteral("/mnt/nas")) << "no label: the mount point";
}

TEST(ExplorerVolumes, PseudoFileSystemsAreLeftOut)
{
    struct Case {
        const char* mountPoint;
        const char* fsType;
        bool shown;
    } cases[] = {
        {"/proc", "proc", false},          {"/sys", "sysfs", false},
        {"/dev", "devtmpfs", false},       {"/dev/pts", "devpts", false},
        {"/tmp", "tmpfs", false},          {"/sys/fs/cgroup/cpu", "cgroup", false},
        {"/snap/core/1", "squashfs", false}, {"/", "overlay", true},
        {"/net", "autofs", false},         {"/run/user/1000/gvfs", "fuse.gvfsd-fuse", false},
        {"/run/lock", "ext4", false},      {"/media/cdrom", "iso9660", true},
        {"/media/ram", "tmpfs", true},     {"/run/media/dj/X", "vfat", true},
        {"/home", "ext4", true},           {"/mnt/share", "cifs", true},
        {"relative", "ext4", false},
    };
    for (const Case& c : cases) {
        Volume v;
        v.mountPoint = c.mountPoint;
        v.fsType = c.fsType;
        EXPECT_EQ(v.browsable(), c.shown) << c.mountPoint << " " << c.fsType;
    }
}

TEST(ExplorerVolumes, ALaterMountHidesTheEarlierOne)
{
    Volume a, b, c;
    a.mountPoint = b.mountPoint = "/media/x";
    a.fsType = "ext4";
    b.fsType = "tmpfs";
    c.mountPoint = "/media/y";
    c.fsType = "vfat";
    auto shown = browsableVolumes({a, c, b});
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].mountPoint, QStringLiteral("/media/y"));
    EXPECT_EQ(shown[1].fsType, QStringLiteral("tmpfs")) << "kept: under /media";
    b.mountPoint = a.mountPoint = "/data";
    shown = browsableVolumes({a, b});
    EXPECT_TRUE(shown.empty()) << "a tmpfs over /data hides the disk that was there";
    EXPECT_EQ(hiddenMountPoints({a, b, c}), QStringList{"/data"});
    EXPECT_TRUE(hiddenMountPoints({b, a}).isEmpty());
}

TEST(ExplorerVolumes, ThisMachineHasItsRoot)
{
    MountTable table;
    bool root = false;
    for (const Volume& v : browsableVolumes(table.mounts())) root = root || v.mountPoint == QLatin1String("/");
    EXPECT_TRUE(root);
}

}  // namespace
