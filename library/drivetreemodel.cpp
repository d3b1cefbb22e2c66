#include "library/drivetreemodel.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>

#include "engine/ostrelli.h"
#include "platform/shell/userfolders.h"
#include "platform/shell/volumesource.h"

const QString DriveTreeModel::Rootname = QStringLiteral("My Computer");
const QString DriveTreeModel::Deskname = QStringLiteral("My Desktop");
const QString DriveTreeModel::Downname = QStringLiteral("OSTREL Download");

struct DriveTreeModel::Node {
    enum class Kind { Computer, Desktop, Download, Volume, Folder };
    Kind kind = Kind::Folder;
    QString caption;
    QString mountPoint;  // volume nodes
    int image = DIRCLOSE;
    bool childrenFlag = false;  // shows as openable before its folders are read
    bool expanded = false;
    Node* parent = nullptr;
    int row = 0;
    std::vector<std::unique_ptr<Node>> children;
};

namespace {

bool captionLess(const QString& a, const QString& b)
{
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

QString joined(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

int imageOf(VolumeKind kind)
{
    switch (kind) {
    case VolumeKind::Optical: return DriveTreeModel::CDROMDISK;
    case VolumeKind::Removable: return DriveTreeModel::FLOPPYDISK;
    case VolumeKind::Remote: return DriveTreeModel::REMOTEDISK;
    case VolumeKind::Fixed: break;
    }
    return DriveTreeModel::HARDDISK;
}

}  // namespace

void DriveTreeModel::renumber(std::vector<std::unique_ptr<Node>>& list)
{
    for (size_t i = 0; i < list.size(); ++i) list[i]->row = int(i);
}

DriveTreeModel::DriveTreeModel(VolumeSource& volumes, QObject* parent) : QAbstractItemModel(parent), volumes_(volumes)
{
    tie1.setSingleShot(true);
    tie1.setInterval(1000);
    connect(&tie1, &QTimer::timeout, this, &DriveTreeModel::Tie1Timer);
}

DriveTreeModel::~DriveTreeModel() = default;

QString DriveTreeModel::GetDeskTopPath() const
{
    QString p = desktopPath ? desktopPath() : desktopFolder();
    while (p.size() > 1 && p.endsWith(QLatin1Char('/'))) p.chop(1);
    return p;
}

QString DriveTreeModel::GetDownPath() const
{
    const QString p = GetUserProfile() + QStringLiteral("Downloads");
    QDir().mkpath(p);
    return p;
}

DriveTreeModel::Node* DriveTreeModel::node(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : nullptr;
}

QModelIndex DriveTreeModel::indexOf(const Node* n) const
{
    return n ? createIndex(n->row, 0, const_cast<Node*>(n)) : QModelIndex();
}

QModelIndex DriveTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0) return {};
    const Node* p = node(parent);
    const auto& list = p ? p->children : roots_;
    if (size_t(row) >= list.size()) return {};
    return createIndex(row, 0, list[size_t(row)].get());
}

QModelIndex DriveTreeModel::parent(const QModelIndex& child) const
{
    const Node* n = node(child);
    return n ? indexOf(n->parent) : QModelIndex();
}

int DriveTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0) return 0;
    const Node* p = node(parent);
    return int(p ? p->children.size() : roots_.size());
}

int DriveTreeModel::columnCount(const QModelIndex&) const { return 1; }

bool DriveTreeModel::hasChildren(const QModelIndex& parent) const
{
    const Node* p = node(parent);
    if (!p) return !roots_.empty();
    return p->childrenFlag || !p->children.empty();
}

QVariant DriveTreeModel::data(const QModelIndex& index, int role) const
{
    const Node* n = node(index);
    if (!n) return {};
    switch (role) {
    case Qt::DisplayRole: return n->caption;
    case ImageRole: return n->image;
    case PathRole: return nodePath(index);
    case ExpandedRole: return n->expanded;
    default: return {};
    }
}

QModelIndex DriveTreeModel::trinit() const { return indexOf(trinit_); }

QModelIndex DriveTreeModel::selected() const { return indexOf(selected_); }

bool DriveTreeModel::isExpanded(const QModelIndex& index) const
{
    const Node* n = node(index);
    return n && n->expanded;
}

QString DriveTreeModel::nodePath(const QModelIndex& index) const
{
    auto part = [this](const Node* n) {
        switch (n->kind) {
        case Node::Kind::Desktop: return GetDeskTopPath();
        case Node::Kind::Download: return GetDownPath();
        case Node::Kind::Volume: return n->mountPoint;
        default: return n->caption;
        }
    };
    const Node* n = node(index);
    if (!n) return {};
    QString path = part(n);
    for (const Node* up = n->parent; up && !path.startsWith(QLatin1Char('/')); up = up->parent)
        path = joined(part(up), path);
    return path;
}

bool DriveTreeModel::isDisabled(const QString& path) const
{
    return std::find(Lista.begin(), Lista.end(), path) != Lista.end();
}

