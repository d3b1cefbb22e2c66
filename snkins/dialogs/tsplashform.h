// The start-up splash, shown again later as the about box: a frameless 679 x 321 window whose
// fuchsia picture pixels are cut out of the window (a window mask, so it needs no
// compositor), with the start-up step text, its progress and the version.
//
// A click on Image1 is ignored while `firsttime` is set (the start-up); afterwards it hides
// the splash and lets the main loop run. A click on Image2 always does. Activation pauses
// the main loop.
#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QString>
#include <QWidget>

class Tsplashform : public QWidget {
    Q_OBJECT
public:
    explicit Tsplashform(QWidget* mainForm = nullptr);

    QLabel* Image1;
    QLabel* Image2;  // hidden unless a host shows it
    QProgressBar* sp1;
    QLabel* Loading;
    QLabel* version;
    QLabel* Label1;  // below the visible area
    bool firsttime = true;
    QString exever;  // kept for hosts

protected:
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void updateMask();
    void pictureClicked();
    QWidget* mainForm;
};

// the one splash of the program, set by its start-up
extern Tsplashform* splashform;
