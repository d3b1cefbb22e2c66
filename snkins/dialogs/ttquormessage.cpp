#include "snkins/dialogs/ttquormessage.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QThread>

#include "snkins/dialogs/centreon.h"
#include "snkins/dialogs/mainloophook.h"
#include "snkins/quor/kitcolours.h"
#include "snkins/quor/tquorpanel.h"
#include "snkins/quor/tquorswitch1.h"

Ttquormessage::Ttquormessage(QWidget* form)
    : QWidget(form, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), mainForm(form)
{
    setObjectName(QStringLiteral("tquormessage"));
    resize(383, 163);
    setKitColours(this, QColor(24, 24, 24), QColor());

    // FormCreate
    callMmain(false);
    pdt = new TQuorPanel(this);
    pdt->setGeometry(1, 1, width() - 2, height() - 2);
    pdt->tbackcolor = QColor(24, 24, 24);
    pdt->setColor(QColor(24, 24, 24));
    pdt->tcaptioncolor = QColor(48, 48, 48);
    pdt->setbordercolor(QColor(53, 53, 58));
    pdt->tcaptionfcolor = Qt::white;
    pdt->tpencolor = Qt::white;
    pdt->tlinecolor = QColor(48, 48, 48);
    pdt->ttitlecaption = QStringLiteral("Input Box");
    pdt->tpform = this;
    pdt->init();
    pdt->SetShowtitle(true);

    Label1 = new QLabel(this);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    f.setBold(true);
    Label1->setFont(f);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setWordWrap(true);
    setKitColours(Label1, QColor(), Qt::white);
    Label1->setGeometry(10, 40, width() - 20, 66);

    bffd1 = new TQuorSwitch1(this);
    bffd1->setCaption(QStringLiteral("Accept"));
    bffd1->setGeometry(10, 112, 98, 25);
    setKitColours(bffd1, QColor(), Qt::white);
    bffd2 = new TQuorSwitch1(this);
    bffd2->setCaption(QStringLiteral("Cancel"));
    bffd2->setGeometry(width() - 108, 112, 98, 25);
    setKitColours(bffd2, QColor(), Qt::white);
    connect(bffd1, &Tjvswitch2::clicked, this, &Ttquormessage::bffd1Click);
    connect(bffd2, &Tjvswitch2::clicked, this, &Ttquormessage::bffd2Click);

    closetime = new QTimer(this);
    closetime->setSingleShot(true);
    connect(closetime, &QTimer::timeout, this, &Ttquormessage::closetimeTimer);
    result = 0;
}

Ttquormessage::~Ttquormessage()
{
    // a box destroyed while its caller waits lets the caller go with a Cancel
    if (loop) {
        result = 2;
        loop->quit();
    }
}

void Ttquormessage::centre() { centreOn(this, mainForm); }

bool Ttquormessage::MessageDlg(const QString& caption, const QString& text, int timeoutMs, int, int buttons)
{
    if (QThread::currentThread() != thread()) {
        // nobody uses the answer: the box opens on its own thread and the caller goes on
        QPointer<Ttquormessage> self(this);
        QMetaObject::invokeMethod(
            this,
            [self, caption, text, timeoutMs, buttons] {
                if (self) self->MessageDlg(caption, text, timeoutMs, 0, buttons);
            },
            Qt::QueuedConnection);
        return true;
    }
    if (loop) {
        // this box already waits for its own answer: the new message gets a box of its own
        auto* extra = new Ttquormessage(mainForm);
        const bool ok = extra->MessageDlg(caption, text, timeoutMs, 0, buttons);
        extra->deleteLater();
        return ok;
    }
    if (timeoutMs > 0) closetime->start(timeoutMs);
    centre();
    show();
    QString value;
    return InputQuery(caption, text, value, buttons);
}

bool Ttquormessage::InputQuery(const QString& caption, const QString& text, QString&, int buttons)
{
    setWindowTitle(caption);
    pdt->ttitlecaption = caption;
    pdt->tcaplabel->setText(caption);
    pdt->tcaptionfcolor = Qt::white;
    pdt->SetShowtitle(true);
    Label1->setText(text);
    bffd1->show();
    if (buttons == 2) {
        bffd2->show();
        bffd1->move(10, bffd1->y());
        bffd2->move(width() - 108, bffd2->y());
    } else {
        bffd2->hide();
        bffd1->move((width() - 98) / 2, bffd1->y());
    }
    if (!isVisible()) {
        centre();
        show();
    }
    raise();

    result = 0;
    QEventLoop wait;
    loop = &wait;
    QPointer<Ttquormessage> self(this);
    emit shownWaiting();
    if (result == 0) wait.exec();
    if (!self) return false;  // destroyed while waiting: the destructor answered Cancel
    loop = nullptr;
    const int answered = result;
    result = 0;
    pdt->SetShowtitle(true);
    hide();
    return answered != 2;
}

void Ttquormessage::answer(int value)
{
    callMmain(true);
    closetime->stop();
    result = value;
    hide();
    if (loop) loop->quit();
}

void Ttquormessage::bffd1Click() { answer(1); }

void Ttquormessage::bffd2Click() { answer(2); }

void Ttquormessage::closetimeTimer() { answer(1); }
