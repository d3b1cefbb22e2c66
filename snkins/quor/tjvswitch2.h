// A two-state switch drawn from an off glyph and an on glyph, with a caption beside (or over)
// the glyph, keyboard toggling and a focus frame round the glyph.
#pragma once

#include <QImage>
#include <QKeySequence>
#include <QString>
#include <QWidget>

class Tjvswitch2 : public QWidget {
    Q_OBJECT
public:
    enum TTextPos { tpNone, tpLeft, tpRight, tpAbove, tpBelow };
    enum TBorderStyle { bsNone, bsSingle };

    explicit Tjvswitch2(QWidget* parent = nullptr);

    bool StateOn() const { return FStateOn; }
    bool Down() const { return FStateOn; }
    void setStateOn(bool v);
    void ToggleSwitch() { setStateOn(!FStateOn); }

    // a null picture puts the default glyph back
    const QImage& GlyphOff() const { return FBitmaps[0]; }
    const QImage& GlyphOn() const { return FBitmaps[1]; }
    void setGlyphOff(const QImage& img) { setGlyph(0, img); }
    void setGlyphOn(const QImage& img) { setGlyph(1, img); }
    bool userGlyph(int index) const { return FUserBitmaps & (1 << index); }
    // the greyed copy shown while the switch is disabled
    const QImage& disabledGlyph(int index) const { return FDisableBitmaps[index]; }
    // the colour left out when a glyph is drawn; the bottom-left pixel's unless set
    void setTransparentColor(int index, QRgb colour);

    QString Caption() const { return caption; }
    void setCaption(const QString& text);
    TTextPos TextPosition() const { return FTextPosition; }
    void setTextPosition(TTextPos p);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void setBorderStyle(TBorderStyle s);
    QKeySequence ToggleKey{Qt::Key_Space};
    bool ShowFocus() const { return FShowFocus; }
    void setShowFocus(bool v);
    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void setTabStop(bool v) { setFocusPolicy(v ? Qt::StrongFocus : Qt::NoFocus); }
    QColor Color() const { return palette().color(QPalette::Window); }
    void setColor(const QColor& c);

    // where the glyph was drawn last
    QRect glyphRect() const { return lastGlyph; }

signals:
    void OnOn();
    void OnOff();
    void clicked();
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void keyDown(int key, Qt::KeyboardModifiers modifiers);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void setGlyph(int index, const QImage& img);
    void rebuildGlyph(int index);

    bool FStateOn = false;
    QImage FBitmaps[2];
    QImage FDisableBitmaps[2];
    QImage drawn[2], drawnDisabled[2];  // keyed copies ready to draw
    QRgb keys[2] = {0, 0};
    bool keySet[2] = {false, false};
    unsigned FUserBitmaps = 0;
    TTextPos FTextPosition = tpNone;
    TBorderStyle FBorderStyle = bsNone;
    bool FShowFocus = true;
    QString caption;
    int mnemonicId = 0;
    QRect lastGlyph;
    bool pressedLeft = false;
};
