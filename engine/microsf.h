// Small text, path and SQL-literal routines shared by every subsystem. None keeps state.
#pragma once

#include <cstdint>
#include <QString>

QString QS(const QString& s);        // 'text' with inner single quotes doubled
QString QFloat(double v);            // the number in the C locale, quoted as by QS
QString QN(const QString& s);        // a number text re-formatted; "0" when it is not a number
QString QSS(const QString& s);       // unchanged
QString LTrim(const QString& s);     // leading blanks (32 only) removed
QString RTrim(const QString& s);     // trailing blanks (32 only) removed
QString ByteToHex(uint8_t b);        // two upper-case hex digits
QString ShortFileName(const QString& path);  // no short form here: the path, or "" when missing
QString LongFileName(const QString& path);   // the path when it names an existing file, else ""
int MinMaxInt(int value, int lo, int hi);
// The primary screen's logical pixels per inch (96 x 96 without a GUI or a screen).
void GetSystemDPI(int& x, int& y);

// shortest general format of a number, C locale (the form SQL and the stored texts use)
QString FloatText(double v);
