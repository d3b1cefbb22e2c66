#include "snkins/dialogs/tsplashform.h"

#include <QMouseEvent>

#include "snkins/dialogs/centreon.h"
#include "snkins/dialogs/mainloophook.h"
#include "snkins/quor/kitcolours.h"
#include "snkins/quor/kitpicture.h"
#include "snkins/vs/vsmask.h"

Tsplashform* splashform = nullptr;

namespace {
const QRgb kFuchsia = qRgb(255, 0, 255);

QLabel* picture(QWidget* parent, const char* name)
{
    auto* l = new QLabel(parent);
    l->setGeometry(0, 0, 679, 321);
    l->setPixmap(QPixmap::fromImage(kitPicture(name)));
    l->setScaledContents(false);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

QFont arialBold(int pixels)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(true);
    return f;
}
}  // namespace

Tsplashform::Tsplashform(QWidget* form)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), mainForm(form)
{
    setObjectName(QStringLiteral("splashform"));
    setFixedSize(679, 321);
    setKitColours(this, QColor(kFuchsia), QColor());

    Image1 = picture(this, "Image1");
    Image2 = picture(this, "Image2");
    Image2->hide();

    sp1 = new QProgressBar(this);
    sp1->setGeometry(560, 277, 104, 9);
    sp1->setRange(0, 100);
    sp1->setValue(5);
    sp1->setTextVisible(false);
    sp1->setStyleSheet(QStringLiteral("QProgressBar { background: rgb(128, 128, 128); border: none; }"
                                      "QProgressBar::chunk { background: white; }"));

    Loading = new QLabel(QStringLiteral("Loading..."), this);
    Loading->setFont(arialBold(12));
    Loading->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Loading->setGeometry(280, 273, 274, 17);
    version = new QLabel(QStringLiteral("Release"), this);
    version->setFont(arialBold(11));
    version->setGeometry(9, 299, 300, 16);
    Label1 = new QLabel(this);
    Label1->setFont(arialBold(11));
    Label1->setGeometry(9, 330, 660, 16);
    for (QLabel* l : {Loading, version, Label1}) setKitColours(l, QColor(), Qt::black);

    Image1->installEventFilter(this);
    Image2->installEventFilter(this);
    firsttime = true;
    updateMask();
}

void Tsplashform::updateMask()
{
    const QImage shown = (Image2->isVisibleTo(this) ? Image2 : Image1)->pixmap().toImage();
    const QRegion region = ExtGenerateMask(0, 0, shown, kFuchsia);
    if (!region.isEmpty()) setMask(region);
}

void Tsplashform::showEvent(QShowEvent* e)
{
    Image1->show();
    Image1->raise();
    Image2->hide();
    sp1->raise();
    Loading->raise();
    version->raise();
    updateMask();
    centreOn(this, mainForm);
    QWidget::showEvent(e);
}

void Tsplashform::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::ActivationChange && isActiveWindow()) callMmain(false);
    QWidget::changeEvent(e);
}

bool Tsplashform::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == Image2 && (e->type() == QEvent::Show || e->type() == QEvent::Hide)) updateMask();
    if (e->type() == QEvent::MouseButtonPress) {
        if (watched == Image1 && !firsttime) pictureClicked();
        if (watched == Image2) pictureClicked();
        if (watched == Image1 || watched == Image2) return true;
    }
    return QWidget::eventFilter(watched, e);
}

void Tsplashform::pictureClicked()
{
    hide();
    callMmain(true);
}
