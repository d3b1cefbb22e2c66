// A control the window may give the keyboard focus to.
#pragma once

class Focusable {
public:
    virtual ~Focusable() = default;
    // exists, is enabled and shown: it can take the focus
    virtual bool canFocus() const = 0;
    // gives it the focus; false when it did not take it
    virtual bool takeFocus() = 0;
    virtual bool focused() const = 0;
};
