#include "mainwindow/views/splashlink.h"

void SplashLink::step(const QString& text, int position)
{
    if (!s_) return;
    s_->Loading->setText(text);
    if (position >= 0) s_->sp1->setValue(position);
    s_->repaint();
}

void SplashLink::setVersion(const QString& text)
{
    if (s_) s_->version->setText(text);
}

void SplashLink::setLabel1(const QString& text)
{
    if (!s_) return;
    s_->Label1->setText(text);
    s_->repaint();
}

void SplashLink::hideProgress()
{
    if (s_) s_->sp1->hide();
}

void SplashLink::startupEnded(const QString& exever)
{
    if (!s_) return;
    s_->hide();
    s_->firsttime = false;
    s_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    s_->exever = exever;
}
