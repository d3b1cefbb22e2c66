#include "snkins/quor/tquortreeview.h"

#include <QFile>
#include <QHeaderView>
#include <QIcon>
#include <QTextStream>
#include <vector>

#include "snkins/quor/kitcolours.h"
#include "snkins/quor/kitpicture.h"

namespace {
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kSelectedRole = Qt::UserRole + 2;
constexpr int kDataRole = Qt::UserRole + 3;

// 4-connected fill of the region of `from`'s colour that contains `from`
void floodFill(QImage& img, QPoint from, QRgb colour)
{
    if (!img.rect().contains(from)) return;
    const QRgb target = img.pixel(from);
    if (target == colour) return;
    std::vector<QPoint> stack{from};
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        if (!img.rect().contains(p) || img.pixel(p) != target) continue;
        img.setPixel(p, colour);
        stack.push_back(p + QPoint(1, 0));
        stack.push_back(p - QPoint(1, 0));
        stack.push_back(p + QPoint(0, 1));
        stack.push_back(p - QPoint(0, 1));
    }
}
}  // namespace

TQuorTreeView::TQuorTreeView(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
}

QImage TQuorTreeView::prepareIcon(const QImage& icon, const QColor& back)
{
    QImage img = icon.convertToFormat(QImage::Format_RGB32);
    if (img.isNull()) return img;
    const QRgb white = qRgb(255, 255, 255);
    if (img.rect().contains(1, 1) && img.pixel(1, 1) == white) floodFill(img, QPoint(1, 1), back.rgb());
    if (img.rect().contains(8, 8) && img.pixel(8, 8) == white) floodFill(img, QPoint(8, 8), back.rgb());
    return img;
}

void TQuorTreeView::init()
{
    st1 = prepareIcon(kitPicture("folder1"), tbackcolor);
    st2 = prepareIcon(kitPicture("folder2"), tbackcolor);
    fImageList.clear();
    fImageList << QPixmap::fromImage(st1) << QPixmap::fromImage(st2);
    st1 = QImage();
    st2 = QImage();
    setIconSize(QSize(16, 16));
    setContentsMargins(2, 2, 2, 2);
    setKitColours(this, tbackcolor, tfontcolor);
    setArialBold(this);
    setFrameShape(QFrame::NoFrame);
    setToolTip(QString());
    // icons of the nodes added before init
    for (QTreeWidgetItemIterator it(this); *it; ++it)
        (*it)->setIcon(0, iconFor(ImageIndex(*it), SelectedIndex(*it)));
}

QIcon TQuorTreeView::iconFor(int imageIndex, int selectedIndex) const
{
    QIcon icon;
    if (imageIndex >= 0 && imageIndex < fImageList.size()) icon.addPixmap(fImageList[imageIndex], QIcon::Normal);
    if (selectedIndex >= 0 && selectedIndex < fImageList.size())
        icon.addPixmap(fImageList[selectedIndex], QIcon::Selected);
    return icon;
}

QTreeWidgetItem* TQuorTreeView::addNode(QTreeWidgetItem* parent, const QString& text, int imageIndex,
                                        int selectedIndex)
{
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    node->setText(0, text);
    setNodeImages(node, imageIndex, selectedIndex);
    return node;
}

void TQuorTreeView::setNodeImages(QTreeWidgetItem* node, int imageIndex, int selectedIndex)
{
    node->setData(0, kImageRole, imageIndex);
    node->setData(0, kSelectedRole, selectedIndex);
    node->setIcon(0, iconFor(imageIndex, selectedIndex));
}

int TQuorTreeView::ImageIndex(const QTreeWidgetItem* node) { return node->data(0, kImageRole).toInt(); }

int TQuorTreeView::SelectedIndex(const QTreeWidgetItem* node) { return node->data(0, kSelectedRole).toInt(); }

void TQuorTreeView::setNodeData(QTreeWidgetItem* node, const QVariant& data) { node->setData(0, kDataRole, data); }

QVariant TQuorTreeView::nodeData(const QTreeWidgetItem* node) { return node->data(0, kDataRole); }

void TQuorTreeView::setSelected(QTreeWidgetItem* node) { setCurrentItem(node); }

QStringList TQuorTreeView::Split(const QString& line)
{
    QStringList fields;
    QString field;
    bool quoted = false, any = false;
    for (QChar c : line) {
        if (c == u'"') {
            quoted = !quoted;
            any = true;
        } else if (!quoted && (c == u',' || c == u' ')) {
            // a comma always ends a field; blanks only separate words outside quotes
            if (c == u',' || any || !field.isEmpty()) {
                fields << field;
                field.clear();
                any = false;
            }
        } else {
            field += c;
            any = true;
        }
    }
    if (any || !field.isEmpty() || line.endsWith(u',')) fields << field;
    return fields;
}

void TQuorTreeView::loadfromfile(const QString& path)
{
    clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return;
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QStringList fields = Split(in.readLine());
        if (fields.size() > 2 && !fields[2].isEmpty()) {
            QTreeWidgetItem* parent = Selected();
            addNode(parent, fields.value(3));
            if (parent) parent->setExpanded(true);
        } else {
            QTreeWidgetItem* node = addNode(nullptr, fields.value(1));
            setSelected(node);
        }
    }
}

void TQuorTreeView::savetofile(const QString&) {}
