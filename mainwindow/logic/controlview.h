// A control of the main window as its handlers see it, without the widget: shown or not,
// enabled or not, its place in its parent. The window binds each control to a view through a
// small adapter (mainwindow/views); tests use fakes (tests/mainwindow/support). UI thread only.
#pragma once

#include <QRect>

class ControlView {
public:
    virtual ~ControlView() = default;
    virtual bool visible() const = 0;
    virtual void setVisible(bool on) = 0;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool on) = 0;
    // in the parent's coordinates
    virtual QRect bounds() const = 0;
    virtual void setBounds(const QRect& r) = 0;
    // takes the whole of its parent (a paint box aligned to its parent's client area)
    virtual void fillParent() = 0;
};
