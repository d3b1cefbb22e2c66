#include "snkins/vs/skinwidget.h"

#include <QMouseEvent>

void SkinWidget::SetHint(const QString& hint)
{
    FHint = hint;
    setToolTip(hint);
}

void SkinWidget::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    emit OnMouseDown(this, button, shift, x, y);
}

void SkinWidget::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    emit OnMouseUp(this, button, shift, x, y);
}

void SkinWidget::MouseMove(Qt::KeyboardModifiers shift, int x, int y) { emit OnMouseMove(this, shift, x, y); }

void SkinWidget::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (!HitTest(p.x(), p.y())) {
        e->ignore();  // a see-through pixel: the press belongs to the parent
        return;
    }
    MouseDown(e->button(), e->modifiers(), p.x(), p.y());
}

void SkinWidget::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    MouseUp(e->button(), e->modifiers(), p.x(), p.y());
}

void SkinWidget::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    MouseMove(e->modifiers(), p.x(), p.y());
}

void SkinWidget::mouseDoubleClickEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (!HitTest(p.x(), p.y())) {
        e->ignore();
        return;
    }
    if (e->button() == Qt::LeftButton) emit OnDblClick(this);
    // the second press of a double click is a press too
    MouseDown(e->button(), e->modifiers(), p.x(), p.y());
}

bool SkinWidget::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip && !FShowHint) return true;
    return QWidget::event(e);
}
