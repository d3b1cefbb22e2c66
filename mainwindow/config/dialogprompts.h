// The configuration dialog's questions and warnings: message boxes titled "Warning " with a
// warning icon, window-modal over the dialog and opened without a nested event loop; the answer
// arrives from the box's finished signal. A box goes with the dialog, and its answer with it.
#pragma once

#include <QPointer>

#include "mainwindow/config/configprompts.h"

class QWidget;

class DialogPrompts : public ConfigPrompts {
  public:
    explicit DialogPrompts(QWidget* owner) : owner_(owner) {}
    void ask(const QString& text, std::function<void(bool)> answer) override;
    void warn(const QString& text) override;

  private:
    QPointer<QWidget> owner_;
};