DriveTreeModel::Node* DriveTreeModel::insertSorted(Node* parent, std::unique_ptr<Node> child)
{
    auto& list = parent->children;
    const auto at = std::upper_bound(list.begin(), list.end(), child->caption,
                                     [](const QString& c, const std::unique_ptr<Node>& n) { return captionLess(c, n->caption); });
    const int row = int(at - list.begin());
    child->parent = parent;
    beginInsertRows(indexOf(parent), row, row);
    Node* raw = list.insert(at, std::move(child))->get();
    renumber(list);
    endInsertRows();
    return raw;
}

DriveTreeModel::Node* DriveTreeModel::volumeNode(const QString& mountPoint) const
{
    if (!trinit_) return nullptr;
    for (const auto& c : trinit_->children)
        if (c->kind == Node::Kind::Volume && c->mountPoint == mountPoint) return c.get();
    return nullptr;
}

void DriveTreeModel::setVolume(Node* n, const Volume& v)
{
    n->kind = Node::Kind::Volume;
    n->mountPoint = v.mountPoint;
    n->caption = v.caption();
    n->image = imageOf(v.kind());
    n->childrenFlag = true;
}

void DriveTreeModel::FindDrives()
{
    beginResetModel();
    selected_ = nullptr;
    trinit_ = nullptr;
    roots_.clear();
    auto root = [this](Node::Kind kind, const QString& caption) {
        auto n = std::make_unique<Node>();
        n->kind = kind;
        n->caption = caption;
        n->image = COMPUTER;
        n->childrenFlag = kind != Node::Kind::Computer;
        roots_.push_back(std::move(n));
        return roots_.back().get();
    };
    root(Node::Kind::Desktop, Deskname);
    if (tienedescarga) root(Node::Kind::Download, Downname);
    trinit_ = root(Node::Kind::Computer, Rootname);
    std::sort(roots_.begin(), roots_.end(), [](const auto& a, const auto& b) { return captionLess(a->caption, b->caption); });
    renumber(roots_);

    fCurDrive = QStringLiteral("/");
    std::vector<Volume> list = browsableVolumes(volumes_.mounts());
    if (std::none_of(list.begin(), list.end(), [](const Volume& v) { return v.mountPoint == QLatin1String("/"); })) {
        Volume rootVolume;
        rootVolume.mountPoint = QStringLiteral("/");
        list.insert(list.begin(), rootVolume);
    }
    for (const Volume& v : list) {
        auto n = std::make_unique<Node>();
        setVolume(n.get(), v);
        n->parent = trinit_;
        trinit_->children.push_back(std::move(n));
        if (!firsttime && v.kind() == VolumeKind::Optical) disable(v.mountPoint);
    }
    std::stable_sort(trinit_->children.begin(), trinit_->children.end(),
                     [](const auto& a, const auto& b) { return captionLess(a->caption, b->caption); });
    renumber(trinit_->children);
    endResetModel();

    for (const auto& c : trinit_->children)
        if (c->caption == fCurDrive) {
            selectNode(c.get());
            fDirectory = c->caption;
            break;
        }
    firsttime = true;
}

void DriveTreeModel::disable(const QString& mountPoint)
{
    auto free = std::find(Lista.begin(), Lista.end(), QString());
    if (free != Lista.end()) *free = mountPoint;
}

void DriveTreeModel::fChanges()
{
    emit fOnChange();
}

void DriveTreeModel::FindDirs(const QString& path, Node* n)
{
    QDir dir(path);
    QStringList names = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Unsorted);
    if (names.isEmpty()) return;
    std::sort(names.begin(), names.end(), captionLess);
    beginInsertRows(indexOf(n), 0, int(names.size()) - 1);
    n->children.reserve(size_t(names.size()));
    for (const QString& name : names) {
        auto c = std::make_unique<Node>();
        c->caption = name;
        c->image = DIRCLOSE;
        c->childrenFlag = true;
        c->parent = n;
        n->children.push_back(std::move(c));
    }
    renumber(n->children);
    endInsertRows();
}

void DriveTreeModel::GetNodeInfo(Node* n)
{
    const QString p = nodePath(indexOf(n));
    if (n->children.empty()) FindDirs(p, n);
    fDirectory = p;
    fChanges();
}

void DriveTreeModel::folderImage(Node* n)
{
    if (n->image != DIRCLOSE && n->image != DIROPEN) return;
    const int image = !n->children.empty() && n->expanded ? DIROPEN : DIRCLOSE;
    if (image == n->image) return;
    n->image = image;
    const QModelIndex at = indexOf(n);
    emit dataChanged(at, at, {ImageRole});
}

void DriveTreeModel::setExpanded(Node* n, bool expanded, bool descendants)
{
    if (descendants)
        for (const auto& c : n->children) setExpanded(c.get(), false, true);
    if (expanded && n->children.empty()) expanded = false;  // nothing to open
    if (n->expanded != expanded) {
        n->expanded = expanded;
        emit expansionChanged(indexOf(n), expanded);
    }
    folderImage(n);
    if (!expanded)
        for (const Node* s = selected_ ? selected_->parent : nullptr; s; s = s->parent)
            if (s == n) {
                selectNode(n);  // a hidden selection moves up to the node that closed
                break;
            }
}

