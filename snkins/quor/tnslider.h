// A slider drawn from two pictures: a ruler stretched over the control and a thumb picture
// holding two frames side by side (normal, pressed). Horizontal or vertical; Inversed makes a
// vertical slider count upwards. Onchange fires on every SetPosition, also with an unchanged
// value, and on every drag step.
#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

class TnSlider : public QWidget {
    Q_OBJECT
public:
    explicit TnSlider(QWidget* parent = nullptr);

    bool Horizontal = true;  // plain field: set it before the pictures
    bool AutoSize = true;

    const QImage& ImageRuler() const { return FImageRuler; }
    void SetImageRuler(const QImage& value);
    const QImage& ImageThumb() const { return FImageThumb; }
    void SetImageThumb(const QImage& value);

    int Maxvalue() const { return FMaxvalue; }
    void SetMaxvalue(int value);
    int Minvalue() const { return FMinvalue; }
    void SetMinvalue(int value);
    int Position() const { return FPosition; }
    void SetPosition(int value);
    // the drawn position (mirrored when Inversed)
    int PositionI() const { return FPositioni; }
    bool Inversed() const { return finversed; }
    void SetInversed(bool value);
    bool Onlythumbclick() const { return thumbclick; }
    void setthumbclick(bool value) { thumbclick = value; }

    // where the thumb was drawn last
    QRect thumbrect;
    // pixels per unit, from the size, the thumb and the range; 0 when they leave none
    // (nothing is drawn and drags do nothing then)
    double difference() const;

signals:
    void Onchange();
    void OnBeginChange();
    void OnChanged();  // kept for hosts; never fired
    void OnStopChanged();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void applyAutoSize();
    void moveTo(Qt::MouseButtons buttons, int x, int y);
    void release();
    void swapThumbs() { std::swap(FThumb1, FThumb2); }
    int thumbWidth() const { return FThumb1.width(); }
    int thumbHeight() const { return FThumb1.height(); }
    int clampToRange(int v) const;

    QImage FImageRuler, FImageThumb;
    QImage FThumb1, FThumb2;  // the frame drawn now and the other, transparent where keyed
    bool FClicked = false, FChanged = false, FChanging = false, FTracking = false;
    int FMaxvalue = 100, FMinvalue = 0;
    int FPosition = 0, FPositioni = 0;
    int FFrom = 0;
    bool finversed = false;
    bool thumbclick = false;
};
