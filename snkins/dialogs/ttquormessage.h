// The program's message box: a borderless box with a caption, a text, Accept (and Cancel),
// and an optional time-out. MessageDlg keeps its caller waiting, in a QEventLoop of its own,
// until this box is answered: true for Accept or time-out, false for Cancel. Timers and input
// go on meanwhile, so a second box may open while one waits: each box keeps its own answer,
// and nested waits end innermost first (a caller whose box closed while a box opened later
// still waits resumes when that box closes).
//
// From a thread other than the box's, MessageDlg posts the box to the box's thread and returns
// true at once. The box pauses the main loop when it is created and lets it run when it
// closes (mainloophook.h).
#pragma once

#include <QLabel>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "engine/deckmessagebox.h"

class QEventLoop;
class TQuorPanel;
class TQuorSwitch1;

class Ttquormessage : public QWidget, public DeckMessageBox {
    Q_OBJECT
public:
    // mainForm: the window the box is centred on (none: the screen)
    explicit Ttquormessage(QWidget* mainForm = nullptr);
    ~Ttquormessage() override;

    // `defaultButton` has no effect; `buttons` 2 shows Cancel beside Accept
    bool MessageDlg(const QString& caption, const QString& text, int timeoutMs, int defaultButton,
                    int buttons) override;
    bool InputQuery(const QString& caption, const QString& text, QString& value, int buttons);

    bool waiting() const { return loop != nullptr; }

    TQuorPanel* pdt;
    QLabel* Label1;
    TQuorSwitch1* bffd1;  // Accept
    TQuorSwitch1* bffd2;  // Cancel
    QTimer* closetime;

    void bffd1Click();
    void bffd2Click();
    void closetimeTimer();

signals:
    // the box was shown and now waits (for tests and hosts that watch it)
    void shownWaiting();

private:
    void answer(int value);
    void centre();

    QPointer<QWidget> mainForm;
    int result = 0;  // 0 while waiting, 1 Accept or time-out, 2 Cancel
    QEventLoop* loop = nullptr;
};
