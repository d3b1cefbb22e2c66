// The skinned image: a decoration cut from a graphic (the clip rectangle), drawn stretched,
// centred or at the top left, with the mask colour transparent. A left press on it drags the
// form, as the surface does.
#pragma once

#include "snkins/vs/tvsskingraphiccontrol.h"

// Alignment against the surface: each aligned image takes its side (or the whole surface)
// on its own; aligned images are not stacked against each other.
#include "snkins/talign.h"

class TVsImage : public TVsSkinGraphicControl {
    Q_OBJECT
public:
    explicit TVsImage(QWidget* parent = nullptr);

    // Takes the clip rectangle's size while a graphic is resolved and the image is not aligned.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool on);
    bool Center() const { return FCenter; }
    void SetCenter(bool on);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool on);
    bool FormDrag() const { return FFormDrag; }
    void SetFormDrag(bool on) { FFormDrag = on; }
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign align);

    void SetBounds(int left, int top, int width, int height) override;

protected:
    void Paint() override;
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;

private:
    bool FAutoSize = false;
    bool FCenter = true;
    bool FStretch = false;
    bool FFormDrag = true;
    TAlign FAlign = alNone;
};
