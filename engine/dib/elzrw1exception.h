// Failures of the LZH codec's I/O buffers and streams.
#pragma once

#include <stdexcept>
#include <string>

#include <QString>

class ELzrw1Exception : public std::runtime_error {
public:
    explicit ELzrw1Exception(const char* message) : std::runtime_error(message) {}
    explicit ELzrw1Exception(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString Message() const { return QString::fromUtf8(what()); }
};
