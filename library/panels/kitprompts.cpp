#include "library/panels/kitprompts.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "snkins/dialogs/ttquormessage.h"
#include "snkins/quor/kitcolours.h"
#include "snkins/quor/tquorswitch1.h"

TInputBox::TInputBox(QWidget* owner) : QDialog(owner)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::WindowModal);
    setKitColours(this, QColor(50, 50, 50), QColor(221, 221, 221));
    setFixedSize(320, 118);
    prompt = new QLabel(this);
    prompt->setGeometry(12, 10, 296, 18);
    setKitColours(prompt, QColor(), QColor(221, 221, 221));
    value = new QLineEdit(this);
    value->setGeometry(12, 34, 296, 22);
    QPalette p = value->palette();
    p.setColor(QPalette::Base, QColor(192, 192, 192));
    p.setColor(QPalette::Text, Qt::black);
    value->setPalette(p);
    value->setFrame(false);
    bok = new TQuorSwitch1(this);
    bok->setCaption(QStringLiteral("OK"));
    bok->setGeometry(12, 80, 98, 23);
    bcancel = new TQuorSwitch1(this);
    bcancel->setCaption(QStringLiteral("Cancel"));
    bcancel->setGeometry(210, 80, 98, 23);
    for (QWidget* b : {static_cast<QWidget*>(bok), static_cast<QWidget*>(bcancel)})
        setKitColours(b, QColor(), Qt::white);
    connect(bok, &Tjvswitch2::clicked, this, &QDialog::accept);
    connect(bcancel, &Tjvswitch2::clicked, this, &QDialog::reject);
    connect(value, &QLineEdit::returnPressed, this, &QDialog::accept);
}

KitPrompts::KitPrompts(QWidget* owner) : owner_(owner) {}

KitPrompts::~KitPrompts()
{
    if (input_) delete input_.data();
    if (box_ && box_->waiting()) box_->deleteLater();  // its wait ends first
    else if (box_) delete box_.data();
}

Ttquormessage* KitPrompts::messageBox()
{
    if (!box_) box_ = new Ttquormessage(owner_ ? owner_->window() : nullptr);
    return box_.data();
}

void KitPrompts::confirm(const QString& text, std::function<void(bool)> answer)
{
    const bool yes = messageBox()->MessageDlg(QStringLiteral("Warning "), text, 0, 0, 2);
    answer(yes);
}

void KitPrompts::warn(const QString& text) { messageBox()->MessageDlg(QStringLiteral("Warning "), text, 0, 0, 1); }

void KitPrompts::askText(const QString& caption, const QString& prompt, const QString& value,
                         std::function<void(std::optional<QString>)> answer)
{
    if (input_) input_->reject();  // one box at a time: an older one counts as cancelled
    auto* box = new TInputBox(owner_ ? owner_->window() : nullptr);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(caption);
    box->prompt->setText(prompt);
    box->value->setText(value);
    box->value->selectAll();
    input_ = box;
    QObject::connect(box, &QDialog::finished, box, [box, answer = std::move(answer)](int result) {
        if (result == QDialog::Accepted) answer(box->value->text());
        else answer(std::nullopt);
    });
    box->open();
}