void DriveTreeModel::selectNode(Node* n)
{
    for (Node* up = n ? n->parent : nullptr; up; up = up->parent)
        if (!up->expanded) setExpanded(up, true);
    selected_ = n;
    emit selectionMoved(indexOf(n));
}

void DriveTreeModel::select(const QModelIndex& index)
{
    if (Node* n = node(index)) selectNode(n);
}

void DriveTreeModel::MouseDown(const QModelIndex& index)
{
    Node* n = node(index);
    if (!n) return;
    selectNode(n);
    if (n == trinit_) {
        setExpanded(n, !n->expanded);
        return;
    }
    fDirectory = nodePath(index);
    if (isDisabled(fDirectory)) return;
    fChanges();
    GetNodeInfo(n);
    selectNode(n);
    if (!n->children.empty()) {
        setExpanded(n, !n->expanded);
    } else if (n->childrenFlag) {
        n->childrenFlag = false;  // no subfolders: the node stops looking openable
        emit dataChanged(index, index);
    }
    folderImage(n);
}

void DriveTreeModel::SetSelected()
{
    Node* n = selected_;
    if (!n) return;
    if (n->expanded) {
        setExpanded(n, false, true);
        return;
    }
    if (n == trinit_) {
        setExpanded(n, true);
        return;
    }
    const QModelIndex at = indexOf(n);
    fDirectory = nodePath(at);
    if (isDisabled(fDirectory)) return;
    fChanges();
    GetNodeInfo(n);
    selectNode(n);
    if (!n->children.empty()) {
        setExpanded(n, true);
    } else if (n->childrenFlag) {
        n->childrenFlag = false;
        emit dataChanged(at, at);
    }
    folderImage(n);
}

std::vector<DriveTreeModel::Node*> DriveTreeModel::visibleOrder() const
{
    std::vector<Node*> out;
    auto walk = [&out](auto&& self, const std::vector<std::unique_ptr<Node>>& list) -> void {
        for (const auto& n : list) {
            out.push_back(n.get());
            if (n->expanded) self(self, n->children);
        }
    };
    walk(walk, roots_);
    return out;
}

void DriveTreeModel::dtarriba()
{
    const std::vector<Node*> order = visibleOrder();
    if (order.empty()) return;
    const auto at = std::find(order.begin(), order.end(), selected_);
    if (at == order.end()) selectNode(order.front());
    else if (at != order.begin()) selectNode(*(at - 1));
}

void DriveTreeModel::dtabajo()
{
    const std::vector<Node*> order = visibleOrder();
    if (order.empty()) return;
    const auto at = std::find(order.begin(), order.end(), selected_);
    if (at == order.end()) selectNode(order.front());
    else if (at + 1 != order.end()) selectNode(*(at + 1));
}

void DriveTreeModel::setenable(const QString& mountPoint, bool enabled)
{
    if (enabled) {
        for (QString& entry : Lista)
            if (entry == mountPoint) entry.clear();
        return;
    }
    fCurDrive = QStringLiteral("/");
    fDirectory = QStringLiteral("/");
    if (trinit_) selectNode(trinit_);
    disable(mountPoint);
}

void DriveTreeModel::removeChildren(Node* n)
{
    if (n->children.empty()) return;
    setExpanded(n, false, true);
    beginRemoveRows(indexOf(n), 0, int(n->children.size()) - 1);
    n->children.clear();
    endRemoveRows();
}

void DriveTreeModel::volumeArrived(const Volume& volume)
{
    if (!trinit_ || !volume.browsable()) return;
    if (Node* n = volumeNode(volume.mountPoint)) {
        // media again (maybe other media): its folders are read again when it is opened
        removeChildren(n);
        const QString caption = volume.caption();
        if (caption != n->caption) {
            std::unique_ptr<Node> own;
            const bool wasSelected = selected_ == n;
            beginRemoveRows(indexOf(trinit_), n->row, n->row);
            own = std::move(trinit_->children[size_t(n->row)]);
            trinit_->children.erase(trinit_->children.begin() + n->row);
            renumber(trinit_->children);
            endRemoveRows();
            setVolume(own.get(), volume);
            n = insertSorted(trinit_, std::move(own));
            if (wasSelected) selectNode(n);
        } else {
            setVolume(n, volume);
            const QModelIndex at = indexOf(n);
            emit dataChanged(at, at);
        }
    } else {
        auto fresh = std::make_unique<Node>();
        setVolume(fresh.get(), volume);
        insertSorted(trinit_, std::move(fresh));
    }
    setenable(volume.mountPoint, true);
    tie1.start();
}

void DriveTreeModel::volumeRemoved(const Volume& volume)
{
    if (!volumeNode(volume.mountPoint)) return;
    setenable(volume.mountPoint, false);
    tie1.start();
}

void DriveTreeModel::Tie1Timer()
{
    fCurDrive = QStringLiteral("/");
    fDirectory = QStringLiteral("/");
    tie1.stop();
}
