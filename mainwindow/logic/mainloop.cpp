#include "mainwindow/logic/mainloop.h"

MainLoop::MainLoop(QObject* parent) : QObject(parent)
{
    timer_.setInterval(kPass);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { pass(); });
}

bool MainLoop::mmain(bool ena)
{
    running_ = ena;
    return true;
}

void MainLoop::start() { timer_.start(); }
void MainLoop::stop() { timer_.stop(); }

void MainLoop::pass()
{
    if (running_ && doPlaying) doPlaying();
}

void MainLoop::TscratchTimer()
{
    blinka = !blinka;
    blinkb = blinka;
}
