// The boxes of a library panel on screen: Yes/No and OK warnings in the kit's message box
// (titled "Warning "), and an input box that opens without a loop of its own and answers its
// continuation when closed.
#pragma once

#include <memory>

#include <QDialog>
#include <QPointer>

#include "library/panelprompts.h"

class QLabel;
class QLineEdit;
class TQuorSwitch1;
class Ttquormessage;

// A caption, a prompt, a text box, OK and Cancel.
class TInputBox : public QDialog {
    Q_OBJECT
public:
    explicit TInputBox(QWidget* owner = nullptr);
    QLabel* prompt;
    QLineEdit* value;
    TQuorSwitch1* bok;
    TQuorSwitch1* bcancel;
};

class KitPrompts : public PanelPrompts {
public:
    explicit KitPrompts(QWidget* owner);
    ~KitPrompts() override;

    void confirm(const QString& text, std::function<void(bool yes)> answer) override;
    void warn(const QString& text) override;
    void askText(const QString& caption, const QString& prompt, const QString& value,
                 std::function<void(std::optional<QString>)> answer) override;

    // the input box open now, if any (tests answer it)
    TInputBox* openInput() const { return input_; }
    Ttquormessage* messageBox();

private:
    QPointer<QWidget> owner_;
    QPointer<Ttquormessage> box_;  // a child of the owner's window: it may go first
    QPointer<TInputBox> input_;
};
