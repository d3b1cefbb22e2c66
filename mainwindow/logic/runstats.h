// The figures the program prints at exit when OSTREL_STATS is set: how long the UI thread
// kept a 10 ms timer waiting at most, from start() (the first activation) to stop() (the
// close question), and the late periods of our JACK clients. The window makes one only when
// wanted(): without OSTREL_STATS no timer runs.
#pragma once

#include <cstdint>

#include <QElapsedTimer>
#include <QString>
#include <QTimer>

#include "mainwindow/logic/latenessmeter.h"

class RunStats {
public:
    static constexpr int kIntervalMs = 10;
    static bool wanted();

    RunStats();
    // the first start() starts the timer, the first stop() ends it for good
    void start();
    void stop();
    const LatenessMeter& ui() const { return meter_; }

    // "ostrelkorvanta stats: ui stall ms (max): S, jack late callbacks: L (xruns: X, late starts: T)"
    // S in ms with one decimal ("-" when no gap was measured), L = X + T.
    static QString line(const LatenessMeter& ui, std::uint64_t xruns, std::uint64_t lateStarts);

private:
    QTimer timer_;
    QElapsedTimer clock_;
    LatenessMeter meter_{kIntervalMs};
    bool started_ = false;
};
