#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "library/drivetreemodel.h"
#include "platform/shell/fakevolumesource.h"
#include "tests/library/explorer/explorertree.h"

namespace {

class ExplorerTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        explorerApp();
        ASSERT_TRUE(disk.dir.isValid());
        stick = FakeVolumeSource::volume(disk.folder("media/MY STICK"), "MY STICK", "vfat", true);
        disc = FakeVolumeSource::volume(disk.folder("media/cdrom"), "PARTY CD", "iso9660");
        nas = FakeVolumeSource::volume(disk.folder("mnt/nas"), "", "nfs4");
        backup = FakeVolumeSource::volume(disk.folder("data"), "Backup", "ext4");
        source.set({FakeVolumeSource::volume("/"), FakeVolumeSource::volume("/proc", "", "proc"), stick, disc, nas, backup});
        model.desktopPath = [this] { return desktop; };
        desktop = disk.folder("home/Desktop");
    }
    QModelIndex child(const QModelIndex& parent, const QString& caption)
    {
        for (int r = 0; r < model.rowCount(parent); ++r) {
            const QModelIndex i = model.index(r, 0, parent);
            if (i.data().toString() == caption) return i;
        }
        return {};
    }
    QStringList captions(const QModelIndex& parent)
    {
        QStringList out;
        for (int r = 0; r < model.rowCount(parent); ++r) out << model.index(r, 0, parent).data().toString();
        return out;
    }
    QString selectedCaption() { return model.selected().data().toString(); }

    FolderTree disk;
    FakeVolumeSource source;
    Volume stick, disc, nas, backup;
    QString desktop;
    DriveTreeModel model{source};
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(ExplorerTree, FillShowsRootsAndVolumesByCaptionWithTheirImages)
{
    model.FindDrives();
    EXPECT_EQ(captions({}), (QStringList{"My Computer", "My Desktop"}));
    const QModelIndex computer = model.trinit();
    EXPECT_EQ(computer.data().toString(), QStringLiteral("My Computer"));
    EXPECT_EQ(captions(computer), (QStringList{"/", nas.mountPoint, "Backup", "MY STICK", "PARTY CD"}))
        << "a volume without a label goes by its mount point, which sorts with the slash";
    EXPECT_EQ(child(computer, "/").data(DriveTreeModel::ImageRole).toInt(), DriveTreeModel::HARDDISK);
    EXPECT_EQ(child(computer, "MY STICK").data(DriveTreeModel::ImageRole).toInt(), DriveTreeModel::FLOPPYDISK);
    EXPECT_EQ(child(computer, "PARTY CD").data(DriveTreeModel::ImageRole).toInt(), DriveTreeModel::CDROMDISK);
    EXPECT_EQ(child(computer, nas.mountPoint).data(DriveTreeModel::ImageRole).toInt(), DriveTreeModel::REMOTEDISK);
    EXPECT_EQ(computer.data(DriveTreeModel::ImageRole).toInt(), DriveTreeModel::COMPUTER);
    EXPECT_TRUE(model.hasChildren(child(computer, "MY STICK")));

    // "/" is selected and current, shown under an open "My Computer"
    EXPECT_EQ(selectedCaption(), QStringLiteral("/"));
    EXPECT_EQ(model.fDirectory, QStringLiteral("/"));
    EXPECT_TRUE(model.isExpanded(computer));
    EXPECT_TRUE(model.firsttime);

    // the optical volume found at the first fill starts disabled, and only then
    EXPECT_TRUE(model.isDisabled(disc.mountPoint));
    EXPECT_FALSE(model.isDisabled(stick.mountPoint));
    model.setenable(disc.mountPoint, true);
    model.FindDrives();
    EXPECT_FALSE(model.isDisabled(disc.mountPoint));

    model.tienedescarga = true;
    model.FindDrives();
    EXPECT_EQ(captions({}), (QStringList{"My Computer", "My Desktop", "OSTREL Download"}));
}

TEST_F(ExplorerTree, TheRootIsThereWhateverTheTableSays)
{
    source.set({stick});
    model.FindDrives();
    EXPECT_EQ(captions(model.trinit()), (QStringList{"/", "MY STICK"}));
    EXPECT_EQ(model.fDirectory, QStringLiteral("/"));
}

