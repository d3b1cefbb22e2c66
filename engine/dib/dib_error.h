// Failures of the surface: creation, loading, saving, drawing and alpha blits.
#pragma once

#include <stdexcept>
#include <string>

#include <QString>

class DIB_ERROR : public std::runtime_error {
public:
    explicit DIB_ERROR(const char* message) : std::runtime_error(message) {}
    explicit DIB_ERROR(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString Message() const { return QString::fromUtf8(what()); }
};
