// The start-up splash as the start-up steps see it.
#pragma once

#include <QString>

class SplashView {
public:
    virtual ~SplashView() = default;
    // A step: the "Loading" text, the progress position (-1 leaves it), then a repaint.
    virtual void step(const QString& text, int position = -1) = 0;
    virtual void setVersion(const QString& text) = 0;  // the "version" label
    virtual void setLabel1(const QString& text) = 0;   // the engines' versions
    virtual void hideProgress() = 0;
    // The window is shown: the splash hides, its first time is over, it stays on top from now
    // on (it serves as the about box) and keeps exever.
    virtual void startupEnded(const QString& exever) = 0;
};