TEST_F(ExplorerTree, ADisabledVolumeListsNothingUntilEnabled)
{
    disk.folder("media/cdrom/Set 1");
    model.FindDrives();
    QSignalSpy changes(&model, &DriveTreeModel::fOnChange);
    const QModelIndex cd = child(model.trinit(), "PARTY CD");
    model.MouseDown(cd);
    EXPECT_EQ(changes.size(), 0);
    EXPECT_EQ(model.rowCount(cd), 0);

    model.setenable(disc.mountPoint, true);
    model.MouseDown(cd);
    EXPECT_GE(changes.size(), 1);
    EXPECT_EQ(model.fDirectory, disc.mountPoint);
    EXPECT_EQ(captions(cd), QStringList{"Set 1"});
    EXPECT_TRUE(model.isExpanded(cd));
}

TEST_F(ExplorerTree, RemovalThenArrival)
{
    disk.folder("media/MY STICK/Sets");
    model.FindDrives();
    QModelIndex usb = child(model.trinit(), "MY STICK");
    model.MouseDown(usb);
    ASSERT_EQ(model.fDirectory, stick.mountPoint);

    model.volumeRemoved(stick);
    usb = child(model.trinit(), "MY STICK");
    ASSERT_TRUE(usb.isValid()) << "the node stays";
    EXPECT_TRUE(model.isDisabled(stick.mountPoint));
    EXPECT_EQ(model.fDirectory, QStringLiteral("/"));
    EXPECT_EQ(model.fCurDrive, QStringLiteral("/"));
    EXPECT_EQ(model.selected(), model.trinit());
    EXPECT_TRUE(model.tie1.isActive());
    EXPECT_TRUE(model.tie1.isSingleShot());
    EXPECT_EQ(model.tie1.interval(), 1000);

    QSignalSpy changes(&model, &DriveTreeModel::fOnChange);
    model.MouseDown(usb);
    EXPECT_EQ(changes.size(), 0) << "choosing a disabled volume does nothing";

    // twice removed is stored twice; one arrival clears both
    model.volumeRemoved(stick);
    EXPECT_EQ(std::count(model.Lista.begin(), model.Lista.end(), stick.mountPoint), 2);
    model.volumeArrived(stick);
    EXPECT_FALSE(model.isDisabled(stick.mountPoint));
    usb = child(model.trinit(), "MY STICK");
    model.MouseDown(usb);
    EXPECT_GE(changes.size(), 1);
    EXPECT_EQ(model.fDirectory, stick.mountPoint);
    EXPECT_EQ(captions(usb), QStringList{"Sets"});

    model.Tie1Timer();
    EXPECT_EQ(model.fDirectory, QStringLiteral("/"));
    EXPECT_FALSE(model.tie1.isActive());
}

TEST_F(ExplorerTree, AStickArrivingAfterTheFillGainsItsNode)
{
    model.FindDrives();
    const Volume late = FakeVolumeSource::volume(disk.folder("run/media/dj/AAA STICK"), "AAA STICK", "exfat", true);
    model.volumeArrived(late);
    EXPECT_EQ(captions(model.trinit()), (QStringList{"/", nas.mountPoint, "AAA STICK", "Backup", "MY STICK", "PARTY CD"}));
    const QModelIndex n = child(model.trinit(), "AAA STICK");
    EXPECT_EQ(n.data(DriveTreeModel::ImageRole).toInt(), DriveTreeModel::FLOPPYDISK);
    EXPECT_FALSE(model.isDisabled(late.mountPoint));
    EXPECT_EQ(selectedCaption(), QStringLiteral("/")) << "an arrival keeps the selection";

    // another stick in the same place, under another name: the node follows it
    Volume other = late;
    other.label = "ZZZ";
    model.MouseDown(n);
    model.volumeArrived(other);
    EXPECT_EQ(captions(model.trinit()).last(), QStringLiteral("ZZZ"));
    EXPECT_EQ(selectedCaption(), QStringLiteral("ZZZ"));
    EXPECT_EQ(model.nodePath(model.selected()), late.mountPoint);
}

