// The recording dialog (mrecsave): a folder tree (tffd), the file name box (Edit1, "Recording"
// at start), Accept (bffd1) and Cancel (bffd2). It holds no logic: the window binds the buttons
// to its handlers. Shown without being modal.
#pragma once

#include <QDialog>

class QFileSystemModel;
class QLineEdit;
class QPushButton;
class QTreeView;

class RecordingDialog : public QDialog {
    Q_OBJECT
public:
    explicit RecordingDialog(QWidget* parent = nullptr);

    // the selected folder's file-system path; empty when nothing is selected
    QString selectedFolder() const;
    void selectFolder(const QString& path);
    QString fileName() const;

    QTreeView* tffd = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* bffd1 = nullptr;
    QPushButton* bffd2 = nullptr;

private:
    QFileSystemModel* model_ = nullptr;
};
