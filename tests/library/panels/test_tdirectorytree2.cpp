#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "library/panels/tdirectorytree2.h"
#include "platform/shell/fakevolumesource.h"
#include "tests/snkins/quor/kitapp.h"

namespace {

class ExplorerTreeView : public ::testing::Test {
protected:
    void SetUp() override
    {
        kitApp();
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath("stick/Sets/Old");
        QDir(dir.path()).mkpath("stick/Tracks");
        source.set({FakeVolumeSource::volume("/"), FakeVolumeSource::volume(dir.filePath("stick"), "STICK", "vfat", true)});
        tree.mycolor = tree.tbackcolor = QColor(0x21, 0x21, 0x21);
        tree.resize(200, 400);
        tree.model().desktopPath = [this] { return dir.filePath("Desktop"); };
        tree.init();
        tree.show();
    }
    QModelIndex child(const QModelIndex& parent, const QString& caption)
    {
        for (int r = 0; r < tree.model().rowCount(parent); ++r)
            if (tree.model().index(r, 0, parent).data().toString() == caption) return tree.model().index(r, 0, parent);
        return {};
    }
    void pressOn(const QModelIndex& index)
    {
        const QRect r = tree.visualRect(index);
        ASSERT_TRUE(r.isValid());
        press(tree.viewport(), r.center());
        release(tree.viewport(), r.center());
    }
    struct AppFirst {
        AppFirst() { kitApp(); }
    } appFirst;
    QTemporaryDir dir;
    FakeVolumeSource source;
    TDirectoryTree2 tree{source};
};

TEST_F(ExplorerTreeView, ImagesKeyedToTheBackground)
{
    ASSERT_EQ(tree.images().size(), 8);
    for (const QPixmap& p : tree.images()) {
        const QImage img = p.toImage();
        ASSERT_EQ(img.size(), QSize(16, 16));
        EXPECT_EQ(img.pixelColor(0, 0), QColor(0x21, 0x21, 0x21));
        int lit = 0, white = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const QColor c = img.pixelColor(x, y);
                lit += c != QColor(0x21, 0x21, 0x21);
                white += c == QColor(Qt::white);
            }
        EXPECT_GT(lit, 20);
        EXPECT_EQ(white, 0);
    }
}

TEST_F(ExplorerTreeView, TheViewFollowsTheModel)
{
    DriveTreeModel& m = tree.model();
    EXPECT_EQ(tree.currentIndex(), m.selected());
    EXPECT_EQ(tree.currentIndex().data().toString(), QStringLiteral("/"));
    EXPECT_TRUE(tree.isExpanded(m.trinit()));

    QSignalSpy changes(&m, &DriveTreeModel::fOnChange);
    const QModelIndex stick = child(m.trinit(), "STICK");
    pressOn(stick);
    EXPECT_GE(changes.size(), 1);
    EXPECT_EQ(tree.fDirectory(), dir.filePath("stick"));
    EXPECT_EQ(tree.currentIndex(), stick);
    EXPECT_TRUE(tree.isExpanded(stick));
    pressOn(child(stick, "Sets"));
    EXPECT_EQ(tree.fDirectory(), dir.filePath("stick/Sets"));
    pressOn(stick);  // closes it, the selection with it
    EXPECT_FALSE(tree.isExpanded(stick));

    // keys move the selection but choose no folder
    const int before = int(changes.size());
    QTest::keyClick(&tree, Qt::Key_Down);
    EXPECT_EQ(m.selected(), tree.currentIndex());
    EXPECT_EQ(changes.size(), before);

    tree.dtarriba();
    EXPECT_EQ(tree.currentIndex(), m.selected());
    tree.SetSelected();
    EXPECT_EQ(tree.isExpanded(m.selected()), m.isExpanded(m.selected()));
}

TEST_F(ExplorerTreeView, KeysAreReported)
{
    QSignalSpy keys(&tree, &TDirectoryTree2::keyDown);
    QTest::keyClick(&tree, Qt::Key_M);
    ASSERT_EQ(keys.size(), 1);
    EXPECT_EQ(keys[0][0].toInt(), int(Qt::Key_M));
}

TEST_F(ExplorerTreeView, ARemovedVolumeDoesNothingWhenPressed)
{
    DriveTreeModel& m = tree.model();
    source.remove(dir.filePath("stick"));
    m.volumeRemoved(FakeVolumeSource::volume(dir.filePath("stick"), "STICK", "vfat", true));
    EXPECT_EQ(tree.currentIndex(), m.trinit());
    QSignalSpy changes(&m, &DriveTreeModel::fOnChange);
    pressOn(child(m.trinit(), "STICK"));
    EXPECT_EQ(changes.size(), 0);
}

}  // namespace
