#include "snkins/quor/tnslider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <cmath>
#include <cstdlib>

#include "snkins/quor/kitpicture.h"

namespace {
int nearest(double v) { return int(std::lrint(v)); }  // halves to even
}  // namespace

TnSlider::TnSlider(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    resize(191, 11);
    SetImageRuler(kitPicture("JvSliderRULER"));
    SetImageThumb(kitPicture("JvSliderTHUMB"));
    // once the host has set its fields: split the thumb picture again and recompute
    QTimer::singleShot(10, this, [this] { SetImageThumb(QImage(FImageThumb)); });
}

double TnSlider::difference() const
{
    const int range = Horizontal ? std::abs(FMaxvalue) + std::abs(FMinvalue)
                      : FMinvalue > 0 ? std::abs(FMaxvalue) - std::abs(FMinvalue)
                                      : std::abs(FMaxvalue) + std::abs(FMinvalue);
    const int room = Horizontal ? width() - thumbWidth() : height() - thumbHeight();
    // a range or a control of size 0 leaves no scale: nothing is drawn and drags do nothing
    if (range == 0 || width() <= 0 || height() <= 0) return 0;
    return double(room) / range;
}

void TnSlider::applyAutoSize()
{
    if (AutoSize && FImageRuler.width() > 0 && FImageRuler.height() > 0) resize(FImageRuler.size());
}

void TnSlider::SetImageRuler(const QImage& value)
{
    if (value.isNull()) return;
    FImageRuler = value;
    applyAutoSize();
    update();
}

void TnSlider::SetImageThumb(const QImage& value)
{
    FImageThumb = value;
    const int half = value.width() / 2;
    if (half <= 0 || value.height() <= 0) {
        FThumb1 = FThumb2 = QImage();
    } else {
        const QImage left = value.copy(0, 0, half, value.height());
        const QImage right = value.copy(half, 0, half, value.height());
        FThumb1 = keyedCopy(left, bottomLeftColour(left));
        FThumb2 = keyedCopy(right, bottomLeftColour(right));
    }
    update();
}

int TnSlider::clampToRange(int v) const
{
    if (v > FMaxvalue) v = FMaxvalue;
    if (v < FMinvalue) v = FMinvalue;
    return v;
}

void TnSlider::SetPosition(int value)
{
    value = clampToRange(value);
    FPosition = value;
    FPositioni = value;
    if (finversed)
        FPositioni = clampToRange(2 * FMaxvalue - value - std::abs(FMinvalue) - std::abs(FMaxvalue));
    emit Onchange();
    if (!FTracking) update();
}

void TnSlider::SetMaxvalue(int value)
{
    FMaxvalue = value;
    if (FPosition > value) FPosition = value;
    SetPosition(FPosition);
}

void TnSlider::SetMinvalue(int value)
{
    FMinvalue = value;
    if (FPosition < value) FPosition = value;
    SetPosition(FPosition);
}

void TnSlider::SetInversed(bool value)
{
    finversed = value;
    if (!FTracking) update();
}

void TnSlider::paintEvent(QPaintEvent*)
{
    const double pixels = difference();
    if (pixels == 0 || FImageRuler.isNull()) return;
    QPainter p(this);
    p.drawImage(rect(), FImageRuler);
    if (FThumb1.isNull()) return;
    const int tw = thumbWidth(), th = thumbHeight();
    int x, y;
    if (Horizontal) {
        x = nearest(FPosition * pixels);
        y = th > height() ? 0 : (height() - th) / 2;
        FFrom = y;
    } else {
        x = tw > width() ? 0 : (width() - tw) / 2;
        y = FMinvalue < 1 ? nearest((std::abs(FMinvalue) + FPositioni) * pixels)
                          : nearest(pixels * (FPositioni - FMinvalue));
        FFrom = x;
    }
    p.drawImage(x, y, FThumb1);
    thumbrect = QRect(x, y, tw, th);
    FClicked = false;
}

void TnSlider::moveTo(Qt::MouseButtons buttons, int x, int y)
{
    const double pixels = difference();
    if (!FTracking || !(buttons & Qt::LeftButton) || x == 0 || y == 0 || pixels == 0) return;
    const int tw = thumbWidth(), th = thumbHeight();
    if (Horizontal) {
        const int p = clampToRange(nearest((x - tw / 2) / pixels) - std::abs(FMinvalue));
        FPositioni = p;
        FPosition = p;
    } else {
        int p = nearest((y - th / 2) / pixels);
        int q = nearest((height() - y - th / 2) / pixels);
        const int shift = FMinvalue > 0 ? std::abs(FMinvalue) : -std::abs(FMinvalue);
        p = clampToRange(p + shift);
        q = clampToRange(q + shift);
        FPositioni = p;
        FPosition = finversed ? q : p;
    }
    emit Onchange();
    update();
}

void TnSlider::mousePressEvent(QMouseEvent* e)
{
    const QPoint at = e->position().toPoint();
    FTracking = true;
    emit OnBeginChange();
    if (!FChanged) {
        swapThumbs();
        if (!thumbclick) {
            moveTo(e->buttons(), at.x(), at.y());
            FChanged = true;
        } else {
            const bool beside = Horizontal ? at.x() < thumbrect.left() || at.x() > thumbrect.left() + thumbWidth()
                                           : at.y() < thumbrect.top() || at.y() > thumbrect.top() + thumbHeight();
            if (beside) {
                // a press beside the thumb is its own release; the normal frame shows again
                swapThumbs();
                release();
                return;
            }
            moveTo(e->buttons(), at.x(), at.y());
            FChanged = true;
        }
    }
    update();
}

void TnSlider::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint at = e->position().toPoint();
    moveTo(e->buttons(), at.x(), at.y());
}

void TnSlider::release()
{
    FTracking = false;
    if (FChanged) {
        swapThumbs();
        FChanged = false;
    }
    update();
    emit OnStopChanged();
}

void TnSlider::mouseReleaseEvent(QMouseEvent*)
{
    if (!FTracking) return;  // the press was already released beside the thumb
    release();
}

void TnSlider::keyPressEvent(QKeyEvent* e)
{
    // the arrows move the thumb their way: a vertical slider counts downwards unless Inversed
    int step = 0;
    switch (e->key()) {
    case Qt::Key_Right: step = Horizontal ? 1 : 0; break;
    case Qt::Key_Left: step = Horizontal ? -1 : 0; break;
    case Qt::Key_Down: step = Horizontal ? 0 : (finversed ? -1 : 1); break;
    case Qt::Key_Up: step = Horizontal ? 0 : (finversed ? 1 : -1); break;
    case Qt::Key_Home: SetPosition(FMinvalue); return;
    case Qt::Key_End: SetPosition(FMaxvalue); return;
    default: break;
    }
    if (step == 0) {
        QWidget::keyPressEvent(e);
        return;
    }
    SetPosition(FPosition + step);
}
