// The picture button: one of five frames of a horizontal strip (up, down, disabled,
// disabled-and-down, hover), a push button or a two-state switch, three strip pictures chosen
// by `number`, and an optional centred caption coloured per frame.
//
// Qt sends no leave event while the left button is held: a move or release outside the
// button during a held press is that press's leave (hover cleared until the release;
// re-entering while held does not set it again). The release clicks only while hover is set.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>

class TquorButton : public QWidget {
    Q_OBJECT
public:
    enum TquorButtonStyle { bsButton, bsSwitch };

    explicit TquorButton(QWidget* parent = nullptr);

    int Tag = 0;

    const QImage& Grafico() const { return FGraphico; }
    const QImage& Grafico2() const { return FGraphico2; }
    const QImage& Grafico3() const { return FGraphico3; }
    // copy the picture in without repainting or resizing; `number` applies them
    void setGrafico(const QImage& v) { FGraphico = v; }
    void setGrafico2(const QImage& v) { FGraphico2 = v; }
    void setGrafico3(const QImage& v) { FGraphico3 = v; }

    // which picture is in use: 1, 2 or 3 (other values keep the current one)
    int number() const { return Findex; }
    void Setnumber(int value);

    QString GraphicName;  // stored only

    TquorButtonStyle Style = bsButton;
    bool Down() const { return FDown; }
    void SetDown(bool value);

    // no colour (invalid) by default
    QColor MaskColor() const { return FMaskColor; }
    void SetMaskColor(const QColor& value);

    // offset of the frames inside the strip
    QRect ClipRect() const { return FClipRect; }
    void SetClipRect(const QRect& r) { FClipRect = r; }

    QString caption() const { return fcaption; }
    void setcaption(const QString& text);
    QColor caption_colorup() const { return fcolnormal; }
    QColor caption_colordown() const { return fcoldown; }
    QColor caption_colorover() const { return fcolover; }
    void setcaption_colorup(const QColor& c);
    void setcaption_colordown(const QColor& c);
    void setcaption_colorover(const QColor& c);

    void GetGraphicBitmap(QImage& bitmap) const { bitmap = *FGraphic; }
    void RepaintControl() { repaint(); }
    // a press at (x, y) lands on the picture: inside one frame, off the top and left border
    bool CheckClick(int x, int y) const;
    // frame shown now: 0 up, 1 down, 2 disabled, 3 disabled and down, 4 hover
    int GlyphIndex() const;

    // the state the frame follows
    bool hasMouse() const { return FHasMouse; }
    bool btnDown() const { return FBtnDown; }

    // forces the width to one frame and the height to the picture's
    void SetBounds(int left, int top, int width, int height);

signals:
    void clicked();
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseEnter();
    void mouseLeave();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    int frameWidth() const { return FGraphic->width() / 5; }
    void fitToPicture();
    void setHasMouse(bool v);

    bool FHasMouse = false;
    bool FBtnDown = false;
    bool ltouch = false;  // the last accepted press came from a touch screen
    QImage FGraphico, FGraphico2, FGraphico3;
    const QImage* FGraphic = &FGraphico;
    int Findex = 1;
    bool FDown = false;
    QImage FMask;
    QColor FMaskColor;
    QRect FClipRect;
    QString fcaption;
    QColor fcolnormal, fcoldown, fcolover;
};
