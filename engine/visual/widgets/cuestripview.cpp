#include "engine/visual/widgets/cuestripview.h"

#include <algorithm>

#include <QFontMetrics>
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
    cue_ = cue.convertToFormat(QImage::Format_RGB32);
    loopCue_ = loopCue.convertToFormat(QImage::Format_RGB32);
}

void CueStripView::Clear()
{
    picture().fill(Qt::black);
    update();
}

void CueStripView::put(const QImage& src, int x, int y, bool lighten)
{
    QImage& dst = picture();
    const int x0 = std::max(x, 0), x1 = std::min(x + src.width(), dst.width());
    const int y0 = std::max(y, 0), y1 = std::min(y + src.height(), dst.height());
    for (int row = y0; row < y1; ++row) {
        const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(row - y)) + (x0 - x);
        QRgb* out = reinterpret_cast<QRgb*>(dst.scanLine(row)) + x0;
        for (int i = 0; i < x1 - x0; ++i) {
            const QRgb a = in[i], b = out[i];
            out[i] = lighten ? qRgb(std::max(qRed(a), qRed(b)), std::max(qGreen(a), qGreen(b)),
                                    std::max(qBlue(a), qBlue(b)))
                             : a;
        }
    }
    update();
}

void CueStripView::DrawMark(int x, int y, bool loop)
{
    const QImage& mark = loop ? loopCue_ : cue_;
    if (!mark.isNull()) put(mark, x, y, false);
}

void CueStripView::DrawText(int x, int y, const QString& text, TColor color)
{
    const QString key = QString::number(color) + QLatin1Char(' ') + text;
    auto it = texts_.constFind(key);
    if (it == texts_.constEnd()) {
        const QFontMetrics m(font_);
        QImage img(std::max(m.horizontalAdvance(text) + 2, 1), m.height(), QImage::Format_RGB32);
        img.fill(Qt::black);
        QPainter p(&img);
        p.setFont(font_);
        p.setPen(colorFromRef(color));
        p.drawText(img.rect(), Qt::AlignLeft | Qt::AlignTop, text);
        p.end();
        it = texts_.insert(key, img);
    }
    put(*it, x, y, true);
}