TEST_F(ExplorerTree, NodePathsClimbToTheMountPoint)
{
    disk.folder("media/MY STICK/Sets/2024 live");
    disk.folder("home/Desktop/Stuff");
    model.FindDrives();
    QModelIndex usb = child(model.trinit(), "MY STICK");
    EXPECT_EQ(model.nodePath(usb), stick.mountPoint);
    model.MouseDown(usb);
    const QModelIndex sets = child(usb, "Sets");
    model.MouseDown(sets);
    const QModelIndex live = child(sets, "2024 live");
    ASSERT_TRUE(live.isValid());
    EXPECT_EQ(model.nodePath(live), stick.mountPoint + "/Sets/2024 live");
    EXPECT_EQ(live.data(DriveTreeModel::PathRole).toString(), stick.mountPoint + "/Sets/2024 live");

    const QModelIndex root = child(model.trinit(), "/");
    EXPECT_EQ(model.nodePath(root), QStringLiteral("/"));
    model.MouseDown(root);
    const QModelIndex proc = child(root, "proc");
    if (proc.isValid()) {
        EXPECT_EQ(model.nodePath(proc), QStringLiteral("/proc")) << "no doubled slash";
    }

    const QModelIndex desk = child({}, "My Desktop");
    EXPECT_EQ(model.nodePath(desk), desktop);
    model.MouseDown(desk);
    EXPECT_EQ(model.nodePath(child(desk, "Stuff")), desktop + "/Stuff");
    EXPECT_EQ(model.nodePath(model.trinit()), QStringLiteral("My Computer"));
}

TEST_F(ExplorerTree, AMissingDesktopIsAnEmptyNode)
{
    desktop = disk.path("home/NoDesktop");
    model.FindDrives();
    const QModelIndex desk = child({}, "My Desktop");
    EXPECT_TRUE(model.hasChildren(desk));
    model.MouseDown(desk);
    EXPECT_EQ(model.rowCount(desk), 0);
    EXPECT_FALSE(model.hasChildren(desk));
    EXPECT_EQ(model.fDirectory, desktop);
    EXPECT_EQ(selectedCaption(), QStringLiteral("My Desktop"));
}

TEST_F(ExplorerTree, ChoosingAFolderTwiceTogglesIt)
{
    disk.folder("media/MY STICK/A/inner");
    disk.folder("media/MY STICK/B");
    model.FindDrives();
    const QModelIndex usb = child(model.trinit(), "MY STICK");
    model.MouseDown(usb);
    EXPECT_EQ(captions(usb), (QStringList{"A", "B"}));
    const QModelIndex a = child(usb, "A");
    model.MouseDown(a);
    EXPECT_TRUE(model.isExpanded(a));
    EXPECT_EQ(a.data(DriveTreeModel::ImageRole).toInt(), DriveTreeModel::DIROPEN);
    model.MouseDown(a);
    EXPECT_FALSE(model.isExpanded(a));
    EXPECT_EQ(a.data(DriveTreeModel::ImageRole).toInt(), DriveTreeModel::DIRCLOSE);
    model.MouseDown(a);
    EXPECT_TRUE(model.isExpanded(a));
    EXPECT_EQ(model.rowCount(a), 1) << "read once";

    const QModelIndex b = child(usb, "B");
    EXPECT_TRUE(model.hasChildren(b));
    model.MouseDown(b);
    EXPECT_FALSE(model.hasChildren(b)) << "no subfolders: no expand button";
    EXPECT_FALSE(model.isExpanded(b));
}

TEST_F(ExplorerTree, MyComputerTogglesAndKeepsTheFolder)
{
    model.FindDrives();
    QSignalSpy changes(&model, &DriveTreeModel::fOnChange);
    model.fDirectory = "/somewhere";
    model.MouseDown(model.trinit());
    EXPECT_FALSE(model.isExpanded(model.trinit()));
    EXPECT_EQ(model.selected(), model.trinit());
    model.MouseDown(model.trinit());
    EXPECT_TRUE(model.isExpanded(model.trinit()));
    model.SetSelected();
    EXPECT_FALSE(model.isExpanded(model.trinit()));
    model.SetSelected();
    EXPECT_TRUE(model.isExpanded(model.trinit()));
    EXPECT_EQ(model.fDirectory, QStringLiteral("/somewhere"));
    EXPECT_EQ(changes.size(), 0);
}

