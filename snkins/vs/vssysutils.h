// The text encodings of skin description files:
//   rectangle  "left,top,width,height"             10,20,100,25
//   colour     "red,green,blue", empty for none     255,0,255 (each field's low 8 bits count)
//   font       "name,size,styles,pitch,charset"     Arial,8,B,0,1 (styles: letters B I U S)
// Readers throw SkinError with a conversion message on a field that is not a number.
#pragma once

#include <QRect>
#include <QString>
#include <cstdint>

#include "snkins/vs/skinfont.h"

// Takes the text up to the first comma out of `text`, with the comma; without a comma, the
// whole text (which becomes empty).
QString GetParam(QString& text);

// A decimal integer (surrounding blanks allowed, "$" for hexadecimal); anything else, or a
// number beyond 32 bits, throws "'<text>' is not a valid integer value".
int StrToInt(const QString& text);
// The same without the error: `fallback` for text that is not a number.
int StrToIntDef(const QString& text, int fallback);

// The largest coordinate or size a rectangle field may hold: a widget's limit.
constexpr int kMaxCoordinate = 16777215;

QString RectToStr(const QRect& r);
// Four numbers of at most kMaxCoordinate each, else a conversion error.
QRect StrToRect(const QString& text);

// 0xBBGGRR in, "r,g,b" out; a system colour is written as the colour it shows now, clNone
// as empty text.
QString RGBToStr(uint32_t color);
uint32_t StrToRGB(const QString& text);

QString FontStylesToString(int styles);
// Each of B, I, U, S anywhere in the text (any case) sets that style; the others are off.
int StringToFontStyles(const QString& text);

QString FontToStr(const SkinFont& font);
// Reads the fields present into `font`; missing trailing fields, an empty name and a size,
// pitch or character set that is not a number keep the font's value.
void StrToFont(const QString& text, SkinFont& font);
