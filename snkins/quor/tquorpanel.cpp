#include "snkins/quor/tquorpanel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "snkins/quor/kitcolours.h"
#include "snkins/quor/kitpicture.h"

TQuorPanel::TQuorPanel(QWidget* parent) : QWidget(parent)
{
    tbordercolor = QColor(98, 98, 100);
    outer = new QVBoxLayout(this);
    outer->setContentsMargins(1, 1, 1, 1);
    outer->setSpacing(0);

    timage1 = new QLabel(this);
    timage1->setScaledContents(true);
    timage1->hide();
    timage2 = new QLabel(this);
    timage2->setScaledContents(true);
    timage2->hide();

    titleBox = new QWidget(this);
    auto* boxLayout = new QVBoxLayout(titleBox);
    boxLayout->setContentsMargins(0, 0, 0, 0);
    tcappanel = new QWidget(titleBox);
    tcappanel->setFixedHeight(22);
    boxLayout->addWidget(tcappanel);
    auto* stripLayout = new QVBoxLayout(tcappanel);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    stripLayout->setSpacing(0);
    captionRow = new QHBoxLayout;
    captionRow->setContentsMargins(0, 0, 0, 0);
    captionRow->setSpacing(0);
    tcaplabel = new QLabel(QStringLiteral("Test"), tcappanel);
    tcaplabel->setAlignment(Qt::AlignCenter);
    QFont capFont(QStringLiteral("Arial"));
    capFont.setPixelSize(16);
    capFont.setBold(true);
    tcaplabel->setFont(capFont);
    setKitColours(tcaplabel, QColor(), QColor(0, 255, 0));
    tcloselabel = new QLabel(QStringLiteral("X"), tcappanel);
    QFont closeFont(QStringLiteral("Arial"));
    closeFont.setPixelSize(16);
    tcloselabel->setFont(closeFont);
    tcloselabel->hide();
    captionRow->addWidget(tcaplabel, 1);
    captionRow->addWidget(tcloselabel);
    stripLayout->addLayout(captionRow, 1);
    tcapline = new QFrame(tcappanel);
    tcapline->setFixedHeight(2);
    tcapline->setFrameShape(QFrame::NoFrame);
    setKitColours(tcapline, QColor(0, 128, 0), QColor());
    stripLayout->addWidget(tcapline);

    clientArea = new QWidget(this);
    outer->addWidget(timage1);
    outer->addWidget(titleBox);
    outer->addWidget(clientArea, 1);
    outer->addWidget(timage2);

    for (QWidget* w : {static_cast<QWidget*>(tcappanel), static_cast<QWidget*>(tcaplabel),
                       static_cast<QWidget*>(tcloselabel)})
        w->installEventFilter(this);

    setimgup(kitPicture("arriba"));
    setimdown(kitPicture("abajo"));
}

void TQuorPanel::setColor(const QColor& c)
{
    background = c;
    setKitColours(this, c, QColor());
    update();
}

void TQuorPanel::setbordercolor(const QColor& c)
{
    tbordercolor = c;
    update();
}

void TQuorPanel::layoutImage(QLabel* strip, const QImage& img)
{
    if (fhideborders && !img.isNull()) {
        strip->setPixmap(QPixmap::fromImage(img));
        strip->setFixedHeight(img.height());
        strip->setContentsMargins(2, 0, 2, 0);
        strip->show();
    } else {
        strip->hide();
    }
    update();
}

void TQuorPanel::setshowimages(bool show)
{
    fhideborders = show;
    layoutImage(timage1, fst1);
    layoutImage(timage2, fst2);
}

void TQuorPanel::setimgup(const QImage& img)
{
    fst1 = img;
    layoutImage(timage1, fst1);
}

void TQuorPanel::setimdown(const QImage& img)
{
    fst2 = img;
    layoutImage(timage2, fst2);
}

void TQuorPanel::placeCaption()
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(15);
    f.setBold(true);
    tcaplabel->setFont(f);
    tcaplabel->setText(ttitlecaption);
    tcaplabel->setAlignment(Qt::AlignCenter);
}

void TQuorPanel::init()
{
    inited = true;
    tcappanel->setFixedHeight(22);
    placeCaption();
    setKitColours(tcaplabel, QColor(), tcaptionfcolor);
    if (hasclose) {
        tcloselabel->show();
        tcloselabel->setFixedWidth(40);
        tcloselabel->setAlignment(Qt::AlignCenter);
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(16);
        f.setBold(true);
        tcloselabel->setFont(f);
        setKitColours(tcloselabel, QColor(), QColor(0, 0, 0));
        tcloselabel->setContentsMargins(0, 0, 0, 0);
        tcloselabel->setCursor(Qt::PointingHandCursor);
        // the right margin of 20 pixels
        captionRow->setContentsMargins(0, 0, 20, 0);
    }
    // margins of the strip inside the panel: 2 on the sides and top, 6 below
    titleBox->layout()->setContentsMargins(2, 2, 2, 6);
    if (tpform || movepanel) {
        tcappanel->setCursor(Qt::SizeAllCursor);
        tcaplabel->setCursor(Qt::SizeAllCursor);
    }
}

void TQuorPanel::SetShowtitle(bool show)
{
    if (!tcappanel) return;
    tshowtitle = show;
    titleBox->setVisible(show);
    if (show) tcappanel->setFixedHeight(22);
    setKitColours(tcappanel, tcaptioncolor, tcaptionfcolor);
    QFont f = tcappanel->font();
    f.setBold(true);
    tcappanel->setFont(f);
    setKitColours(tcapline, tlinecolor, QColor());
    tcapline->show();
    tcaplabel->setAlignment(Qt::AlignCenter);
    setKitColours(tcaplabel, QColor(), tcaptionfcolor);
    tcappanel->update();
}

void TQuorPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(tbordercolor);
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TQuorPanel::dragPress(QMouseEvent* e)
{
    if (tpform) {
        QWidget* form = tpform;
        // a window moves by the window system; where it cannot, by hand
        if (form->isWindow() && form->windowHandle() && form->windowHandle()->startSystemMove()) return;
        dragging = true;
        dragStart = e->globalPosition().toPoint() - form->pos();
        return;
    }
    if (movepanel) {
        if (isWindow() && windowHandle() && windowHandle()->startSystemMove()) return;
        dragging = true;
        dragStart = e->globalPosition().toPoint() - pos();
    }
}

void TQuorPanel::dragMove(QMouseEvent* e)
{
    if (!dragging || !(e->buttons() & Qt::AllButtons)) return;
    QWidget* target = tpform ? tpform.data() : this;
    target->move(e->globalPosition().toPoint() - dragStart);
}

void TQuorPanel::closeAction(QMouseEvent* e)
{
    if (!(e->buttons() & Qt::LeftButton)) return;
    if (tpform)
        tpform->close();
    else if (movepanel)
        hide();
}

bool TQuorPanel::eventFilter(QObject* watched, QEvent* e)
{
    if (!inited) return QWidget::eventFilter(watched, e);
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        if (watched == tcloselabel) {
            if (hasclose) closeAction(static_cast<QMouseEvent*>(e));
            return true;
        }
        dragPress(static_cast<QMouseEvent*>(e));
        return true;
    case QEvent::MouseMove:
        if (watched != tcloselabel) dragMove(static_cast<QMouseEvent*>(e));
        break;
    case QEvent::MouseButtonRelease:
        dragging = false;
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, e);
}
