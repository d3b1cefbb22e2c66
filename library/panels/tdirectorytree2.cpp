#include "library/panels/tdirectorytree2.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "snkins/colorref.h"
#include "snkins/quor/kitcolours.h"
#include "snkins/quor/tquortreeview.h"

namespace {

// Shows each node with the image its model row names.
class NodeImageDelegate : public QStyledItemDelegate {
public:
    NodeImageDelegate(const QList<QPixmap>& images, QObject* parent) : QStyledItemDelegate(parent), images_(images) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const int image = index.data(DriveTreeModel::ImageRole).toInt();
        if (image < 0 || image >= images_.size()) return;
        option->icon = QIcon(images_[image]);
        option->features |= QStyleOptionViewItem::HasDecoration;
        option->decorationSize = QSize(16, 16);
    }

private:
    const QList<QPixmap>& images_;
};

const char* const kImages[] = {"DIRCLOSE", "DIROPEN", "COMPUTER", "HARDDISK", "CDROMDISK", "FLOPPYDISK", "RAMDISK", "REMOTEDISK"};

}  // namespace

TDirectoryTree2::TDirectoryTree2(VolumeSource& volumes, QWidget* parent) : QTreeView(parent), model_(volumes)
{
    setModel(&model_);
    setHeaderHidden(true);
    setItemsExpandable(false);  // only the model opens and closes nodes
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setFrameShape(QFrame::NoFrame);
    setItemDelegate(new NodeImageDelegate(fImageList, this));
    connect(&model_, &DriveTreeModel::selectionMoved, this, [this](const QModelIndex& index) {
        following_ = true;
        setCurrentIndex(index);
        if (index.isValid()) scrollTo(index);
        following_ = false;
    });
    connect(&model_, &DriveTreeModel::expansionChanged, this,
            [this](const QModelIndex& index, bool expanded) { setExpanded(index, expanded); });
}

void TDirectoryTree2::init()
{
    fImageList.clear();
    for (const char* name : kImages) {
        const QImage img(QStringLiteral(":/explorer/") + QLatin1String(name), "BMP");
        fImageList << QPixmap::fromImage(TQuorTreeView::prepareIcon(img, mycolor));
    }
    setIconSize(QSize(16, 16));
    setKitColours(this, tbackcolor, tfontcolor);
    QPalette pal = palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(g, QPalette::Highlight, colorFromRef(11229440));
        pal.setColor(g, QPalette::HighlightedText, colorFromRef(14540253));
    }
    setPalette(pal);
    setArialBold(this);
    setToolTip(QString());
    model_.tienedescarga = tienedescarga;
    model_.FindDrives();
}

void TDirectoryTree2::mousePressEvent(QMouseEvent* e)
{
    QTreeView::mousePressEvent(e);
    const QModelIndex at = indexAt(e->position().toPoint());
    if (at.isValid()) model_.MouseDown(at);
}

void TDirectoryTree2::keyPressEvent(QKeyEvent* e)
{
    emit keyDown(e->key(), e->modifiers());
    QTreeView::keyPressEvent(e);
}

void TDirectoryTree2::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeView::currentChanged(current, previous);
    if (!following_ && current.isValid() && current != model_.selected()) model_.select(current);
}

void TDirectoryTree2::drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const
{
    // the tree's lines without expand buttons: a dotted line down each level whose node has
    // a later sibling, and a short one to the node
    const int step = indentation();
    QPen pen(QColor(0x5A, 0x5A, 0x5A), 1, Qt::DotLine);
    painter->save();
    painter->setPen(pen);
    const int midY = rect.center().y();
    int x = rect.right() - step / 2;
    const bool lastChild = index.row() + 1 >= model_.rowCount(index.parent());
    painter->drawLine(x, rect.top(), x, lastChild ? midY : rect.bottom());
    painter->drawLine(x, midY, rect.right(), midY);
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) {
        x -= step;
        if (up.row() + 1 < model_.rowCount(up.parent())) painter->drawLine(x, rect.top(), x, rect.bottom());
    }
    painter->restore();
}
