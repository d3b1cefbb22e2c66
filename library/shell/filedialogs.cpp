#include "library/shell/filedialogs.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QSplitter>
#include <QVBoxLayout>

#include "snkins/quor/kitcolours.h"
#include "snkins/quor/tquorswitch1.h"

namespace {

const QColor kBack(50, 50, 50);
const QColor kViewBack(30, 30, 30);
const QColor kText(221, 221, 221);

void darkView(QAbstractItemView* v)
{
    setKitColours(v, kViewBack, kText);
    QPalette p = v->palette();
    p.setColor(QPalette::Highlight, QColor(0, 89, 171));
    p.setColor(QPalette::HighlightedText, kText);
    p.setColor(QPalette::AlternateBase, QColor(21, 21, 21));
    p.setColor(QPalette::Button, QColor(68, 68, 68));
    p.setColor(QPalette::ButtonText, kText);
    p.setColor(QPalette::Inactive, QPalette::Highlight, QColor(0, 89, 171));  // stays visible
    v->setPalette(p);
    v->setFrameShape(QFrame::NoFrame);
    if (auto* tree = qobject_cast<QTreeView*>(v)) {
        tree->header()->setPalette(p);
        tree->header()->setAutoFillBackground(true);
    }
}

QLabel* boldLabel(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    f.setBold(true);
    l->setFont(f);
    setKitColours(l, QColor(), Qt::white);
    return l;
}

TQuorSwitch1* button(const QString& caption, QWidget* parent, int x)
{
    auto* b = new TQuorSwitch1(parent);
    b->setCaption(caption);
    b->setGeometry(x, 46, 98, 23);
    setKitColours(b, QColor(), Qt::white);
    return b;
}

// the tree and the list side by side, 191 + 3 + the rest
QSplitter* treeAndList(QWidget* body, TShellTreeView2* tree, TShellListView2* list)
{
    auto* s = new QSplitter(Qt::Horizontal, body);
    s->setHandleWidth(3);
    s->setChildrenCollapsible(false);
    s->addWidget(tree);
    s->addWidget(list);
    s->setStretchFactor(1, 1);
    s->setSizes({191, 473});
    s->setStyleSheet(QStringLiteral("QSplitter::handle { background: rgb(46, 46, 46); }"));
    body->layout()->addWidget(s);
    tree->setShellListView(list);
    list->setNameFilters(audioFilePatterns());
    darkView(list);
    setWheelSteps(list);
    return s;
}

}  // namespace

TQuorFileForm::TQuorFileForm(const QString& caption, int width, QWidget* owner) : QDialog(owner)
{
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::WindowModal);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(11);
    setFont(f);
    setKitColours(this, kBack, kText);
    resize(width, 728);

    auto* all = new QVBoxLayout(this);
    all->setContentsMargins(0, 0, 0, 0);
    all->setSpacing(0);
    body = new QWidget(this);
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    all->addWidget(body, 1);
    Panel1 = new QWidget(this);
    Panel1->setFixedHeight(82);
    all->addWidget(Panel1);

    tffd = new TShellTreeView2;
    darkView(tffd);
    setWheelSteps(tffd);
}

void TQuorFileForm::buildBottom(int acceptX, int barWidth, int closeX)
{
    lffd = boldLabel(QStringLiteral("Scanning"), Panel1);
    lffd->setGeometry(29, 4, barWidth, 17);
    pffd = new QProgressBar(Panel1);
    pffd->setGeometry(29, 23, barWidth, 17);
    pffd->setTextVisible(false);
    pffd->setRange(0, 100);
    pffd->setValue(0);
    QPalette p = pffd->palette();
    p.setColor(QPalette::Highlight, QColor(0, 0, 255));
    p.setColor(QPalette::Base, QColor(30, 30, 30));
    pffd->setPalette(p);
    bffd1 = button(QStringLiteral("Accept"), Panel1, acceptX);
    bffd2 = button(QStringLiteral("Cancel"), Panel1, 142);
    QuorSwitch13 = button(QStringLiteral("Close"), Panel1, closeX);
    connect(bffd1, &Tjvswitch2::clicked, this, &TQuorFileForm::accepted_);
    connect(bffd2, &Tjvswitch2::clicked, this, &TQuorFileForm::cancelled);
    cancelOwn_ = connect(this, &TQuorFileForm::cancelled, this, &TQuorFileForm::bffd2Click);
    connect(QuorSwitch13, &Tjvswitch2::clicked, this, &TQuorFileForm::QuorSwitch13Click);
}

