// The colours of the form's graphics, one place for the art generator that draws them and the
// tests that check their contrast: per look ("A" deck A amber, "B" deck B green, "neutral",
// "red", "loop", and the hot cue states "cueEmptyA", "cueSetA", "cueLoopA" and their B twins)
// and per cell of a skinned button (0 rest, 1 pressed or lit, 2 disabled, 3 disabled and
// down, 4 hot). Colours as RGB.
#pragma once

#include <QColor>
#include <QString>

namespace formlook {

struct Cell {
    QColor fill;   // the cell's face
    QColor edge;   // its 1-pixel outline
    QColor text;   // caption or symbol
    bool ring = false;  // a light ring inside the edge (the current hot cue)
};

// The look's accent at full strength.
QColor accent(const QString& look);
// The colours of `cell` (0..4) of a button graphic of `look`; `alwaysLit` draws every enabled
// cell lit (a graphic that shows an open dialog).
Cell buttonCell(const QString& look, int cell, bool alwaysLit = false);
// WCAG relative luminance and the contrast ratio of two colours (1 .. 21).
double luminance(const QColor& c);
double contrast(const QColor& a, const QColor& b);

// Captions are at least this many pixels high (their inked height).
inline constexpr int kMinCaptionHeight = 9;
// Below this width a button carries a symbol, not a caption.
inline constexpr int kMinCaptionWidth = 14;

}  // namespace formlook
