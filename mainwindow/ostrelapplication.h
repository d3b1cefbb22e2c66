// The program's application object: the one place where an exception that reaches the event
// loop is caught. It goes to onException (the main window's AppException, which drops it before
// the shut-down and ends the program after); without one it is logged and dropped.
#pragma once

#include <exception>
#include <functional>

#include <QApplication>

class OstrelApplication : public QApplication {
public:
    OstrelApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
    std::function<void(const std::exception&)> onException;
    static OstrelApplication* instance();
};
