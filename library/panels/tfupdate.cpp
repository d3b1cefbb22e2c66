#include "library/panels/tfupdate.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "library/appversion.h"
#include "snkins/quor/kitcolours.h"
#include "snkins/vr/tvrprogressbar.h"

TFupdate::TFupdate(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Korvanta Update"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(604, 301);
    setKitColours(this, QColor(0x21, 0x21, 0x21), QColor(0xDD, 0xDD, 0xDD));

    Image1 = new QLabel(this);
    const QPixmap picture(QStringLiteral(":/explorer/UPDATE"), "BMP");
    Image1->setPixmap(picture);
    Image1->setGeometry(8, 8, picture.width(), picture.height());

    auto* Bevel1 = new QFrame(this);
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(173, 8, 423, 246);
    auto* Bevel2 = new QFrame(this);
    Bevel2->setFrameShape(QFrame::HLine);
    Bevel2->setFrameShadow(QFrame::Sunken);
    Bevel2->setGeometry(181, 44, 407, 2);

    auto label = [this](const QString& text, int y) {
        auto* l = new QLabel(text, this);
        l->setGeometry(181, y, 407, 18);
        return l;
    };
    Label1 = label(QStringLiteral("Welcome to Korvanta Update"), 16);
    QFont title(QStringLiteral("Tahoma"));
    title.setPixelSize(13);
    title.setBold(true);
    Label1->setFont(title);
    Label2 = label(QStringLiteral("A new version is released and you can download and install it."), 54);
    Label3 = label(QStringLiteral("This new version has new features and fixes some bugs."), 72);
    Label4 = label(QStringLiteral("We strongly recommend installing this update."), 90);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setGeometry(181, 114, 396, 99);
    Memo1->setReadOnly(true);

    VrProgressBar1 = new TVrProgressBar(this);
    VrProgressBar1->setGeometry(181, 221, 396, 19);
    VrProgressBar1->SetPosition(50);
    VrProgressBar1->SetStartColor(1223662);
    VrProgressBar1->SetEndColor(1223662);
    VrProgressBar1->SetSmooth(true);
    VrProgressBar1->SetColor(0xFFFFFF);  // white

    Button1 = new QPushButton(QStringLiteral("Update Now"), this);
    Button1->setGeometry(410, 264, 90, 26);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setGeometry(506, 264, 90, 26);
    connect(Button2, &QPushButton::clicked, this, &TFupdate::Button2Click);
}

bool TFupdate::checkit(const QString& version) { return ::checkit(version); }

QString TFupdate::GetAppVersion() { return ::GetAppVersion(); }

void TFupdate::Button2Click() { close(); }