TEST_F(ExplorerTree, ControllerBrowsing)
{
    disk.folder("data/One");
    disk.folder("data/Two/Deep");
    model.FindDrives();
    QSignalSpy changes(&model, &DriveTreeModel::fOnChange);
    // visible: My Computer, /, nas, Backup, MY STICK, PARTY CD, My Desktop
    model.dtabajo();
    model.dtabajo();
    EXPECT_EQ(selectedCaption(), QStringLiteral("Backup"));
    EXPECT_EQ(changes.size(), 0) << "moving fires no change";
    model.SetSelected();  // opens Backup and lists it
    EXPECT_EQ(changes.size(), 2);
    EXPECT_EQ(model.fDirectory, backup.mountPoint);
    EXPECT_TRUE(model.isExpanded(model.selected()));
    model.dtabajo();
    EXPECT_EQ(selectedCaption(), QStringLiteral("One"));
    model.dtabajo();
    model.SetSelected();
    EXPECT_EQ(model.fDirectory, backup.mountPoint + "/Two");
    model.dtabajo();
    EXPECT_EQ(selectedCaption(), QStringLiteral("Deep"));
    model.dtarriba();
    model.dtarriba();
    model.dtarriba();
    EXPECT_EQ(selectedCaption(), QStringLiteral("Backup"));
    model.SetSelected();  // open: closes with everything below it
    EXPECT_FALSE(model.isExpanded(model.selected()));
    EXPECT_FALSE(model.isExpanded(child(child(model.trinit(), "Backup"), "Two")));
    model.dtabajo();
    EXPECT_EQ(selectedCaption(), QStringLiteral("MY STICK"));
    for (int i = 0; i < 20; ++i) model.dtabajo();
    EXPECT_EQ(selectedCaption(), QStringLiteral("My Desktop")) << "stays at the last";
    for (int i = 0; i < 20; ++i) model.dtarriba();
    EXPECT_EQ(selectedCaption(), QStringLiteral("My Computer")) << "stays at the first";
}

TEST_F(ExplorerTree, ClosingAFolderMovesAHiddenSelectionUp)
{
    disk.folder("data/One/Inner");
    model.FindDrives();
    const QModelIndex data = child(model.trinit(), "Backup");
    model.MouseDown(data);
    model.MouseDown(child(data, "One"));
    model.dtabajo();
    EXPECT_EQ(selectedCaption(), QStringLiteral("Inner"));
    model.MouseDown(data);  // closes Backup
    EXPECT_EQ(selectedCaption(), QStringLiteral("Backup"));
    // the volume comes back with other media: its folders go, to be read again
    model.MouseDown(data);
    model.dtabajo();
    EXPECT_EQ(selectedCaption(), QStringLiteral("One"));
    model.volumeArrived(backup);
    EXPECT_EQ(selectedCaption(), QStringLiteral("Backup"));
    EXPECT_EQ(model.rowCount(child(model.trinit(), "Backup")), 0);
}

TEST_F(ExplorerTree, DownloadFolderIsMadeInTheProfile)
{
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", disk.path("profile").toUtf8());
    qputenv("XDG_CONFIG_HOME", disk.path("profile/.config").toUtf8());
    model.tienedescarga = true;
    model.FindDrives();
    const QModelIndex down = child({}, "OSTREL Download");
    const QString path = model.nodePath(down);
    EXPECT_TRUE(path.endsWith("/Downloads")) << path.toStdString();
    EXPECT_TRUE(path.startsWith(disk.path("profile"))) << path.toStdString();
    EXPECT_TRUE(QFileInfo(path).isDir());
    qputenv("HOME", home);
    qunsetenv("XDG_CONFIG_HOME");
}

}  // namespace
