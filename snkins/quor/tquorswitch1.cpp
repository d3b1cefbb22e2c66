#include "snkins/quor/tquorswitch1.h"

#include <QMouseEvent>

#include "snkins/quor/kitcolours.h"
#include "snkins/quor/kitpicture.h"

TQuorSwitch1::TQuorSwitch1(QWidget* parent) : Tjvswitch2(parent)
{
    setGlyphOn(kitPicture("bon3"));
    setGlyphOff(kitPicture("boff3"));
    setTransparentColor(1, qRgb(0, 0, 0));
    setTransparentColor(0, qRgb(0, 0, 0));
    QFont f(QStringLiteral("Arial"));
    // the parent's size as it was given: a font sized in pixels has no point size
    if (font().pixelSize() > 0)
        f.setPixelSize(font().pixelSize());
    else
        f.setPointSizeF(font().pointSizeF());
    setFont(f);
    setKitColours(this, QColor(), Qt::black);
    resize(98, 22);
    setTabStop(false);
}

void TQuorSwitch1::mousePressEvent(QMouseEvent* e)
{
    Tjvswitch2::mousePressEvent(e);
    setStateOn(true);
}

void TQuorSwitch1::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint at = e->position().toPoint();
    emit mouseUp(e->button(), e->modifiers(), at.x(), at.y());
    setStateOn(false);
    if (e->button() == Qt::LeftButton && rect().contains(at)) emit clicked();
}
