// The dark tree of groups, subgroups and playlists. The panels fill it; the tree gives it its
// look: two folder icons recoloured to the background, Arial bold text, no border, no hints.
//
// Nodes: addNode(parent, text) under a node or at the root (parent null). A node carries an
// image index and a selected-image index into the two icons (0 "folder1", 1 "folder2") and
// the host's node data (setNodeData, any QVariant: the panels keep their node record there).
#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QStringList>
#include <QTreeWidget>
#include <QVariant>

class TQuorTreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit TQuorTreeView(QWidget* parent = nullptr);

    QColor tbackcolor{0, 0, 0};        // Backcolor: background and icon background
    QColor tfontcolor{255, 255, 255};  // TreeFontColor: node text
    QColor tpencolor;                  // Pencolor: kept for hosts

    // after the host has set the colours
    void init();

    QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& text, int imageIndex = 0,
                             int selectedIndex = 1);
    void setNodeImages(QTreeWidgetItem* node, int imageIndex, int selectedIndex);
    static int ImageIndex(const QTreeWidgetItem* node);
    static int SelectedIndex(const QTreeWidgetItem* node);
    static void setNodeData(QTreeWidgetItem* node, const QVariant& data);
    static QVariant nodeData(const QTreeWidgetItem* node);

    QTreeWidgetItem* Selected() const { return currentItem(); }
    void setSelected(QTreeWidgetItem* node);

    // the prepared icons (empty before init)
    const QList<QPixmap>& images() const { return fImageList; }

    // Clears the tree and reads a text file: a line whose third field is not empty adds its
    // fourth field as a child of the selected node; any other adds its second field as a root
    // node and selects it. Fields are split at commas and blanks, double quotes group.
    void loadfromfile(const QString& path);
    // does nothing
    void savetofile(const QString& path);
    static QStringList Split(const QString& line);

    // a 16 x 16 icon with the white outside (from (1, 1)) and inside (from (8, 8)) filled
    static QImage prepareIcon(const QImage& icon, const QColor& back);

private:
    QIcon iconFor(int imageIndex, int selectedIndex) const;

    QList<QPixmap> fImageList;
    QImage st1, st2;
};
