// The progress dialog the library panels show while they insert files: a text, a progress
// bar and a Cancel switch. Hosts set Label1, the bar's position and OnCancel, and show and
// hide the dialog themselves; Cancel fires OnCancel, then hides the dialog.
#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QWidget>

class TQuorPanel;
class TQuorSwitch1;

class TPlimbprogress : public QWidget {
    Q_OBJECT
public:
    explicit TPlimbprogress(QWidget* mainForm = nullptr);

    TQuorPanel* pdt;
    QLabel* Label1;
    QProgressBar* progress;  // 0..100, yellow to RGB(125, 125, 0)
    TQuorSwitch1* bffd2;     // Cancel

    void bffd2Click();

signals:
    void OnCancel();

protected:
    void showEvent(QShowEvent* e) override;

private:
    QWidget* mainForm;
};
