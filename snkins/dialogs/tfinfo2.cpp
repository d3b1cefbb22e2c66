#include "snkins/dialogs/tfinfo2.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLocale>
#include <QMouseEvent>
#include <cmath>

#include "snkins/dialogs/centreon.h"

namespace {
QLabel* caption(QWidget* parent, const QString& text, int x, int y)
{
    auto* l = new QLabel(text, parent);
    l->move(x, y);
    l->adjustSize();
    return l;
}
}  // namespace

Tfinfo2::Tfinfo2(QWidget* form)
    : QDialog(form, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      mainForm(form)
{
    setWindowTitle(QStringLiteral("Track Info"));
    setFixedSize(678, 256);
    // the dark look of the panels that open it: light captions, edits like their search box
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(50, 50, 50));
    pal.setColor(QPalette::WindowText, QColor(221, 221, 221));
    pal.setColor(QPalette::Button, QColor(58, 58, 58));
    pal.setColor(QPalette::ButtonText, QColor(221, 221, 221));
    pal.setColor(QPalette::Base, QColor(192, 192, 192));
    pal.setColor(QPalette::Text, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    caption(this, QStringLiteral("BPM:"), 16, 16);
    e1 = new QLineEdit(this);
    e1->setGeometry(16, 36, 120, 24);
    caption(this, QStringLiteral("ARTIST"), 16, 72);
    e2 = new QLineEdit(this);
    e2->setGeometry(16, 92, 646, 24);
    caption(this, QStringLiteral("TRACKNAME"), 16, 128);
    e3 = new QLineEdit(this);
    e3->setGeometry(16, 148, 646, 24);
    caption(this, QStringLiteral("File Location"), 16, 184);
    Label9 = new QLabel(QStringLiteral("File:"), this);
    Label9->setGeometry(16, 202, 646, 18);
    Label9->installEventFilter(this);
    FICHERO = new QLabel(this);
    FICHERO->hide();
    TIPO = new QLabel(QStringLiteral("AUDIO"), this);
    TIPO->hide();

    Button1 = new QPushButton(QStringLiteral("BPM / 2"), this);
    Button1->setGeometry(150, 36, 90, 24);
    Button2 = new QPushButton(QStringLiteral("BPM x 2"), this);
    Button2->setGeometry(248, 36, 90, 24);
    Button3 = new QPushButton(QStringLiteral("BPM Clear"), this);
    Button3->setGeometry(346, 36, 90, 24);
    b4 = new QPushButton(QStringLiteral("OK"), this);
    b4->setGeometry(486, 224, 84, 26);
    b5 = new QPushButton(QStringLiteral("CANCEL"), this);
    b5->setGeometry(578, 224, 84, 26);
    connect(Button1, &QPushButton::clicked, this, &Tfinfo2::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tfinfo2::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &Tfinfo2::Button3Click);
}

QString Tfinfo2::formatBpm(double bpm)
{
    const long long thousandths = std::llround(std::fabs(bpm) * 1000.0);
    const QString whole = QString::number(thousandths / 1000).rightJustified(3, u'0');
    const QString part = QString::number(thousandths % 1000).rightJustified(3, u'0');
    const QString sign = bpm < 0 && thousandths != 0 ? QStringLiteral("-") : QString();
    return sign + whole + QLocale().decimalPoint() + part;
}

void Tfinfo2::scaleBpm(double factor)
{
    bool ok = false;
    const double bpm = QLocale().toDouble(e1->text().trimmed(), &ok);
    if (!ok) return;  // not a number: left as it is, without a message
    e1->setText(formatBpm(bpm * factor));
}

void Tfinfo2::Button1Click() { scaleBpm(0.5); }

void Tfinfo2::Button2Click() { scaleBpm(2.0); }

void Tfinfo2::Button3Click() { e1->setText(QStringLiteral("000,000")); }

bool Tfinfo2::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == Label9 && e->type() == QEvent::MouseButtonDblClick) {
        QGuiApplication::clipboard()->setText(Label9->text());
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void Tfinfo2::showEvent(QShowEvent* e)
{
    centreOn(this, mainForm);
    QDialog::showEvent(e);
}
