#include "library/panels/songpanel.h"

#include <QAction>
#include <QDataStream>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidgetItem>
#include <QUrl>

#include "engine/mainservices.h"
#include "engine/precord.h"
#include "library/librarypanellogic.h"
#include "library/panels/kitprompts.h"
#include "library/panels/quorpanelgrid.h"
#include "library/shell/filedialogs.h"
#include "snkins/dialogs/tfinfo2.h"
#include "snkins/quor/kitcolours.h"
#include "snkins/quor/tquorgrid.h"
#include "snkins/quor/tquorpanel.h"
#include "snkins/quor/tquorswitch1.h"
#include "snkins/quor/tquortreeview.h"

namespace {

QStringList localFiles(const QMimeData* mime)
{
    QStringList files;
    if (mime)
        for (const QUrl& u : mime->urls())
            if (u.isLocalFile()) files << u.toLocalFile();
    return files;
}

double nodeId(const QTreeWidgetItem* item) { return item ? TQuorTreeView::nodeData(item).toDouble() : -1; }

}  // namespace

SongPanel::SongPanel(TQuorPanel* host) : LibraryPanelFrame(host) {}

SongPanel::~SongPanel() = default;

QString SongPanel::rowMimeType() { return QStringLiteral("application/x-ostrel-songrow"); }

QMimeData* SongPanel::rowMime(const QString& gridName, const QStringList& cells)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out << gridName << cells;
    auto* mime = new QMimeData;
    mime->setData(rowMimeType(), data);
    return mime;
}

bool SongPanel::rowFromMime(const QMimeData* mime, QString* gridName, QStringList* cells)
{
    if (!mime || !mime->hasFormat(rowMimeType())) return false;
    QByteArray data = mime->data(rowMimeType());
    QDataStream in(&data, QIODevice::ReadOnly);
    in >> *gridName >> *cells;
    return in.status() == QDataStream::Ok;
}

