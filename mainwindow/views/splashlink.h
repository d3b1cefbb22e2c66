// The kit's splash form as the start-up steps reach it. A step repaints the splash at once;
// nothing waits and no events are handled.
#pragma once

#include <QPointer>

#include "mainwindow/logic/splashview.h"
#include "snkins/dialogs/tsplashform.h"

class SplashLink : public SplashView {
public:
    explicit SplashLink(Tsplashform* splash) : s_(splash) {}

    void step(const QString& text, int position) override;
    void setVersion(const QString& text) override;
    void setLabel1(const QString& text) override;
    void hideProgress() override;
    void startupEnded(const QString& exever) override;

private:
    QPointer<Tsplashform> s_;
};
