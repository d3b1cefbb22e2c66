// Windows virtual-key codes, the numbers keyboard maps are written in, for the keys Qt reports:
// letters, digits, function keys, the keypad, the arrows and the named keys. Left and right Shift
// come from the native key, which says which one was pressed whatever else is held.
#pragma once

#include <QtGlobal>

enum class ShiftSide { Unknown, Left, Right };

class VirtualKeys {
public:
    static constexpr int kShift = 16;       // either Shift; releases of both look this entry up
    static constexpr int kLeftShift = 162;  // the keyboard maps' numbers for the two Shift keys
    static constexpr int kRightShift = 163;

    // The virtual-key code of a Qt key (a Qt::Key value); `keypad` when Qt::KeypadModifier is set.
    // 0 for a key that has none. Shifted symbols of the number row give their digit, so a press
    // and a release with Shift changed between them name the same key.
    static int fromQtKey(int qtKey, bool keypad);

    // Which Shift key: QKeyEvent's nativeVirtualKey (an X keysym: Shift_L 0xffe1, Shift_R 0xffe2),
    // else its nativeScanCode (X keycode 50 left, 62 right).
    static ShiftSide shiftSide(quint32 nativeVirtualKey, quint32 nativeScanCode);
};
