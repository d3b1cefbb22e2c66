// The ControlView part of every adapter over a widget: shown, enabled, its place, filling its
// parent. A widget that is gone reads as hidden and disabled and takes nothing.
#pragma once

#include <QPointer>
#include <QWidget>

template <class View, class W = QWidget>
class WidgetControl : public View {
public:
    explicit WidgetControl(W* w) : w_(w) {}

    bool visible() const override { return w_ && !w_->isHidden(); }
    void setVisible(bool on) override
    {
        if (w_ && w_->isHidden() == on) w_->setVisible(on);
    }
    bool enabled() const override { return w_ && w_->isEnabled(); }
    void setEnabled(bool on) override
    {
        if (w_) w_->setEnabled(on);
    }
    QRect bounds() const override { return w_ ? w_->geometry() : QRect(); }
    void setBounds(const QRect& r) override
    {
        if (w_) w_->setGeometry(r);
    }
    void fillParent() override
    {
        if (w_ && w_->parentWidget()) w_->setGeometry(w_->parentWidget()->rect());
    }

    W* widget() const { return w_; }

protected:
    QPointer<W> w_;
};
