// The deck's own message box. The kit's timed message form implements it; tests record the calls.
#pragma once

#include <QString>

class DeckMessageBox;

// Shows box (when set) on the UI thread and does not wait for it: the call is queued to the box
// (when it is a QObject) or to the application. Without an application it is shown at once.
void postMessageDlg(DeckMessageBox* box, const QString& caption, const QString& text, int timeoutMs,
                    int defaultButton, int buttons);

class DeckMessageBox {
public:
    virtual ~DeckMessageBox() = default;
    // Shows `text` under `caption`; closes by itself after `timeoutMs` when that is above 0.
    // True for Accept or time-out, false for Cancel. A deck posts the call to the UI thread
    // and does not wait for it (with no event loop running it calls at once).
    virtual bool MessageDlg(const QString& caption, const QString& text, int timeoutMs,
                            int defaultButton, int buttons) = 0;
};
