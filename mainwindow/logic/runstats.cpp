#include "mainwindow/logic/runstats.h"

bool RunStats::wanted() { return qEnvironmentVariableIsSet("OSTREL_STATS"); }

RunStats::RunStats()
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kIntervalMs);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { meter_.fired(double(clock_.nsecsElapsed()) / 1e6); });
}

void RunStats::start()
{
    if (started_) return;
    started_ = true;
    clock_.start();
    meter_.fired(0);
    timer_.start();
}

void RunStats::stop() { timer_.stop(); }

QString RunStats::line(const LatenessMeter& ui, std::uint64_t xruns, std::uint64_t lateStarts)
{
    const QString stall = ui.measured() ? QString::number(ui.longestMs(), 'f', 1) : QStringLiteral("-");
    return QStringLiteral("ostrelkorvanta stats: ui stall ms (max): %1, jack late callbacks: %2 (xruns: %3, late starts: %4)")
        .arg(stall)
        .arg(xruns + lateStarts)
        .arg(xruns)
        .arg(lateStarts);
}
