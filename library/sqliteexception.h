// The one error type of the SQLite access layer: a message, nothing else.
#pragma once

#include <stdexcept>

#include <QString>

class ESQLiteException : public std::runtime_error {
public:
    explicit ESQLiteException(const QString& message)
        : std::runtime_error(message.toStdString()), msg_(message) {}
    const QString& message() const { return msg_; }

private:
    QString msg_;
};

// The text of an SQLite result code: "Successful result", "SQL error or missing database", ...
QString SQLiteErrorStr(int code);