void SongPanel::buildPanel(const Frame& f, int buttonWidth, const QStringList& menuCaptions)
{
    buildFrame(f);
    grid_ = std::make_unique<QuorPanelGrid>(sg);
    framed_ = true;
    connect(separa, &QObject::destroyed, this, [this] { framed_ = false; });
    prompts_ = std::make_unique<KitPrompts>(mainform ? mainform : xmpanel1);
    makeLogic();
    sg->setDragEnabled(false);
    sg->setAcceptDrops(true);
    sg->viewport()->setAcceptDrops(true);
    sg->installEventFilter(this);
    sg->viewport()->installEventFilter(this);
    xmpanel1->setAcceptDrops(true);
    xmpanel1->installEventFilter(this);
    Edit1->setAcceptDrops(false);  // files dropped on the search box are the panel's too

    // the tree
    dt = new TQuorTreeView(pdt->client());
    dt->tbackcolor = colnor;
    dt->tfontcolor = Qt::white;
    dt->tpencolor = QColor(192, 192, 192);
    dt->init();
    dt->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette p = dt->palette();
    p.setColor(QPalette::Highlight, QColor(0, 89, 171));
    p.setColor(QPalette::HighlightedText, QColor(221, 221, 221));
    p.setColor(QPalette::Inactive, QPalette::Highlight, QColor(0, 89, 171));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, QColor(221, 221, 221));
    dt->setPalette(p);
    dt->setContextMenuPolicy(Qt::CustomContextMenu);
    pdt->client()->layout()->addWidget(dt);
    dt->installEventFilter(this);
    dt->viewport()->installEventFilter(this);
    connect(dt, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* now, QTreeWidgetItem*) {
        if (syncing_ || !now) return;
        changedId_ = nodeId(now);
        treeClicked(changedId_);
    });
    connect(dt, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
        const double id = nodeId(item);
        if (id != changedId_) treeClicked(id);
        changedId_ = -1;
        focusGrid();
    });
    auto expanded = [this](QTreeWidgetItem* item, bool on) {
        if (syncing_) return;
        if (PanelTree::Node* n = logic().tree().find(nodeId(item))) n->expanded = on;
    };
    connect(dt, &QTreeWidget::itemExpanded, this, [expanded](QTreeWidgetItem* i) { expanded(i, true); });
    connect(dt, &QTreeWidget::itemCollapsed, this, [expanded](QTreeWidgetItem* i) { expanded(i, false); });

    // the context menu
    if (!PopupMenu1) PopupMenu1 = new QMenu(dt);
    while (PopupMenu1->actions().size() < menuCaptions.size()) PopupMenu1->addAction(QString());
    const QList<QAction*> items = PopupMenu1->actions();
    for (int i = 0; i < menuCaptions.size(); ++i) {
        items[i]->setText(menuCaptions[i]);
        connect(items[i], &QAction::triggered, this, [this, i] { menuClick(i); });
    }
    connect(dt, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(dt->viewport()->mapToGlobal(at)); });

    // the bar's buttons
    const char* captions[] = {"File Info", "File Add", "File Delete", "Add from Dir", "Re-Scan BPM"};
    TQuorSwitch1** buttons[] = {&B1, &B2, &B3, &B4, &B5};
    void (SongPanel::*clicks[])() = {&SongPanel::bclick0, &SongPanel::bclick1, &SongPanel::bclick2,
                                     &SongPanel::bclick3, &SongPanel::bclick4};
    for (int i = 0; i < 5; ++i) {
        auto* b = new TQuorSwitch1(StatusBar1->client());
        b->setCaption(QString::fromLatin1(captions[i]));
        b->setFixedSize(buttonWidth, 22);
        setKitColours(b, QColor(), Qt::white);
        barLeft()->addWidget(b, 0, Qt::AlignVCenter);
        connect(b, &Tjvswitch2::clicked, this, clicks[i]);
        *buttons[i] = b;
    }
    B5->hide();

    // the forms
    QWidget* owner = mainform ? mainform : xmpanel1->window();
    mfinfo = new Tfinfo2(owner);
    mfinfo->setWindowFlag(Qt::WindowStaysOnTopHint);
    connect(mfinfo->b4, &QPushButton::clicked, this, [this] {
        logic().saveFileInfo({mfinfo->e1->text(), mfinfo->e2->text(), mfinfo->e3->text(), mfinfo->Label9->text(),
                              mfinfo->FICHERO->text()});
        mfinfo->close();
    });
    connect(mfinfo->b5, &QPushButton::clicked, mfinfo, &QWidget::close);
    connect(mfinfo, &QDialog::finished, this, [this] {
        if (main) main->mmain(true);
        focusGrid();
    });
    mfilesopen = new TTquoropendialog2(owner);
    mfilesdir = new TTquorfilesdir2(owner);
    connect(mfilesopen, &TQuorFileForm::accepted_, this, [this] {
        mfilesopen->abort = false;
        if (!logic().addFiles(mfilesopen->selectedFiles())) mfilesopen->setStatus(QStringLiteral(" "));
    });
    connect(mfilesdir, &TQuorFileForm::accepted_, this, [this] {
        mfilesdir->abort = false;
        mfilesdir->setStatus(QStringLiteral("Scanning directory and folders"));
        logic().addFromDir(mfilesdir->tffd->GetPath());
    });
    for (TQuorFileForm* form : {static_cast<TQuorFileForm*>(mfilesopen), static_cast<TQuorFileForm*>(mfilesdir)}) {
        connect(form, &TQuorFileForm::cancelled, this, [this] { logic().cancelAdding(); });
        connect(form, &TQuorFileForm::closedByUser, this, [this] { logic().cancelAdding(); });
        connect(form, &QDialog::finished, this, [this, form] {
            if (form == mfilesopen) mfilesopen->fb1->clearSelection();
            if (main) main->mmain(true);
            focusGrid();
            if (form == mfilesopen && !logic().addingRunning()) afterFileAddClosed();
        });
    }
    wireAdding();
    logic().tree().changed = [this] { syncTree(); };
}

void SongPanel::wireAdding()
{
    LibraryPanelLogic::AddListener& a = logic().adding;
    a.label = [this](const QString& text) {
        if (activeForm_) activeForm_->setStatus(text);
    };
    a.progress = [this](int position, int maximum) {
        if (activeForm_) activeForm_->setProgress(position, maximum);
    };
    a.finished = [this](const TrackAdder::Outcome& o) {
        // a run that went to its end closes its form; a cancelled one leaves it open
        if (activeForm_ && !o.cancelled && activeForm_->isVisible()) activeForm_->close();
    };
}

