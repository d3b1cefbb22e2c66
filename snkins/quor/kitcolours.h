// The colours and the face of a kit widget.
#pragma once

#include <QColor>

class QWidget;

// The background (window and base roles, filled) and the text (window text and text roles);
// an invalid colour leaves its roles as they are.
void setKitColours(QWidget* w, const QColor& back, const QColor& text);

// Arial bold at the widget's own size
void setArialBold(QWidget* w);
