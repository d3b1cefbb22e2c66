#include "library/panels/librarypanel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QValidator>
#include <QVBoxLayout>

#include "library/tid3v2.h"
#include "snkins/quor/kitcolours.h"
#include "snkins/quor/tquorgrid.h"
#include "snkins/quor/tquorpanel.h"

namespace {

// every letter typed into the box becomes a capital
class UpperCase : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

QVBoxLayout* fill(QWidget* w, int margin)
{
    auto* l = new QVBoxLayout(w);
    l->setContentsMargins(margin, margin, margin, margin);
    l->setSpacing(0);
    return l;
}

}  // namespace

LibraryPanelFrame::LibraryPanelFrame(TQuorPanel* host) : QObject(host), xmpanel1(host), filetag(std::make_unique<TID3v2>()) {}

LibraryPanelFrame::~LibraryPanelFrame() = default;

void LibraryPanelFrame::buildFrame(const Frame& f)
{
    if (!colpar.isValid()) colpar = f.defaultColpar;
    if (!colnor.isValid()) colnor = f.defaultColnor;
    const QColor border(56, 56, 56);
    const bool frameMargin = hide3dborder;

    QWidget* hostArea = xmpanel1->client();
    auto* hostLayout = fill(hostArea, 0);
    separa = new QSplitter(Qt::Horizontal, hostArea);
    separa->setHandleWidth(3);
    separa->setChildrenCollapsible(false);
    separa->setStyleSheet(QStringLiteral("QSplitter::handle { background: rgb(46, 46, 46); }"));
    hostLayout->addWidget(separa);

    // the tree panel
    pdt = new TQuorPanel(separa);
    pdt->ttitlecaption = f.treeTitle;
    pdt->tcaptioncolor = QColor(68, 68, 68);
    pdt->tcaptionfcolor = QColor(221, 221, 221);
    pdt->tlinecolor = ptitle.isValid() ? ptitle : QColor(103, 137, 48);
    pdt->setbordercolor(border);
    pdt->setColor(colnor);
    if (!img1.isNull()) pdt->setimgup(img1);
    if (!img2.isNull()) pdt->setimdown(img2);
    pdt->init();
    pdt->SetShowtitle(true);
    fill(pdt->client(), frameMargin || img1.isNull() ? 3 : 0);

    // the grid panel: the bar at the bottom, the grid above it
    psg = new TQuorPanel(separa);
    psg->setbordercolor(border);
    psg->setColor(colnor);
    if (!img1.isNull()) psg->setimgup(img1);
    if (!img2.isNull()) psg->setimdown(img2);
    psg->init();
    psg->SetShowtitle(false);
    QVBoxLayout* gridSide = fill(psg->client(), frameMargin || img1.isNull() ? 3 : 0);

    sg = new TquorGrid(psg->client());
    sg->tbackcolor = colnor;
    sg->tparcolor = colpar;
    sg->tpencolor = border;
    sg->tfontcolor = QColor(221, 221, 221);
    sg->ttitlecolor = QColor(68, 68, 68);
    sg->ftitlefill = true;
    sg->init(nullptr);
    if (!sgst1.isNull()) sg->st1 = sgst1;
    if (!sgst2.isNull()) sg->st2 = sgst2;
    if (!sgst3.isNull()) sg->st3 = sgst3;
    sg->setObjectName(f.gridName);
    sg->setDefaultRowHeight(18);
    for (int c = 0; c < sg->ColCount(); ++c) {
        sg->setColWidths(c, c < f.widths.size() ? f.widths[c] : 0);
        sg->setCells(c, 0, c < f.headers.size() ? f.headers[c] : QString());
    }
    sg->setRow(1);
    gridSide->addWidget(sg, 1);

    StatusBar1 = new TQuorPanel(psg->client());
    StatusBar1->setFixedHeight(f.barHeight);
    StatusBar1->setbordercolor(border);
    StatusBar1->setColor(colnor);
    StatusBar1->init();
    StatusBar1->SetShowtitle(false);
    StatusBar1->layout()->setContentsMargins(1, 1, 1, 1);
    gridSide->addWidget(StatusBar1);
    auto* bar = new QHBoxLayout(StatusBar1->client());
    bar->setContentsMargins(3, 0, 3, 0);
    bar->setSpacing(3);
    barLeft_ = new QHBoxLayout;
    barLeft_->setSpacing(3);
    bar->addLayout(barLeft_);
    bar->addStretch(1);

    spSkinStdLabel1 = new QLabel(QStringLiteral("Search:"), StatusBar1->client());
    setKitColours(spSkinStdLabel1, QColor(), QColor(221, 221, 221));
    spSkinStdLabel1->setContentsMargins(50, 0, 4, 0);
    bar->addWidget(spSkinStdLabel1, 0, Qt::AlignVCenter);
    Edit1 = new QLineEdit(StatusBar1->client());
    Edit1->setFixedSize(200, 20);
    Edit1->setFrame(false);
    Edit1->setValidator(new UpperCase(Edit1));
    if (!f.searchFont.isEmpty()) {
        QFont font(f.searchFont);
        font.setPixelSize(13);
        Edit1->setFont(font);
    }
    QPalette pal = Edit1->palette();
    pal.setColor(QPalette::Base, QColor(192, 192, 192));
    pal.setColor(QPalette::Text, Qt::black);
    Edit1->setPalette(pal);
    // the splitter's style sheet reaches the box and leaves its palette unused
    Edit1->setStyleSheet(QStringLiteral("QLineEdit { background: rgb(192, 192, 192); color: black; border: none; }"));
    bar->addWidget(Edit1, 0, Qt::AlignVCenter);

    separa->addWidget(pdt);
    separa->addWidget(psg);
    separa->setStretchFactor(1, 1);
    separa->setSizes({f.treeWidth, qMax(1, xmpanel1->width() - f.treeWidth - 3)});

    Edit1->installEventFilter(this);
    connect(sg, &TquorGrid::keyDown, this, [this](int key) { mKeyDown(key); });
}

void LibraryPanelFrame::typeIntoSearch(const QString& text)
{
    Edit1->clear();
    Edit1->setFocus();
    Edit1->setText(text.toUpper());
    Edit1->setCursorPosition(int(Edit1->text().size()));
}

void LibraryPanelFrame::mKeyDown(int key)
{
    if (const std::optional<QString> text = typedKey(key)) typeIntoSearch(*text);
}

bool LibraryPanelFrame::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == Edit1) {
        switch (e->type()) {
        case QEvent::FocusIn: searchFocus(true); break;
        case QEvent::FocusOut: searchFocus(false); break;
        case QEvent::KeyPress:
            if (buscarpress(static_cast<QKeyEvent*>(e))) return true;
            break;
        default: break;
        }
    }
    return QObject::eventFilter(watched, e);
}
