// The kit's drawing routines and small helpers, shared by every instrument control.
// Rectangles follow QRect (right() and bottom() are the last pixel inside).
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>

#include "snkins/vr/tvrtypes.h"

class QPainter;
class QFont;

// P % of T: P × T div 100, exact in 64 bits (saturated to the int range).
int SolveForX(int64_t P, int64_t T);
// V as a whole percent of T: V × 100 div T; 0 when T is 0.
int SolveForY(int64_t V, int64_t T);
// num / den rounded to the nearest integer, halves to even; 0 when den is 0.
int64_t RoundHalfEven(int64_t num, int64_t den);

inline int MinIntVal(int a, int b) { return a < b ? a : b; }
inline int MaxIntVal(int a, int b) { return a > b ? a : b; }
inline int WidthOf(const QRect& r) { return r.width(); }
inline int HeightOf(const QRect& r) { return r.height(); }
inline QRect BitmapRect(const QImage& bitmap) { return QRect(0, 0, bitmap.width(), bitmap.height()); }
inline bool CompareRect(const QRect& a, const QRect& b) { return a == b; }

// Rounded to the nearest integer (halves to even) and clamped to 0..255; NaN gives 0.
int CorrectColor(double c);
// red + green × 256 + blue × 65536, each through CorrectColor.
TColor ERGB(double red, double green, double blue);
// A system colour (top bit set) becomes the current value of that colour; others are unchanged.
TColor Color2RGB(TColor c);
// A kit colour (system colours resolved) as Qt takes it.
QColor VrColor(TColor c);

// Colour bands from StartColor to EndColor: Orientation 1 runs left to right in columns Band wide,
// 0 top to bottom in rows Band high; any other code draws nothing. A Band below 1 is taken as 1.
// The last band may reach past the rectangle.
void DrawGradient(QPainter& canvas, const QRect& rect, TColor StartColor, TColor EndColor, int Orientation,
                  int Band);
void DrawGradientHorizontal(QPainter& canvas, const QRect& rect, double r, double g, double b, int Band,
                            double dr, double dg, double db);
void DrawGradientVertical(QPainter& canvas, const QRect& rect, double r, double g, double b, int Band,
                          double dr, double dg, double db);

// Where a glyph and its caption go inside a client rectangle. Layout is a cfImageTextLayout code;
// Margin or Spacing -1 means "share the free space". GlyphPos receives the glyph's top-left
// corner, TextBounds the caption's rectangle.
void CalcImageTextLayout(const QFont& font, const QRect& client, const QPoint& offset, const QString& caption,
                         int Layout, int Margin, int Spacing, const QSize& glyphSize, QPoint& GlyphPos,
                         QRect& TextBounds);

// Width nested 1-pixel frames, top-left edges in TopColor and bottom-right in BottomColor;
// rect ends shrunk by Width on every side.
void DrawFrame3D(QPainter& canvas, QRect& rect, TColor TopColor, TColor BottomColor, int Width);
// The bitmap unscaled at every multiple of its size from rect's top-left corner inside rect.
void DrawTiledBitmap(QPainter& canvas, const QRect& rect, const QImage& bitmap);
// Transparent: the src part of bitmap into dest with every pixel of TransColor left out.
// Otherwise: the whole bitmap stretched into dest.
void DrawBitmap(QPainter& canvas, const QRect& dest, const QImage& bitmap, TColor TransColor, bool Transparent,
                const QRect& src);
// The src part of image with every pixel of colour key (compared as RGB) made see-through.
QImage KeyedImage(const QImage& image, const QRect& src, QRgb key);

// The part of text before the first Delimiter, removed from text with the delimiter; without
// one, the whole text (text is left empty).
QString GetStrParam(QString& text, QChar Delimiter);
