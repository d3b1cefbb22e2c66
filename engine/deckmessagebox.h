// The deck's own message box. The kit's timed message form implements it; tests record the calls.
#pragma once

#include <QString>

class DeckMessageBox {
public:
    virtual ~DeckMessageBox() = default;
    // Shows `text` under `caption`; closes by itself after `timeoutMs` when that is above 0.
    // True for Accept or time-out, false for Cancel. A deck calls it from its loading
    // thread: the implementation takes the box to the UI thread.
    virtual bool MessageDlg(const QString& caption, const QString& text, int timeoutMs,
                            int defaultButton, int buttons) = 0;
};
