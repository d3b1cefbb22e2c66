// Small fixtures for the skin engine's tests: an application on the offscreen platform, a
// form with a composer and a surface, pictures drawn with QPainter, and pointer events as a
// real pointer sends them.
#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <memory>
#include <ostream>

#include "snkins/vs/tvscomposer.h"
#include "snkins/vs/tvsskin.h"

// Texts in test messages as text.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// The application every widget test needs (one per process).
void ensureApp();

// Fuchsia, the key colour of the fixtures, as Qt colours it.
inline const QColor kKey{255, 0, 255};

// A background of w x h in `fill` with fuchsia corners of `corner` pixels (0: none).
QImage backgroundPicture(int w, int h, QColor fill, int corner);
// `count` cells of cw x ch side by side, cell i filled with cellColor(i), its top left pixel
// fuchsia.
QImage cellPicture(int count, int cw, int ch);
QColor cellColor(int i);

void addGraphic(TVsComposer& composer, const QString& name, const QImage& image);

// A form holding a composer and a surface named "skin" on the background "fondo.bmp"
// (200 x 100, grey, fuchsia corners of 10), "boton.bmp" (5 cells of 20 x 10) and
// "thumb.bmp" (2 cells of 32 x 20).
struct SkinRig {
    SkinRig();
    std::unique_ptr<QWidget> form;
    TVsComposer* composer;
    TVsSkin* skin;
};

// Pointer events straight to a widget: a move with no button, a press, a move with the left
// button held, a release.
void pointerMove(QWidget* w, QPoint at, bool leftHeld = false);
void pointerPress(QWidget* w, QPoint at);
void pointerRelease(QWidget* w, QPoint at);
