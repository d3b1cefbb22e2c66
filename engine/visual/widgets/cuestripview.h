// The strip of cue flags beside a waveform: a widget with a black picture on which the visual
// step draws the cue and loop-cue markers and their numbers in a small white font.
//
// The step redraws the strip every few milliseconds: each text is rendered once and kept, and
// markers and texts are copied in without a painter.
#pragma once

#include <QFont>
#include <QHash>
#include <QImage>

#include "engine/visual/cuestrip.h"
#include "engine/visual/widgets/picturewidget.h"

class CueStripView : public PictureWidget, public CueStrip {
    Q_OBJECT
public:
    explicit CueStripView(QWidget* parent = nullptr);

    // The markers of a cue and of a loop cue (the form's "bmpcue" and "bmpcue2").
    void SetMarks(const QImage& cue, const QImage& loopCue);

    bool HasMarks() const override { return !cue_.isNull(); }
    void Clear() override;
    void DrawMark(int x, int y, bool loop) override;
    void DrawText(int x, int y, const QString& text, TColor color) override;

private:
    // src over the picture at (x, y): opaque, or (lighten) the lighter of each channel
    void put(const QImage& src, int x, int y, bool lighten);

    QImage cue_, loopCue_;
    QFont font_;
    QHash<QString, QImage> texts_;  // by colour and text, drawn on black
};
