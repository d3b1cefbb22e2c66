// The boxes a library panel asks the user through. The panel widget implements them (the
// kit's message box, input boxes opened without a nested loop); the logic states the text
// and continues in the answer, acting on what it captured when the command began.
#pragma once

#include <functional>
#include <optional>

#include <QString>

class PanelPrompts {
public:
    virtual ~PanelPrompts() = default;
    // A warning with Yes and No; answer(true) for Yes.
    virtual void confirm(const QString& text, std::function<void(bool yes)> answer) = 0;
    // A warning with OK only.
    virtual void warn(const QString& text) = 0;
    // An input box with caption, prompt and a start value; answer gets the text typed, or
    // nothing when cancelled.
    virtual void askText(const QString& caption, const QString& prompt, const QString& value,
                         std::function<void(std::optional<QString>)> answer) = 0;
};
