// A label of the main window whose text colour the visual step sets (its palette's text role).
#pragma once

#include <QPalette>
#include <QPointer>
#include <QWidget>

#include "engine/visual/textlabel.h"
#include "snkins/colorref.h"

class KitTextLabel : public TextLabel {
public:
    explicit KitTextLabel(QWidget* label) : w_(label) {}
    void SetFontColor(TColor color) override
    {
        if (!w_) return;
        const QColor c = colorFromRef(color);
        QPalette p = w_->palette();
        if (p.color(QPalette::WindowText) == c) return;
        p.setColor(QPalette::WindowText, c);
        w_->setPalette(p);
    }

private:
    QPointer<QWidget> w_;
};