void TQuorFileForm::setStatus(const QString& text) { lffd->setText(text); }

void TQuorFileForm::setProgress(int position, int maximum)
{
    pffd->setMaximum(qMax(maximum, 1));
    pffd->setValue(qBound(0, position, qMax(maximum, 1)));
}

void TQuorFileForm::replaceCancel() { disconnect(cancelOwn_); }

void TQuorFileForm::bffd2Click() { abort = true; }

void TQuorFileForm::QuorSwitch13Click()
{
    abort = true;
    emit closedByUser();
    close();
}

void TQuorFileForm::showEvent(QShowEvent* e)
{
    abort = false;
    QDialog::showEvent(e);
}

TTquoropendialog2::TTquoropendialog2(QWidget* owner) : TQuorFileForm(QStringLiteral("Add files"), 667, owner)
{
    fb1 = new TShellListView2;
    Splitter1 = treeAndList(body, tffd, fb1);
    buildBottom(29, 604, 535);
}

QStringList TTquoropendialog2::selectedFiles() const
{
    QStringList files;
    for (const QString& p : fb1->selectedPaths())
        if (!QFileInfo(p).isDir()) files << p;
    return files;
}

TTquorfilesdir2::TTquorfilesdir2(QWidget* owner) : TQuorFileForm(QStringLiteral("Files From Directory"), 598, owner)
{
    body->layout()->addWidget(tffd);
    buildBottom(38, 532, 463);
    tffd->setMouseTracking(true);
    tffd->installEventFilter(this);
    tffd->viewport()->installEventFilter(this);
}

bool TTquorfilesdir2::eventFilter(QObject* watched, QEvent* e)
{
    const auto makeCurrent = [this](const QModelIndex& node) {
        if (node.isValid()) tffd->setCurrentIndex(node);
    };
    if (watched == tffd && e->type() == QEvent::FocusIn && !tffd->currentIndex().isValid() && tffd->model())
        makeCurrent(tffd->model()->index(0, 0, tffd->rootIndex()));
    else if (watched == tffd->viewport() && e->type() == QEvent::MouseMove) {
        if (!tffd->currentIndex().isValid())
            makeCurrent(tffd->indexAt(static_cast<QMouseEvent*>(e)->position().toPoint()));
        if (!tffd->hasFocus()) tffd->setFocus(Qt::MouseFocusReason);
    }
    return TQuorFileForm::eventFilter(watched, e);
}

TTquorsavedialog2::TTquorsavedialog2(QWidget* owner) : TQuorFileForm(QStringLiteral("Recording"), 667, owner)
{
    fb1 = new TShellListView2;
    fb1->setSelectionMode(QAbstractItemView::SingleSelection);
    Splitter1 = treeAndList(body, tffd, fb1);
    // the recordings beside the other tracks a set may be cut from, whatever their case
    fb1->setNameFilters({QStringLiteral("*.mp3"), QStringLiteral("*.wav"), QStringLiteral("*.ogg"), QStringLiteral("*.wma")});
    buildBottom(29, 604, 535);
    // the name row: a strip over the tree and the list
    auto* strip = new QWidget(this);
    strip->setFixedHeight(37);
    static_cast<QVBoxLayout*>(layout())->insertWidget(0, strip);
    Label1 = boldLabel(QStringLiteral("Filename:"), strip);
    Label1->move(30, 10);
    Edit1 = new QLineEdit(QStringLiteral("Recording"), strip);
    Edit1->setGeometry(100, 8, 497, 21);
    Label2 = boldLabel(QStringLiteral(".wav"), strip);
    Label2->move(603, 10);
    connect(fb1, &TShellListView2::itemDoubleClicked, this, &TTquorsavedialog2::fb1DblClick);
}

void TTquorsavedialog2::fb1DblClick(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    Edit1->setText(dot > 0 ? name.left(dot) : name);
}

QString TTquorsavedialog2::fileName() const
{
    QString folder = tffd->GetPath();
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) folder.chop(1);
    if (folder == QLatin1String("/")) folder.clear();
    return folder + QLatin1Char('/') + Edit1->text() + QStringLiteral(".wav");
}
