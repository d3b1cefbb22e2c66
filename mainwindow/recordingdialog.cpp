#include "mainwindow/recordingdialog.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

RecordingDialog::RecordingDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("mrecsave"));
    setWindowTitle(QStringLiteral("Recording"));
    setModal(false);
    resize(420, 460);
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    model_->setRootPath(QDir::rootPath());
    tffd = new QTreeView(this);
    tffd->setObjectName(QStringLiteral("tffd"));
    tffd->setModel(model_);
    for (int c = 1; c < model_->columnCount(); ++c) tffd->hideColumn(c);
    tffd->header()->hide();
    Edit1 = new QLineEdit(QStringLiteral("Recording"), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    bffd1 = new QPushButton(QStringLiteral("Accept"), this);
    bffd1->setObjectName(QStringLiteral("bffd1"));
    bffd2 = new QPushButton(QStringLiteral("Cancel"), this);
    bffd2->setObjectName(QStringLiteral("bffd2"));
    auto* name = new QHBoxLayout;
    name->addWidget(new QLabel(QStringLiteral("File name:"), this));
    name->addWidget(Edit1);
    name->addWidget(new QLabel(QStringLiteral(".wav"), this));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bffd1);
    buttons->addWidget(bffd2);
    auto* all = new QVBoxLayout(this);
    all->addWidget(tffd);
    all->addLayout(name);
    all->addLayout(buttons);
    selectFolder(QDir::homePath());
}

QString RecordingDialog::selectedFolder() const
{
    const QModelIndex i = tffd->currentIndex();
    return i.isValid() ? model_->filePath(i) : QString();
}

void RecordingDialog::selectFolder(const QString& path)
{
    const QModelIndex i = model_->index(path);
    if (!i.isValid()) return;
    tffd->setCurrentIndex(i);
    tffd->scrollTo(i);
}

QString RecordingDialog::fileName() const { return Edit1->text().trimmed(); }
