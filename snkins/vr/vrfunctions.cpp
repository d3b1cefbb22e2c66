#include "snkins/vr/vrfunctions.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <limits>

#include "snkins/colorref.h"

namespace {

int saturate(int64_t v)
{
    return int(std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// P × T fits in 64 bits for every pair of ints; wider arguments are cut to the int range first.
int64_t toInt(int64_t v) { return std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()); }

}  // namespace

int SolveForX(int64_t P, int64_t T) { return saturate(toInt(P) * toInt(T) / 100); }

int SolveForY(int64_t V, int64_t T)
{
    if (T == 0) return 0;
    return saturate(toInt(V) * 100 / toInt(T));
}

int64_t RoundHalfEven(int64_t num, int64_t den)
{
    if (den == 0) return 0;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    int64_t q = num / den, r = num % den;
    if (r < 0) {  // floor division
        --q;
        r += den;
    }
    const int64_t twice = 2 * r;
    if (twice > den || (twice == den && (q & 1))) ++q;
    return q;
}

int CorrectColor(double c)
{
    if (std::isnan(c)) return 0;
    const double r = std::nearbyint(c);
    return r < 0 ? 0 : r > 255 ? 255 : int(r);
}

TColor ERGB(double red, double green, double blue)
{
    return TColor(CorrectColor(red)) | (TColor(CorrectColor(green)) << 8) | (TColor(CorrectColor(blue)) << 16);
}

TColor Color2RGB(TColor c)
{
    if (!(c & clSystemColor)) return c;
    const QPalette pal = QGuiApplication::palette();
    QPalette::ColorGroup group = QPalette::Active;
    QPalette::ColorRole role = QPalette::Window;
    switch (c & 0xFF) {
    case 5: role = QPalette::Base; break;
    case 6: role = QPalette::Shadow; break;
    case 7: role = QPalette::WindowText; break;
    case 8: role = QPalette::Text; break;
    case 9: role = QPalette::HighlightedText; break;
    case 2:
    case 13: role = QPalette::Highlight; break;
    case 14: role = QPalette::HighlightedText; break;
    case 15: role = QPalette::Button; break;
    case 16: role = QPalette::Dark; break;
    case 17:
        group = QPalette::Disabled;
        role = QPalette::Text;
        break;
    case 18: role = QPalette::ButtonText; break;
    case 20: role = QPalette::Light; break;
    case 21: role = QPalette::Shadow; break;
    case 22: role = QPalette::Midlight; break;
    case 23: role = QPalette::ToolTipText; break;
    case 24: role = QPalette::ToolTipBase; break;
    default: break;
    }
    return colorToRef(pal.color(group, role));
}

QColor VrColor(TColor c) { return colorFromRef(Color2RGB(c)); }

void DrawGradientHorizontal(QPainter& canvas, const QRect& rect, double r, double g, double b, int Band,
                            double dr, double dg, double db)
{
    Band = std::max(Band, 1);
    const int W = std::max(1, rect.width()), H = std::max(1, rect.height());
    for (int x = 0; x <= W; x += Band) {
        canvas.fillRect(QRect(rect.left() + x, rect.top(), Band, H), colorFromRef(ERGB(r, g, b)));
        r += dr / W * Band;
        g += dg / W * Band;
        b += db / W * Band;
    }
}

void DrawGradientVertical(QPainter& canvas, const QRect& rect, double r, double g, double b, int Band,
                          double dr, double dg, double db)
{
    Band = std::max(Band, 1);
    const int W = std::max(1, rect.width()), H = std::max(1, rect.height());
    for (int y = 0; y <= H; y += Band) {
        canvas.fillRect(QRect(rect.left(), rect.top() + y, W, Band), colorFromRef(ERGB(r, g, b)));
        r += dr / H * Band;
        g += dg / H * Band;
        b += db / H * Band;
    }
}

void DrawGradient(QPainter& canvas, const QRect& rect, TColor StartColor, TColor EndColor, int Orientation,
                  int Band)
{
    const TColor s = Color2RGB(StartColor), e = Color2RGB(EndColor);
    const double r = s & 0xFF, g = (s >> 8) & 0xFF, b = (s >> 16) & 0xFF;
    const double dr = double(e & 0xFF) - r, dg = double((e >> 8) & 0xFF) - g, db = double((e >> 16) & 0xFF) - b;
    if (Orientation == 1)
        DrawGradientHorizontal(canvas, rect, r, g, b, Band, dr, dg, db);
    else if (Orientation == 0)
        DrawGradientVertical(canvas, rect, r, g, b, Band, dr, dg, db);
}

void CalcImageTextLayout(const QFont& font, const QRect& client, const QPoint& offset, const QString& caption,
                         int Layout, int Margin, int Spacing, const QSize& glyphSize, QPoint& GlyphPos,
                         QRect& TextBounds)
{
    const QSize clientSize = client.size();
    QSize textSize(0, 0);
    if (!caption.isEmpty()) {
        const QFontMetrics fm(font);
        textSize = QSize(fm.horizontalAdvance(caption), fm.height());
    }
    QPoint textPos;
    const bool sideways = Layout == 1 || Layout == 2;
    if (sideways) {
        GlyphPos.setY((clientSize.height() - glyphSize.height() + 1) / 2);
        textPos.setY((clientSize.height() - textSize.height() + 1) / 2);
    } else {
        GlyphPos.setX((clientSize.width() - glyphSize.width() + 1) / 2);
        textPos.setX((clientSize.width() - textSize.width() + 1) / 2);
    }
    if (textSize.width() == 0 || glyphSize.width() == 0) Spacing = 0;

    const int size = sideways ? clientSize.width() : clientSize.height();
    const int glyph = sideways ? glyphSize.width() : glyphSize.height();
    const int text = sideways ? textSize.width() : textSize.height();
    if (Margin == -1) {
        if (Spacing == -1) {
            Spacing = (size - glyph - text) / 3;
            Margin = Spacing;
        } else {
            Margin = (size - (glyph + Spacing + text) + 1) / 2;
        }
    } else if (Spacing == -1) {
        Spacing = (size - Margin - glyph - text) / 2;
    }

    switch (Layout) {
    case 1:
        GlyphPos.setX(Margin);
        textPos.setX(GlyphPos.x() + glyphSize.width() + Spacing);
        break;
    case 2:
        GlyphPos.setX(clientSize.width() - Margin - glyphSize.width());
        textPos.setX(GlyphPos.x() - Spacing - textSize.width());
        break;
    case 3:
        GlyphPos.setY(Margin);
        textPos.setY(GlyphPos.y() + glyphSize.height() + Spacing);
        break;
    case 4:
        GlyphPos.setY(clientSize.height() - Margin - glyphSize.height());
        textPos.setY(GlyphPos.y() - Spacing - textSize.height());
        break;
    default: break;
    }
    GlyphPos += client.topLeft() + offset;
    // the horizontal offset moves the text on both axes; every caller passes a zero offset
    TextBounds = QRect(textPos + client.topLeft() + QPoint(offset.x(), offset.x()), textSize);
}

void DrawFrame3D(QPainter& canvas, QRect& rect, TColor TopColor, TColor BottomColor, int Width)
{
    const QColor top = VrColor(TopColor), bottom = VrColor(BottomColor);
    for (; Width > 0; --Width) {
        const int l = rect.left(), t = rect.top(), r = rect.right(), b = rect.bottom();
        if (r >= l && b >= t) {
            canvas.fillRect(QRect(l, t, 1, b - t), top);       // left edge, bottom corner excluded
            canvas.fillRect(QRect(l, t, r - l, 1), top);       // top edge, right corner excluded
            canvas.fillRect(QRect(r, t, 1, b - t + 1), bottom);
            canvas.fillRect(QRect(l, b, r - l + 1, 1), bottom);
        }
        rect.adjust(1, 1, -1, -1);
    }
}

void DrawTiledBitmap(QPainter& canvas, const QRect& rect, const QImage& bitmap)
{
    if (bitmap.isNull()) return;
    for (int y = rect.top(); y <= rect.bottom(); y += bitmap.height())
        for (int x = rect.left(); x <= rect.right(); x += bitmap.width()) canvas.drawImage(x, y, bitmap);
}

QImage KeyedImage(const QImage& image, const QRect& src, QRgb key)
{
    QImage part = image.copy(src).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRgb k = key & 0xFFFFFF;
    for (int y = 0; y < part.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(part.scanLine(y));
        for (int x = 0; x < part.width(); ++x)
            if ((line[x] & 0xFFFFFF) == k && qAlpha(line[x]) == 255) line[x] = 0;
    }
    return part;
}

void DrawBitmap(QPainter& canvas, const QRect& dest, const QImage& bitmap, TColor TransColor, bool Transparent,
                const QRect& src)
{
    if (bitmap.isNull()) return;
    if (Transparent)
        canvas.drawImage(dest, KeyedImage(bitmap, src, VrColor(TransColor).rgb()));
    else
        canvas.drawImage(dest, bitmap);
}

QString GetStrParam(QString& text, QChar Delimiter)
{
    const qsizetype at = text.indexOf(Delimiter);
    if (at < 0) {
        QString all = text;
        text.clear();
        return all;
    }
    QString head = text.left(at);
    text.remove(0, at + 1);
    return head;
}
