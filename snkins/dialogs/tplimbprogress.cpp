#include "snkins/dialogs/tplimbprogress.h"

#include "snkins/dialogs/centreon.h"
#include "snkins/quor/kitcolours.h"
#include "snkins/quor/tquorpanel.h"
#include "snkins/quor/tquorswitch1.h"

TPlimbprogress::TPlimbprogress(QWidget* form)
    : QWidget(form, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), mainForm(form)
{
    setObjectName(QStringLiteral("Plimbprogress"));
    resize(388, 176);
    setKitColours(this, QColor(32, 32, 32), QColor());

    pdt = new TQuorPanel(this);
    pdt->setGeometry(0, 0, width(), height());
    pdt->tbackcolor = QColor(33, 33, 33);
    pdt->setColor(QColor(33, 33, 33));
    pdt->tcaptioncolor = QColor(61, 67, 79);
    pdt->tcaptionfcolor = Qt::white;
    pdt->tpencolor = Qt::white;
    pdt->ttitlecaption = QStringLiteral("Inserting Files");
    pdt->tpform = this;
    pdt->init();
    pdt->SetShowtitle(false);

    Label1 = new QLabel(QStringLiteral("Files"), this);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    f.setBold(true);
    Label1->setFont(f);
    Label1->setAlignment(Qt::AlignCenter);
    setKitColours(Label1, QColor(), Qt::white);
    Label1->setGeometry(10, 24, width() - 20, 40);

    progress = new QProgressBar(this);
    progress->setRange(0, 100);
    progress->setValue(0);
    progress->setTextVisible(false);
    progress->setGeometry((width() - 345) / 2, 74, 345, 30);
    progress->setStyleSheet(QStringLiteral(
        "QProgressBar { background: rgb(20, 20, 20); border: 1px solid rgb(58, 58, 58); }"
        "QProgressBar::chunk { background: qlineargradient(x1:0, y1:0, x2:1, y2:0,"
        " stop:0 rgb(255, 255, 0), stop:1 rgb(125, 125, 0)); }"));

    bffd2 = new TQuorSwitch1(this);
    bffd2->setCaption(QStringLiteral("Cancel"));
    setKitColours(bffd2, QColor(), Qt::white);
    bffd2->move((width() - bffd2->width()) / 2, 128);
    connect(bffd2, &Tjvswitch2::clicked, this, &TPlimbprogress::bffd2Click);
}

void TPlimbprogress::showEvent(QShowEvent* e)
{
    centreOn(this, mainForm);
    QWidget::showEvent(e);
}

void TPlimbprogress::bffd2Click()
{
    emit OnCancel();
    hide();
}
