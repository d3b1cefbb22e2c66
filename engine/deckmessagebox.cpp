#include "engine/deckmessagebox.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>

void postMessageDlg(DeckMessageBox* box, const QString& caption, const QString& text, int timeoutMs,
                    int defaultButton, int buttons)
{
    if (!box) return;
    QObject* context = dynamic_cast<QObject*>(box);
    if (!context) context = QCoreApplication::instance();
    if (!context) {
        box->MessageDlg(caption, text, timeoutMs, defaultButton, buttons);
        return;
    }
    QMetaObject::invokeMethod(
        context, [box, caption, text, timeoutMs, defaultButton, buttons] {
            box->MessageDlg(caption, text, timeoutMs, defaultButton, buttons);
        },
        Qt::QueuedConnection);
}
