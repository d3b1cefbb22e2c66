#include "mainwindow/ostrelapplication.h"

#include <cstdio>
#include <stdexcept>

OstrelApplication::OstrelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

OstrelApplication* OstrelApplication::instance() { return dynamic_cast<OstrelApplication*>(QCoreApplication::instance()); }

bool OstrelApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (onException) onException(e);
        else std::fprintf(stderr, "ostrelkorvanta: %s\n", e.what());
    } catch (...) {
        const std::runtime_error unknown("an exception of unknown type");
        if (onException) onException(unknown);
        else std::fprintf(stderr, "ostrelkorvanta: %s\n", unknown.what());
    }
    return false;
}
