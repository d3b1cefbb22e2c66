#include "snkins/quor/kitcolours.h"

#include <QWidget>

void setKitColours(QWidget* w, const QColor& back, const QColor& text)
{
    QPalette pal = w->palette();
    if (back.isValid()) {
        pal.setColor(QPalette::Window, back);
        pal.setColor(QPalette::Base, back);
    }
    if (text.isValid()) {
        pal.setColor(QPalette::WindowText, text);
        pal.setColor(QPalette::Text, text);
    }
    w->setPalette(pal);
    if (back.isValid()) w->setAutoFillBackground(true);
}

void setArialBold(QWidget* w)
{
    QFont f(QStringLiteral("Arial"));
    if (w->font().pixelSize() > 0)
        f.setPixelSize(w->font().pixelSize());
    else
        f.setPointSizeF(w->font().pointSizeF());
    f.setBold(true);
    w->setFont(f);
}
