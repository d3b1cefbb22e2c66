// The application object the queued hand-overs and timers of the controllers need, made once for
// the whole test program, and a wait that runs its events until a condition holds.
#pragma once

#include <chrono>
#include <functional>

#include <QCoreApplication>

inline QCoreApplication* ensureApp()
{
    static int argc = 1;
    static char name[] = "test_controllers";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? QCoreApplication::instance()
                                                                 : new QCoreApplication(argc, argv);
    return app;
}

// Runs the event loop until `done` holds or `ms` have passed; true when it held.
inline bool runUntil(const std::function<bool()>& done, int ms = 5000)
{
    ensureApp();
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}
