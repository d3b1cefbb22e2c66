// The QApplication of the kit's widget tests (created once, on the first call, and kept), and
// mouse events sent straight to a widget, as a pointer would deliver them.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QWidget>

inline QApplication& kitApp()
{
    static int argc = 1;
    static char arg0[] = "kit_test";
    static char* argv[] = {arg0, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

inline void sendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
                      Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, mods);
    QApplication::sendEvent(w, &e);
}

inline void movePointer(QWidget* w, QPoint at, Qt::MouseButtons held = Qt::NoButton)
{
    sendMouse(w, QEvent::MouseMove, at, Qt::NoButton, held);
}

inline void press(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    sendMouse(w, QEvent::MouseButtonPress, at, button, button, mods);
}

inline void release(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    sendMouse(w, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}

// A click as a real pointer makes it: a move onto the point first.
inline void click(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    movePointer(w, at);
    press(w, at, button);
    release(w, at, button);
}
