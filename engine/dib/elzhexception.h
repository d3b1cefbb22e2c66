// Failures of the LZH coder's dictionary tables and of corrupt compressed data.
#pragma once

#include <stdexcept>
#include <string>

#include <QString>

class ElzhException : public std::runtime_error {
public:
    explicit ElzhException(const char* message) : std::runtime_error(message) {}
    explicit ElzhException(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString Message() const { return QString::fromUtf8(what()); }
};