void SongPanel::syncTree()
{
    syncing_ = true;
    const PanelTree& t = logic().tree();
    // the same nodes in the same places: only captions, expansion and the selection change, so
    // a click that made the change keeps its item
    bool same = dt->topLevelItemCount() == int(t.top().size());
    for (int i = 0; same && i < int(t.top().size()); ++i) {
        const PanelTree::Node& n = t.top()[size_t(i)];
        QTreeWidgetItem* item = dt->topLevelItem(i);
        same = nodeId(item) == n.data.mxid && item->childCount() == int(n.children.size());
        for (int c = 0; same && c < item->childCount(); ++c) same = nodeId(item->child(c)) == n.children[size_t(c)].data.mxid;
    }
    if (!same) {
        dt->clear();
        for (const PanelTree::Node& n : t.top()) {
            QTreeWidgetItem* item = dt->addNode(nullptr, n.caption);
            TQuorTreeView::setNodeData(item, n.data.mxid);
            for (const PanelTree::Node& c : n.children)
                TQuorTreeView::setNodeData(dt->addNode(item, c.caption), c.data.mxid);
        }
    }
    QTreeWidgetItem* selected = nullptr;
    for (int i = 0; i < int(t.top().size()); ++i) {
        const PanelTree::Node& n = t.top()[size_t(i)];
        QTreeWidgetItem* item = dt->topLevelItem(i);
        if (item->text(0) != n.caption) item->setText(0, n.caption);
        if (item->isExpanded() != n.expanded) item->setExpanded(n.expanded);
        if (t.selected() && n.data.mxid == t.selectedId()) selected = item;
        for (int c = 0; c < item->childCount(); ++c) {
            const PanelTree::Node& cn = n.children[size_t(c)];
            if (item->child(c)->text(0) != cn.caption) item->child(c)->setText(0, cn.caption);
            if (t.selected() && cn.data.mxid == t.selectedId()) selected = item->child(c);
        }
    }
    if (selected && dt->currentItem() != selected) {
        dt->setCurrentItem(selected);
        dt->scrollToItem(selected);
    }
    syncing_ = false;
}

void SongPanel::setDeckFile(int deck, const QString& path) { (deck == 2 ? logic().loadb : logic().loada) = path; }

void SongPanel::load() { logic().load(); }

void SongPanel::setKeyboard(bool on) { logic().iskeyboard = on; }

void SongPanel::setVisualStep(std::function<void()> step) { logic().setVisualStep(std::move(step)); }

void SongPanel::setTextSize(int font, int rowHeight, int statusHeight, int searchFont)
{
    QFont f = sg->font();
    f.setPointSize(font);
    sg->setFont(f);
    sg->setDefaultRowHeight(rowHeight);
    QFont tf = dt->font();
    tf.setPointSize(font);
    dt->setFont(tf);
    StatusBar1->setFixedHeight(statusHeight);
    QFont ef = Edit1->font();
    ef.setPointSize(searchFont);
    Edit1->setFont(ef);
}

void SongPanel::focusGrid()
{
    if (sg && sg->isVisible() && sg->isEnabled()) sg->setFocus(Qt::OtherFocusReason);
}

void SongPanel::bclick0()
{
    const std::optional<LibraryPanelLogic::FileInfo> info = logic().fileInfo();
    if (!info) return;
    mfinfo->e1->setText(info->bpm);
    mfinfo->e2->setText(info->artist);
    mfinfo->e3->setText(info->title);
    mfinfo->Label9->setText(info->file);
    mfinfo->FICHERO->setText(info->id);
    if (main) main->mmain(false);
    mfinfo->open();
}

void SongPanel::openForm(TQuorFileForm* form)
{
    form->setProgress(0, 1);
    form->setStatus(QStringLiteral(" "));
    activeForm_ = form;
    if (main) main->mmain(false);
    form->open();
}

void SongPanel::bclick1()
{
    if (fileAddRefused()) return;
    openForm(mfilesopen);
}

void SongPanel::bclick2()
{
    deleteEntry();
    focusGrid();
}

void SongPanel::bclick3()
{
    if (logic().busqueda) return;
    openForm(mfilesdir);
}

void SongPanel::bclick4() { focusGrid(); }

void SongPanel::searchFocus(bool focused)
{
    if (focused) logic().edit1focus();
    else logic().edit1nofocus();
}

std::optional<QString> SongPanel::typedKey(int key) const
{
    if (key <= 0x20 || key > 0x7e) return std::nullopt;  // no text: function keys, arrows, modifiers
    return const_cast<SongPanel*>(this)->logic().searchKey(QString(QChar(key)));
}

