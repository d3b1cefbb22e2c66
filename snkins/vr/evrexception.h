// The kit's exception: a plain error with a message ("Value out of range.", "Invalid file format").
#pragma once

#include <stdexcept>
#include <string>

class EVrException : public std::runtime_error {
public:
    explicit EVrException(const std::string& message) : std::runtime_error(message) {}
};
