// The Explorer's drive and folder tree as a model: the roots "My Desktop", "OSTREL Download"
// (when tienedescarga) and "My Computer" holding "/" and one node per browsable volume, and
// below them folders read from disk when a node is first opened. It keeps the current
// folder (fDirectory), the mount points that are disabled (Lista), the selected node and
// which nodes are expanded; a view shows it and forwards the user's presses (MouseDown) and
// the controller's actions (SetSelected, dtarriba, dtabajo).
//
// Paths: a node's path climbs to the nearest node that names a whole folder (a volume's
// mount point, the desktop or the download folder) and joins the captions below it with "/".
// "/" plays the part of drive C: it is selected after a fill, and setenable and tie1 make
// it the current folder.
//
// UI thread only.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include <QAbstractItemModel>
#include <QTimer>

#include "platform/shell/volume.h"

class VolumeSource;

class DriveTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // node images
    enum Image { DIRCLOSE, DIROPEN, COMPUTER, HARDDISK, CDROMDISK, FLOPPYDISK, RAMDISK, REMOTEDISK };
    enum Role {
        ImageRole = Qt::UserRole + 1,  // int, Image
        PathRole,                      // QString, the node's path
        ExpandedRole,                  // bool
    };
    static const QString Rootname, Deskname, Downname;  // "My Computer", "My Desktop", "OSTREL Download"

    explicit DriveTreeModel(VolumeSource& volumes, QObject* parent = nullptr);
    ~DriveTreeModel() override;

    QString fDirectory;  // current folder: a full path without trailing "/" ("/" for the root)
    QString fCurDrive;   // the node selected by a fill
    std::array<QString, 30> Lista;  // disabled mount points; empty = free entry
    bool firsttime = false;         // the drives were filled once
    bool tienedescarga = false;     // show "OSTREL Download"
    QTimer tie1;                    // one-shot, 1 s: the current folder back to "/"

    // Where the special folders come from; tests set their own.
    std::function<QString()> desktopPath;
    QString GetDeskTopPath() const;
    QString GetDownPath() const;  // user profile + "Downloads", created when missing

    // Rebuilds every node from the volume source: roots, "/" and the volumes sorted by
    // caption; optical volumes are disabled on the first fill only; selects "/".
    void FindDrives();

    QModelIndex trinit() const;  // "My Computer"
    QModelIndex selected() const;
    // Selects a node and expands its parents so it shows; fires nothing.
    void select(const QModelIndex& index);
    bool isExpanded(const QModelIndex& index) const;
    QString nodePath(const QModelIndex& index) const;
    bool isDisabled(const QString& path) const;

    // A press on a node (the mouse): see the class comment of the view.
    void MouseDown(const QModelIndex& index);
    // Controller "select", "previous", "next" on the selected node.
    void SetSelected();
    void dtarriba();
    void dtabajo();

    // A mount point enabled or disabled (media arrived or removed).
    void setenable(const QString& mountPoint, bool enabled);
    // A volume seen by the mount watcher: a new one gains its node; one already known is
    // enabled (its folders are read again when opened). Both start tie1.
    void volumeArrived(const Volume& volume);
    // The volume's node stays, disabled; starts tie1.
    void volumeRemoved(const Volume& volume);
    void Tie1Timer();

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

signals:
    void fOnChange();  // a folder was chosen: fDirectory is the folder to list
    void selectionMoved(const QModelIndex& index);
    void expansionChanged(const QModelIndex& index, bool expanded);

private:
    struct Node;
    static void renumber(std::vector<std::unique_ptr<Node>>& list);
    Node* node(const QModelIndex& index) const;
    QModelIndex indexOf(const Node* n) const;
    Node* insertSorted(Node* parent, std::unique_ptr<Node> child);
    Node* volumeNode(const QString& mountPoint) const;
    void setVolume(Node* n, const Volume& v);
    void removeChildren(Node* n);
    void fChanges();
    void GetNodeInfo(Node* n);
    void FindDirs(const QString& path, Node* n);
    void setExpanded(Node* n, bool expanded, bool descendants = false);
    void folderImage(Node* n);
    void selectNode(Node* n);
    std::vector<Node*> visibleOrder() const;
    void disable(const QString& mountPoint);

    VolumeSource& volumes_;
    std::vector<std::unique_ptr<Node>> roots_;
    Node* trinit_ = nullptr;
    Node* selected_ = nullptr;
};
