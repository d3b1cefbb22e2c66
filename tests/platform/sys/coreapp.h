// The QCoreApplication of the system services' tests (made on the first call, kept).
#pragma once

#include <QCoreApplication>

inline QCoreApplication& coreApp()
{
    static int argc = 1;
    static char name[] = "test_platform_sys";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* instance = new QCoreApplication(argc, argv);
    return *instance;
}
