// The questions and warnings of the configuration dialog, all in boxes titled "Warning " with a
// warning icon. They do not wait: the answer comes later, through the callback, and never
// after the dialog is gone. The dialog's are DialogPrompts; tests answer them themselves.
#pragma once

#include <functional>

#include <QString>

class ConfigPrompts {
  public:
    virtual ~ConfigPrompts() = default;
    // Yes and No; `answer` gets true for Yes.
    virtual void ask(const QString& text, std::function<void(bool)> answer) = 0;
    // An OK button; nothing follows it.
    virtual void warn(const QString& text) = 0;
};
