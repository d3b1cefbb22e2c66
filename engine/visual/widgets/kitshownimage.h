// A picture of the main window that the visual step shows and hides.
#pragma once

#include <QPointer>
#include <QWidget>

#include "engine/visual/shownimage.h"

class KitShownImage : public ShownImage {
public:
    explicit KitShownImage(QWidget* image) : w_(image) {}
    void SetVisible(bool visible) override
    {
        if (w_ && w_->isVisibleTo(w_->parentWidget()) != visible) w_->setVisible(visible);
    }

private:
    QPointer<QWidget> w_;
};