bool SongPanel::canDragRow(int row) const
{
    return row >= 1 && row < sg->RowCount() && !sg->Cells(gridcol::id, row).isEmpty();
}

void SongPanel::startRowDrag()
{
    const int row = pressRow_;
    pressed_ = false;
    if (!canDragRow(row)) return;
    sg->setRow(row);
    emit rowDragStarted(row);
    auto* drag = new QDrag(sg);
    drag->setMimeData(rowMime(sg->objectName(), sg->Rows(row)));
    // the platform's drag runs until the drop; the handlers it calls are the panels' and decks'
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    drag->deleteLater();
}

bool SongPanel::dragEvent(QObject* watched, QEvent* e)
{
    auto* de = static_cast<QDropEvent*>(e);
    const QMimeData* mime = de->mimeData();
    const QStringList files = localFiles(mime);
    QPoint at = de->position().toPoint();
    if (watched == sg->viewport()) at = sg->viewport()->mapTo(sg, at);
    else if (watched == xmpanel1) at = QPoint(-1, -1);
    QString name;
    QStringList cells;
    const bool row = rowFromMime(mime, &name, &cells) || qobject_cast<TquorGrid*>(de->source());
    if (row && name.isEmpty()) {
        if (auto* source = qobject_cast<TquorGrid*>(de->source())) {
            name = source->objectName();
            cells = source->Rows(source->Row());
        }
    }
    if (e->type() == QEvent::Drop) {
        if (!files.isEmpty()) {
            de->acceptProposedAction();
            logic().dropFiles(files);
            focusGrid();
        } else if (row && watched != xmpanel1) {
            de->acceptProposedAction();
            rowDropped(de->source(), name, cells, at);
        }
        return true;
    }
    // enter and move
    bool take = !files.isEmpty();
    if (!take && row && watched != xmpanel1) take = rowDragOver(de->source(), name, at);
    if (take) de->acceptProposedAction();
    else de->ignore();
    return true;
}

bool SongPanel::eventFilter(QObject* watched, QEvent* e)
{
    if (!framed_) return false;  // the frame is going
    const bool gridPart = sg && (watched == sg || watched == sg->viewport());
    switch (e->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        if (gridPart || watched == xmpanel1) return dragEvent(watched, e);
        break;
    case QEvent::MouseButtonPress:
        if (sg && watched == sg->viewport()) {
            auto* me = static_cast<QMouseEvent*>(e);
            const QPoint at = sg->viewport()->mapTo(sg, me->position().toPoint());
            int col = 0, r = 0;
            pressed_ = false;
            if (sg->MouseToCell(at.x(), at.y(), col, r) && r >= 1) {
                rowPressed(r);
                if (me->button() == Qt::LeftButton) {
                    pressed_ = true;
                    pressRow_ = r;
                    pressAt_ = me->position().toPoint();
                }
            }
        } else if (dt && watched == dt->viewport()) {
            auto* me = static_cast<QMouseEvent*>(e);
            if (me->button() == Qt::RightButton) {
                if (QTreeWidgetItem* item = dt->itemAt(me->position().toPoint())) treeRightPressed(nodeId(item));
            }
        }
        break;
    case QEvent::MouseButtonDblClick:
        if (sg && watched == sg->viewport()) pressed_ = false;
        break;
    case QEvent::MouseMove:
        if (sg && watched == sg->viewport() && pressed_) {
            auto* me = static_cast<QMouseEvent*>(e);
            if (!(me->buttons() & Qt::LeftButton)) {
                pressed_ = false;
            } else if ((me->position().toPoint() - pressAt_).manhattanLength() >= 10) {
                startRowDrag();
                return true;
            }
        }
        break;
    case QEvent::MouseButtonRelease:
        if (sg && watched == sg->viewport()) pressed_ = false;
        break;
    case QEvent::KeyPress:
        if (dt && watched == dt) mKeyDown(static_cast<QKeyEvent*>(e)->key());
        break;
    default: break;
    }
    return LibraryPanelFrame::eventFilter(watched, e);
}

bool SongPanel::buscarpress(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        const QString text = Edit1->text();
        Edit1->clear();
        search(text);
        focusGrid();
        return true;
    }
    if (e->key() == Qt::Key_Escape) {
        Edit1->clear();
        focusGrid();
        return true;
    }
    return false;
}
