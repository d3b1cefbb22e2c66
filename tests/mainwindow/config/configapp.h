// The QApplication of the configuration dialog's widget tests, created once and kept.
#pragma once

#include <QApplication>

inline QApplication& configApp() {
    static int argc = 1;
    static char arg0[] = "config_test";
    static char* argv[] = {arg0, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}
