#include "snkins/quor/korvantastyle.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

void ApplyKorvantaStyle(QApplication& app)
{
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(fusion);
    const QColor window(0x21, 0x21, 0x21), raised(0x2E, 0x2E, 0x2E), text(0xDD, 0xDD, 0xDD),
        secondary(0xA0, 0xA0, 0xA0), selection(0x00, 0x59, 0xAB);
    QPalette pal;
    pal.setColor(QPalette::Window, window);
    pal.setColor(QPalette::WindowText, text);
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::AlternateBase, QColor(0x15, 0x15, 0x15));
    pal.setColor(QPalette::Text, text);
    pal.setColor(QPalette::Button, raised);
    pal.setColor(QPalette::ButtonText, text);
    pal.setColor(QPalette::BrightText, Qt::white);
    pal.setColor(QPalette::Highlight, selection);
    pal.setColor(QPalette::HighlightedText, Qt::white);
    pal.setColor(QPalette::ToolTipBase, raised);
    pal.setColor(QPalette::ToolTipText, text);
    pal.setColor(QPalette::PlaceholderText, secondary);
    pal.setColor(QPalette::Light, QColor(0x4A, 0x4A, 0x4A));
    pal.setColor(QPalette::Midlight, QColor(0x3A, 0x3A, 0x3A));
    pal.setColor(QPalette::Mid, QColor(0x26, 0x26, 0x26));
    pal.setColor(QPalette::Dark, QColor(0x11, 0x11, 0x11));
    pal.setColor(QPalette::Shadow, Qt::black);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(QPalette::Disabled, role, QColor(0x6E, 0x6E, 0x6E));
    app.setPalette(pal);
}
