#include "platform/sys/screendpi.h"

#include <cmath>

#include <QGuiApplication>
#include <QScreen>

namespace sys {

Dpi screenDpi()
{
    Dpi d;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return d;
    const QScreen* s = QGuiApplication::primaryScreen();
    if (!s) return d;
    const int x = int(std::lround(s->logicalDotsPerInchX())), y = int(std::lround(s->logicalDotsPerInchY()));
    if (x > 0) d.x = x;
    if (y > 0) d.y = y;
    return d;
}

}  // namespace sys
