#include "library/panels/tnskinexplore.h"

#include <QDrag>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QSplitter>
#include <QUrl>
#include <QVBoxLayout>

#include "engine/precord.h"
#include "library/panels/busybar.h"
#include "library/panels/tdirectorytree2.h"
#include "library/songgridrow.h"
#include "platform/shell/mountwatcher.h"
#include "snkins/colorref.h"
#include "snkins/quor/kitcolours.h"
#include "snkins/quor/tquorgrid.h"
#include "snkins/quor/tquorpanel.h"
#include "snkins/quor/tquorswitch1.h"

namespace {
constexpr int kDragDistance = 10;
}

Tnskinexplore::Tnskinexplore(TQuorPanel* host, VolumeSource& volumes) : LibraryPanelFrame(host), volumes_(volumes)
{
    ptitle = colorFromRef(3180903);
    logic_ = std::make_unique<ExplorerLogic>(nullptr, grid_, nullptr, &volumes_);
    startDrag = [this] { dragNow(); };
}

Tnskinexplore::~Tnskinexplore() = default;

void Tnskinexplore::init()
{
    logic_->setLibrary(mquorsql);
    logic_->setServices(services);

    Frame f;
    f.treeTitle = QStringLiteral("Browser");
    f.treeWidth = 165;
    f.barHeight = 26;
    f.headers = songgridrow::headers(songgridrow::Kind::Explorer);
    f.widths = {38, 55, 83, 245, 245, 109};
    f.gridName = QStringLiteral("sgexplorer");
    f.searchFont = QStringLiteral("Tahoma");
    f.defaultColnor = colorFromRef(2171169);
    f.defaultColpar = colorFromRef(2434341);
    buildFrame(f);
    pdt->tlinecolor = ptitle;
    pdt->setbordercolor(colorFromRef(3684408));
    pdt->tcaptioncolor = colorFromRef(4473924);
    pdt->tcaptionfcolor = colorFromRef(14540253);
    pdt->SetShowtitle(true);
    StatusBar1->setColor(colorFromRef(5194557));
    if (hide3dborder) StatusBar1->layout()->setContentsMargins(1, 1, 1, 1);
    // the splitter's style sheet reaches the box and leaves its palette unused: its colours
    // are given the same way
    Edit1->setStyleSheet(QStringLiteral("QLineEdit { background: rgb(192, 192, 192); color: black; border: none; }"));

    // the tree
    dt = new TDirectoryTree2(volumes_, pdt->client());
    dt->tienedescarga = tienedescarga;
    dt->mycolor = colnor;
    dt->tbackcolor = colnor;
    dt->tfontcolor = colorFromRef(11842740);
    dt->init();
    pdt->client()->layout()->addWidget(dt);
    connect(&dt->model(), &DriveTreeModel::fOnChange, this, &Tnskinexplore::OndtChange);
    connect(dt, &TDirectoryTree2::keyDown, this, [this](int key, Qt::KeyboardModifiers) { mKeyDown(key); });
    connect(dt, &QAbstractItemView::clicked, this, &Tnskinexplore::dtclick);
    if (watchMounts) {
        watcher = new MountWatcher(volumes_, this);
        connect(watcher, &MountWatcher::arrived, &dt->model(), &DriveTreeModel::volumeArrived);
        connect(watcher, &MountWatcher::removed, &dt->model(), &DriveTreeModel::volumeRemoved);
        watcher->start();
    }

    // "Updating files from directory..." over the grid while a folder is listed
    slabel = new QLabel(QStringLiteral("Updating files from directory..."), psg->client());
    setKitColours(slabel, QColor(), Qt::white);
    slabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    slabel->setContentsMargins(0, 20, 0, 0);
    slabel->hide();
    static_cast<QVBoxLayout*>(psg->client()->layout())->insertWidget(0, slabel);

    // the strip: "Stop Search" and the busy bar at its left end
    B1 = new TQuorSwitch1(StatusBar1->client());
    B1->setCaption(QStringLiteral("Stop Search"));
    B1->setFixedSize(90, 22);
    B1->hide();
    barLeft()->addWidget(B1, 0, Qt::AlignVCenter);
    barLeft()->addSpacing(120 - 3 - 90 - 3);
    JWait = new BusyBar(StatusBar1->client());
    JWait->colour = colorFromRef(2171169);
    JWait->startColour = colorFromRef(2171169);
    JWait->endColour = colorFromRef(33023);
    JWait->gradientWidth = 50;
    JWait->setFixedSize(160, 10);
    JWait->setActive(true);
    JWait->setEnabled(false);
    JWait->hide();
    barLeft()->addWidget(JWait, 0, Qt::AlignVCenter);
    connect(B1, &Tjvswitch2::clicked, this, &Tnskinexplore::bclick0);

    // the grid
    grid_.setWidget(sg);
    sg->mainform = mainform;
    sg->ondeveces = 1;
    sg->Tag = logic_->sortTag;
    sg->setDragEnabled(false);
    connect(sg, &TquorGrid::mouseDown, this, &Tnskinexplore::sgMouseDown);
    connect(sg, &TquorGrid::mouseUp, this, &Tnskinexplore::StringGridMouseUp);
    sgViewport_ = sg->viewport();
    sgViewport_->installEventFilter(this);
    // the host's widgets go before the panel: nothing of theirs is touched after that
    connect(sg, &QObject::destroyed, this, [this] {
        logic_->listener = {};
        sgViewport_ = nullptr;
        sg = nullptr;
    });

    logic_->listener.listing = [this](bool on) {
        slabel->setVisible(on);
        sg->setVisible(!on);
        if (on) slabel->repaint();
    };
    logic_->listener.searching = [this](bool on) { onmessage(on); };

    OndtChange();
    connect(separa, &QSplitter::splitterMoved, this, [this] { dt->updateGeometry(); });
}

