// The interface style "Korvanta" that both programs apply at start: Qt's Fusion style with the
// surface's dark palette, for the standard widgets (edit boxes, lists, dialogs, message boxes).
#pragma once

class QApplication;

void ApplyKorvantaStyle(QApplication& app);
