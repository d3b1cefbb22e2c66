#include "engine/visual/widgets/cuestripview.h"

#include <QPainter>

#include "snkins/colorref.h"

CueStripView::CueStripView(QWidget* parent) : PictureWidget(parent)
{
    font_ = QFont(QStringLiteral("DejaVu Sans Condensed"));
    font_.setBold(true);
    font_.setPixelSize(9);  // 7 points on a 96-dpi screen
}

void CueStripView::SetMarks(const QImage& cue, const QImage& loopCue)
{
    cue_ = cue;
    loopCue_ = loopCue;
}

void CueStripView::Clear()
{
    picture().fill(Qt::black);
    update();
}

void CueStripView::DrawMark(int x, int y, bool loop)
{
    const QImage& mark = loop ? loopCue_ : cue_;
    if (mark.isNull()) return;
    QPainter(&picture()).drawImage(x, y, mark);
    update();
}

void CueStripView::DrawText(int x, int y, const QString& text, TColor color)
{
    QPainter p(&picture());
    p.setFont(font_);
    p.setPen(colorFromRef(color));
    p.drawText(QRect(x, y, width() + 1000, height() + 100), Qt::AlignLeft | Qt::AlignTop, text);
    update();
}
