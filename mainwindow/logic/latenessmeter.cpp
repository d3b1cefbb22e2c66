#include "mainwindow/logic/latenessmeter.h"

#include <algorithm>

void LatenessMeter::fired(double atMs)
{
    if (fires_++ > 0) longest_ = std::max(longest_, atMs - last_ - interval_);
    last_ = atMs;
}
