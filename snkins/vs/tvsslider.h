// The skinned slider: a thumb moved along a track that is part of the surface's background.
// The clip rectangle holds two thumb cells side by side (0 enabled, 1 disabled); the thumb
// is half the clip wide and the clip high. sdHorz grows to the right, sdVert upwards.
#pragma once

#include "snkins/vs/tvsskingraphiccontrol.h"

enum TVsSliderDirection { sdHorz, sdVert };

class TVsSlider : public TVsSkinGraphicControl {
    Q_OBJECT
public:
    explicit TVsSlider(QWidget* parent = nullptr);

    int MinValue() const { return FMinValue; }
    // Ignored unless below MaxValue; a Position below the new minimum is raised to it.
    void SetMinValue(int value);
    int MaxValue() const { return FMaxValue; }
    // Ignored unless above MinValue; a Position above the new maximum is lowered to it.
    void SetMaxValue(int value);
    int Position() const { return FPosition; }
    // Clamped to MinValue..MaxValue; a change repaints and fires OnChange.
    void SetPosition(int value);
    TVsSliderDirection Direction() const { return FDirection; }
    void SetDirection(TVsSliderDirection direction);

    // Where the thumb is drawn, in the slider's coordinates.
    QRect ThumbRect();
    bool Dragging() const { return FDragging; }

    void WriteConfig(TVsIni& ini) const override;
    void ReadConfig(const TVsIni& ini) override;

signals:
    void OnChange(QObject* Sender);

protected:
    void Paint() override;
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;

private:
    QSize ThumbSize() const;
    // Room the thumb travels: the client length less the thumb's.
    int ViewWidth() const;
    // A thumb offset is the thumb's left (sdHorz) or top (sdVert) edge.
    int OffsetOfValue(int value) const;
    int ValueOfOffset(int offset) const;
    void SetThumbOffset(int offset);
    void AdjustThumb();

    QRect FThumbRect;
    int FMinValue = 0;
    int FMaxValue = 100;
    int FPosition = 0;
    bool FDragging = false;
    TVsSliderDirection FDirection = sdHorz;
    int FHit = 0;
};
