// Cuts one stream of a child's output into lines. A line ends at CR or LF (progress lines end
// in CR alone); a line may arrive over several reads. Lines are UTF-8; empty ones are dropped.
// A line longer than kMaxLine bytes is handed on in pieces of that size, so a child that never
// ends its line cannot make the reader grow without bound.
#pragma once

#include <QByteArray>
#include <QStringList>

class OutputLines {
public:
    static constexpr qsizetype kMaxLine = 64 * 1024;

    // The lines that the bytes complete.
    QStringList add(const QByteArray& bytes);
    // What is left after the stream ended, as a last line.
    QStringList finish();

private:
    QByteArray pending;
};
