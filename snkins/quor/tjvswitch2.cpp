#include "snkins/quor/tjvswitch2.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>

#include "snkins/quor/kitcolours.h"
#include "snkins/quor/kitpicture.h"

Tjvswitch2::Tjvswitch2(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    resize(50, 60);
    setGlyph(0, QImage());
    setGlyph(1, QImage());
}

void Tjvswitch2::setStateOn(bool v)
{
    if (v == FStateOn) return;
    FStateOn = v;
    repaint();
    if (v)
        emit OnOn();
    else
        emit OnOff();
}

void Tjvswitch2::setGlyph(int index, const QImage& img)
{
    if (img.isNull()) {
        FBitmaps[index] = kitPicture(index == 0 ? "jvswitchOFF" : "jvswitchON");
        FUserBitmaps &= ~(1u << index);
    } else {
        FBitmaps[index] = img;
        FUserBitmaps |= 1u << index;
    }
    keySet[index] = false;
    rebuildGlyph(index);
    update();
}

void Tjvswitch2::setTransparentColor(int index, QRgb colour)
{
    keys[index] = colour;
    keySet[index] = true;
    rebuildGlyph(index);
    update();
}

void Tjvswitch2::rebuildGlyph(int index)
{
    const QImage& g = FBitmaps[index];
    if (!keySet[index]) keys[index] = bottomLeftColour(g);
    drawn[index] = keyedCopy(g, keys[index]);
    // the greyed copy: grey levels, lifted towards the middle and dimmed
    FDisableBitmaps[index] = QImage();
    drawnDisabled[index] = QImage();
    if (g.isNull()) return;
    QImage grey = g.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < grey.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == (keys[index] & 0xFFFFFF)) continue;
            const int v = 64 + qGray(line[x]) / 3;
            line[x] = qRgb(v, v, v);
        }
    }
    FDisableBitmaps[index] = grey;
    drawnDisabled[index] = keyedCopy(grey, keys[index]);
}

void Tjvswitch2::setCaption(const QString& text)
{
    if (mnemonicId) releaseShortcut(mnemonicId);
    caption = text;
    mnemonicId = 0;
    const QKeySequence mnemonic = QKeySequence::mnemonic(text);
    if (!mnemonic.isEmpty()) mnemonicId = grabShortcut(mnemonic);
    update();
}

void Tjvswitch2::setTextPosition(TTextPos p)
{
    if (p == FTextPosition) return;
    FTextPosition = p;
    update();
}

void Tjvswitch2::setBorderStyle(TBorderStyle s)
{
    if (s == FBorderStyle) return;
    FBorderStyle = s;
    update();
}

void Tjvswitch2::setShowFocus(bool v)
{
    if (v == FShowFocus) return;
    FShowFocus = v;
    update();
}

void Tjvswitch2::setColor(const QColor& c)
{
    setKitColours(this, c, QColor());
    setAutoFillBackground(false);  // the paint fills it
    update();
}

void Tjvswitch2::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QRect text = rect();
    p.fillRect(rect(), Color());
    if (FBorderStyle == bsSingle) {
        p.setPen(Qt::black);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        text = rect().adjusted(1, 1, -1, -1);
    }
    const int state = FStateOn ? 1 : 0;
    const QImage& glyph = !isEnabled() && !drawnDisabled[state].isNull() ? drawnDisabled[state] : drawn[state];
    const int W = width(), H = height(), gw = glyph.width(), gh = glyph.height();
    QPoint at;
    switch (FTextPosition) {
    case tpNone: at = QPoint((W - gw) / 2, (H - gh) / 2); break;
    case tpLeft: at = QPoint(W - gw, (H - gh) / 2); text.setRight(text.right() - gw); break;
    case tpRight: at = QPoint(0, (H - gh) / 2); text.setLeft(text.left() + gw); break;
    case tpAbove: at = QPoint((W - gw) / 2, H - gh); text.setBottom(text.bottom() - gh); break;
    case tpBelow: at = QPoint((W - gw) / 2, 0); text.setTop(text.top() + gh); break;
    }
    if (!glyph.isNull()) p.drawImage(at, glyph);
    lastGlyph = QRect(at, glyph.size());
    if (hasFocus() && FShowFocus && TabStop()) {
        QPen pen(palette().color(QPalette::WindowText), 1, Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(lastGlyph.adjusted(-1, -1, 0, 0));
    }
    if (caption.isEmpty()) return;
    // one line, the height of "W", centred in what is left
    p.setFont(font());
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const int lineH = QFontMetrics(font()).boundingRect(QStringLiteral("W")).height();
    const QRect line(text.left(), text.top() + (text.height() - lineH) / 2, text.width(), lineH);
    p.drawText(line, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextExpandTabs | Qt::TextDontClip,
               caption);
}

void Tjvswitch2::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        pressedLeft = true;
        if (TabStop()) setFocus(Qt::MouseFocusReason);
        ToggleSwitch();
    }
    const QPoint at = e->position().toPoint();
    emit mouseDown(e->button(), e->modifiers(), at.x(), at.y());
}

void Tjvswitch2::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint at = e->position().toPoint();
    emit mouseUp(e->button(), e->modifiers(), at.x(), at.y());
    if (e->button() == Qt::LeftButton && pressedLeft) {
        pressedLeft = false;
        if (rect().contains(at)) emit clicked();
    }
}

void Tjvswitch2::keyPressEvent(QKeyEvent* e)
{
    emit keyDown(e->key(), e->modifiers());
    if (QKeySequence(e->keyCombination()) == ToggleKey) {
        ToggleSwitch();
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

bool Tjvswitch2::event(QEvent* e)
{
    if (e->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(e)->shortcutId() == mnemonicId) {
        // Alt and the caption's letter focus the switch; they do not toggle it
        setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    return QWidget::event(e);
}

void Tjvswitch2::focusInEvent(QFocusEvent* e)
{
    update();
    QWidget::focusInEvent(e);
}

void Tjvswitch2::focusOutEvent(QFocusEvent* e)
{
    update();
    QWidget::focusOutEvent(e);
}

void Tjvswitch2::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange) update();
    QWidget::changeEvent(e);
}
