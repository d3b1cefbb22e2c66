// A page of the configuration dialog's page control with a background colour of its own
// (FColor). While FColor is the button-face colour (an invalid QColor here) the page paints the
// standard way; otherwise it fills itself with FColor.
#pragma once

#include <QColor>
#include <QWidget>

class TTabsheet : public QWidget {
    Q_OBJECT
  public:
    explicit TTabsheet(QWidget* parent = nullptr);

    QColor Color() const { return FColor; }
    // stores the colour and repaints, only when it differs
    void SetColor(const QColor& value);

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    QColor FColor; // invalid: button face
};
