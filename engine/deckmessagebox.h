// The deck's own message box. The kit's timed message form implements it; tests record the calls.
#pragma once

#include <QString>

class DeckMessageBox {
public:
    virtual ~DeckMessageBox() = default;
    // Shows `text` under `caption`; closes by itself after `timeoutMs` when that is above 0.
    // True for Accept or time-out, false for Cancel. A deck posts the call to the UI thread
    // and does not wait for it (with no event loop running it calls at once).
    virtual bool MessageDlg(const QString& caption, const QString& text, int timeoutMs,
                            int defaultButton, int buttons) = 0;
};