void Tnskinexplore::OndtChange() { logic_->OndtChange(dt->fDirectory()); }

void Tnskinexplore::dtclick()
{
    OndtChange();
    sg->setFocus();
}

void Tnskinexplore::bclick0()
{
    logic_->bclick0();
    sg->setFocus();
}

void Tnskinexplore::onmessage(bool searching)
{
    B1->setVisible(searching);
    JWait->setVisible(searching);
    JWait->setEnabled(searching);
}

void Tnskinexplore::setDeckFile(int deck, const QString& path) { (deck == 2 ? logic_->loadb : logic_->loada) = path; }

void Tnskinexplore::load() { logic_->load(); }

void Tnskinexplore::salvatag(const QString& file, const PRecord& deck, int veces) { logic_->salvatag(file, deck, veces); }

void Tnskinexplore::setTextSize(int font, int rowHeight, int titleHeight, int titleFont, int statusHeight,
                                int searchFont)
{
    for (QWidget* w : {static_cast<QWidget*>(sg), static_cast<QWidget*>(dt)}) {
        QFont f = w->font();
        f.setPointSize(font);
        w->setFont(f);
    }
    sg->setDefaultRowHeight(rowHeight);
    pdt->tcappanel->setFixedHeight(titleHeight);
    QFont tf = pdt->tcaplabel->font();
    tf.setPointSize(titleFont);
    pdt->tcaplabel->setFont(tf);
    StatusBar1->setFixedHeight(statusHeight);
    QFont f = Edit1->font();
    f.setPointSize(searchFont);
    Edit1->setFont(f);
}

void Tnskinexplore::searchFocus(bool focused)
{
    if (focused) logic_->edit1focus();
    else logic_->edit1nofocus();
}

bool Tnskinexplore::buscarpress(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        logic_->buscar(Edit1->text().toUpper(), dt->fDirectory());
        Edit1->clear();
        Edit1->setCursorPosition(0);
        sg->setRow(1);
        sg->setFocus();
        return true;
    }
    if (e->key() == Qt::Key_Escape) {
        Edit1->clear();
        sg->setFocus();
        return true;
    }
    return false;
}

std::optional<QString> Tnskinexplore::typedKey(int key) const { return logic_->typedKey(key); }

void Tnskinexplore::sgMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y)
{
    pressAt_.reset();
    if (button != Qt::LeftButton) return;
    int col = 0, row = 0;
    if (!sg->MouseToCell(x, y, col, row) || row < 1) return;
    pressAt_ = QPoint(x, y);
}

void Tnskinexplore::StringGridMouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)
{
    pressAt_.reset();
    int col = 0, row = 0;
    if (!sg->MouseToCell(x, y, col, row) || row != 0) return;
    logic_->headerClicked(col);
}

bool Tnskinexplore::eventFilter(QObject* watched, QEvent* e)
{
    if (sgViewport_ && watched == sgViewport_) {
        if (e->type() == QEvent::MouseButtonDblClick) pressAt_.reset();
        if (e->type() == QEvent::MouseMove && pressAt_) {
            auto* me = static_cast<QMouseEvent*>(e);
            const QPoint at = sg->viewport()->mapTo(sg, me->position().toPoint());
            if ((me->buttons() & Qt::LeftButton) && (at - *pressAt_).manhattanLength() >= kDragDistance) {
                pressAt_.reset();
                const int r = sg->Row();
                if (r >= 1 && (!sg->Cells(gridcol::artist, r).isEmpty() || !sg->Cells(gridcol::title, r).isEmpty()))
                    if (startDrag) startDrag();
                return true;
            }
        }
    }
    return LibraryPanelFrame::eventFilter(watched, e);
}

void Tnskinexplore::dragNow()
{
    auto* drag = new QDrag(sg);
    auto* mime = new QMimeData;
    const QString path = sg->Cells(gridcol::path, sg->Row());
    mime->setText(path);
    drag->setMimeData(mime);
    drag->exec(Qt::CopyAction);
}
