// Mouse presses, moves and releases of a plain widget (a paint box, a progress bar) handed to
// functions, with the position in the widget's own coordinates.
#pragma once

#include <functional>

#include <QEvent>
#include <QMouseEvent>
#include <QObject>

class MouseRelay : public QObject {
public:
    using Press = std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)>;
    using Move = std::function<void(Qt::KeyboardModifiers, int x, int y)>;
    MouseRelay(QObject* watched, Press down, Move move = {}, Press up = {})
        : QObject(watched), down_(std::move(down)), move_(std::move(move)), up_(std::move(up))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* m = static_cast<QMouseEvent*>(e);
            if (down_) down_(m->button(), m->modifiers(), int(m->position().x()), int(m->position().y()));
            break;
        }
        case QEvent::MouseMove: {
            auto* m = static_cast<QMouseEvent*>(e);
            if (move_) move_(m->modifiers(), int(m->position().x()), int(m->position().y()));
            break;
        }
        case QEvent::MouseButtonRelease: {
            auto* m = static_cast<QMouseEvent*>(e);
            if (up_) up_(m->button(), m->modifiers(), int(m->position().x()), int(m->position().y()));
            break;
        }
        default: break;
        }
        return false;
    }

private:
    Press down_;
    Move move_;
    Press up_;
};
