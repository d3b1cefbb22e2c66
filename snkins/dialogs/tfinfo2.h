// The track information dialog in which the library panels let the user correct a track's
// BPM, artist and title. The host binds OK (b4) and CANCEL (b5) and keeps the track's
// database id in FICHERO.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

class Tfinfo2 : public QDialog {
    Q_OBJECT
public:
    explicit Tfinfo2(QWidget* mainForm = nullptr);

    QLineEdit* e1;  // BPM
    QLineEdit* e2;  // artist
    QLineEdit* e3;  // title
    QLabel* Label9;  // the file path; a double click copies it
    QLabel* FICHERO;
    QLabel* TIPO;
    QPushButton* Button1;  // "BPM / 2"
    QPushButton* Button2;  // "BPM x 2"
    QPushButton* Button3;  // "BPM Clear"
    QPushButton* b4;       // "OK"
    QPushButton* b5;       // "CANCEL"

    void Button1Click();
    void Button2Click();
    void Button3Click();

    // a number in the "000.000" form with the locale's decimal separator
    static QString formatBpm(double bpm);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void scaleBpm(double factor);
    QWidget* mainForm;
};
