// What the surface and the skinned controls share as widgets: a hint shown as a tool tip only
// with ShowHint, and the mouse events, fired before the widget acts on the mouse action.
// A press on a pixel that is not the widget's (HitTest) goes on to the parent.
#pragma once

#include <QWidget>

class SkinWidget : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
public:
    explicit SkinWidget(QWidget* parent = nullptr) : QWidget(parent) {}

    const QString& Hint() const { return FHint; }
    void SetHint(const QString& hint);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool on) { FShowHint = on; }

    bool Designing() const { return false; }  // there is no form designer here

signals:
    void OnMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void OnMouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void OnMouseMove(QObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y);
    void OnDblClick(QObject* Sender);

protected:
    // Whether (x, y) is one of the widget's own pixels.
    virtual bool HitTest(int, int) { return true; }
    // Mouse actions; the base fires the events, subclasses act after calling it.
    virtual void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    virtual void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    virtual void MouseMove(Qt::KeyboardModifiers shift, int x, int y);

    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    bool event(QEvent*) override;

private:
    QString FHint;
    bool FShowHint = false;
};
