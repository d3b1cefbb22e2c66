// The QApplication of the form's widget tests, created once on the first call and kept.
#pragma once

#include <QApplication>

inline QApplication& formApp()
{
    static int argc = 1;
    static char arg0[] = "form_test";
    static char* argv[] = {arg0, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}
