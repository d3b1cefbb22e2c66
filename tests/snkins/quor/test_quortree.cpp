#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "snkins/quor/tquortreeview.h"
#include "tests/snkins/quor/kitapp.h"

// a panel's node record, as the panels keep one in each node
struct NodeRecord {
    double mxid = 0, mxgroup = 0, mxsubgroup = -1;
    QString texto;
    int orden = 0;
};
Q_DECLARE_METATYPE(NodeRecord)

namespace {

class QuorTree : public ::testing::Test {
protected:
    void SetUp() override { kitApp(); }
};

TEST_F(QuorTree, FolderIconsShowTheirOutlineOnTheBackground)
{
    TQuorTreeView tree;
    tree.tbackcolor = QColor(40, 40, 40);
    tree.init();
    ASSERT_EQ(tree.images().size(), 2);
    for (const QPixmap& icon : tree.images()) {
        const QImage img = icon.toImage();
        ASSERT_EQ(img.size(), QSize(16, 16));
        int outline = 0, background = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const QColor c = img.pixelColor(x, y);
                EXPECT_NE(c, QColor(Qt::white)) << x << "," << y;
                (c == QColor(40, 40, 40) ? background : outline)++;
            }
        EXPECT_GT(outline, 20);
        EXPECT_GT(background, 100);
    }
}

TEST_F(QuorTree, TwoLevelsWithImagesAndNodeData)
{
    TQuorTreeView tree;
    tree.init();
    QTreeWidgetItem* group = tree.addNode(nullptr, QStringLiteral("House"));
    QTreeWidgetItem* sub = tree.addNode(group, QStringLiteral("Deep"), 0, 1);
    TQuorTreeView::setNodeData(group, QVariant::fromValue(NodeRecord{7, 7, -1, QStringLiteral("House"), 1}));
    TQuorTreeView::setNodeData(sub, QVariant::fromValue(NodeRecord{9, 9, 7, QStringLiteral("Deep"), 1}));
    tree.setSelected(sub);

    EXPECT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(group->childCount(), 1);
    EXPECT_EQ(tree.Selected(), sub);
    EXPECT_EQ(TQuorTreeView::ImageIndex(sub), 0);
    EXPECT_EQ(TQuorTreeView::SelectedIndex(sub), 1);
    EXPECT_FALSE(sub->icon(0).isNull());
    const NodeRecord back = TQuorTreeView::nodeData(sub).value<NodeRecord>();
    EXPECT_DOUBLE_EQ(back.mxsubgroup, 7);
    EXPECT_EQ(back.texto, QStringLiteral("Deep"));
    EXPECT_EQ(TQuorTreeView::nodeData(group).value<NodeRecord>().orden, 1);
}

TEST_F(QuorTree, LoadsATextFileOfRootsAndChildren)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tree.txt"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Text));
    f.write("1,House,,\n2,x,1,Deep\n3,x,1,\"Tech House\"\n4,Techno,,\n5,x,4,Minimal\n");
    f.close();
    TQuorTreeView tree;
    tree.init();
    tree.addNode(nullptr, QStringLiteral("old"));
    tree.loadfromfile(path);
    ASSERT_EQ(tree.topLevelItemCount(), 2);
    EXPECT_EQ(tree.topLevelItem(0)->text(0), QStringLiteral("House"));
    ASSERT_EQ(tree.topLevelItem(0)->childCount(), 2);
    EXPECT_EQ(tree.topLevelItem(0)->child(1)->text(0), QStringLiteral("Tech House"));
    EXPECT_TRUE(tree.topLevelItem(0)->isExpanded());
    EXPECT_EQ(tree.topLevelItem(1)->child(0)->text(0), QStringLiteral("Minimal"));
    EXPECT_EQ(tree.Selected(), tree.topLevelItem(1));
}

}  // namespace
