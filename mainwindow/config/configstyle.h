// The configuration dialog's look in the surface's colours: dark panels, light captions, raised
// grey lists and boxes, the selection blue; deck A amber and deck B green only where a picture
// shows the decks themselves.
#pragma once

#include <QColor>

class QWidget;

class ConfigStyle {
  public:
    static const QColor window; // RGB 32, 32, 32: the dialog and its frame
    static const QColor page;   // RGB 51, 51, 51: the shown pages
    static const QColor text, secondary, raised, raisedHigh, border, selection, deckA, deckB, lit;

    // palette and style sheet of a dialog or box and its children
    static void apply(QWidget* w);
};
