// A busy strip: a gradient band of `gradientWidth` pixels, from startColour to endColour,
// keeps sliding from left to right over the background while the strip is active and shown.
#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

class BusyBar : public QWidget {
    Q_OBJECT
public:
    explicit BusyBar(QWidget* parent = nullptr);

    QColor colour{0x21, 0x21, 0x21};
    QColor startColour{0x21, 0x21, 0x21};
    QColor endColour{0xFF, 0x80, 0x00};
    int gradientWidth = 50;

    void setActive(bool active);
    bool active() const { return active_; }
    int position() const { return position_; }  // left edge of the band

protected:
    void paintEvent(QPaintEvent*) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;
    void changeEvent(QEvent* e) override;

private:
    void step();
    void follow();
    QTimer timer_;
    bool active_ = false;
    int position_ = 0;
};
