// The form of the older update mechanism: a picture, three lines on the new version, a note
// box, a progress bar and "Update Now" (which does nothing) and "Cancel" (which closes).
// The main window may create it; nothing shows it. The check that downloaded an archive and
// ran an unzip program on it, unverified, is not built: there is no update server here.
#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TVrProgressBar;

class TFupdate : public QDialog {
    Q_OBJECT
public:
    explicit TFupdate(QWidget* parent = nullptr);

    static bool checkit(const QString& version);
    static QString GetAppVersion();

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QPlainTextEdit* Memo1;
    TVrProgressBar* VrProgressBar1;
    QPushButton* Button1;  // "Update Now"
    QPushButton* Button2;  // "Cancel"

private:
    void Button2Click();
};
