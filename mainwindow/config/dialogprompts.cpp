#include "mainwindow/config/dialogprompts.h"

#include <QMessageBox>

#include "mainwindow/config/configstyle.h"

namespace {

QMessageBox* box(QWidget* owner, const QString& text, QMessageBox::StandardButtons buttons) {
    auto* b = new QMessageBox(QMessageBox::Warning, QStringLiteral("Warning "), text, buttons, owner);
    b->setObjectName(QStringLiteral("configwarning"));
    b->setAttribute(Qt::WA_DeleteOnClose);
    b->setWindowModality(Qt::WindowModal);
    ConfigStyle::apply(b);
    return b;
}

} // namespace

void DialogPrompts::ask(const QString& text, std::function<void(bool)> answer) {
    QMessageBox* b = box(owner_, text, QMessageBox::Yes | QMessageBox::No);
    b->setDefaultButton(QMessageBox::No);
    QObject::connect(b, &QMessageBox::finished, b,
                     [answer = std::move(answer)](int result) { answer(result == QMessageBox::Yes); });
    b->open();
}

void DialogPrompts::warn(const QString& text) {
    QMessageBox* b = box(owner_, text, QMessageBox::Ok);
    b->open();
}
