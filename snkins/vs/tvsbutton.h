// The skinned button: five state cells side by side in its clip rectangle, each as wide as
// the button (0 normal, 1 pressed, 2 disabled, 3 disabled and down, 4 hot). Pixels of the
// mask colour are see-through and take no presses. bsButton flips Down on every accepted
// press; bsSwitch latches it, and a release off the button cancels the latch.
#pragma once

#include "snkins/vs/tvsskingraphiccontrol.h"

enum TVsButtonStyle { bsButton, bsSwitch };

class TVsButton : public TVsSkinGraphicControl {
    Q_OBJECT
public:
    explicit TVsButton(QWidget* parent = nullptr);

    TVsButtonStyle Style() const { return FStyle; }
    void SetStyle(TVsButtonStyle style);
    bool Down() const { return FDown; }
    void SetDown(bool down);
    // The pointer is over an opaque pixel; the left button is held since a press on it.
    bool HasMouse() const { return FHasMouse; }
    bool BtnDown() const { return FBtnDown; }
    // The cell shown now (0..4).
    int CellIndex() const;

    // While a graphic is resolved: clip width div 5 by clip height, whatever is asked.
    void SetBounds(int left, int top, int width, int height) override;

signals:
    void OnClick(QObject* Sender);

protected:
    void Paint() override;
    bool HitTest(int x, int y) override;
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseLeave() override;

private:
    // FMask: the current state cell over the background; the hit-test image too.
    void UpdateMask();
    void Leave();

    bool FHasMouse = false;
    bool FBtnDown = false;
    TVsButtonStyle FStyle = bsButton;
    bool FDown = false;
    QImage FMask;
};
