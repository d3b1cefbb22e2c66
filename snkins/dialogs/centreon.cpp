#include "snkins/dialogs/centreon.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void centreOn(QWidget* dialog, QWidget* mainForm)
{
    QRect area;
    if (mainForm)
        area = mainForm->window()->frameGeometry();
    else if (QScreen* s = QGuiApplication::primaryScreen())
        area = s->availableGeometry();
    if (area.isValid()) dialog->move(area.center() - QPoint(dialog->width() / 2, dialog->height() / 2));
}
