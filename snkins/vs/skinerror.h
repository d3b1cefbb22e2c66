// The one error the skin engine raises: a bad pack, a missing or unreadable file, a skin
// description value that does not convert, a control placed on the wrong parent. The message
// is the text a user sees.
#pragma once

#include <QString>
#include <stdexcept>

class SkinError : public std::runtime_error {
public:
    explicit SkinError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message)
    {
    }
    const QString& message() const { return message_; }

private:
    QString message_;
};
