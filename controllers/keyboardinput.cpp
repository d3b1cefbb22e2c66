#include "controllers/keyboardinput.h"

#include "controllers/controllertables.h"
#include "controllers/dispatch/controllersurface.h"
#include "controllers/dispatch/tinfo.h"

KeyboardInput::KeyboardInput(ControllerTables& tables, TInfo& bp, ControllerSurface& surface,
                             std::function<void(TInfo&)> updatecontroler)
    : tables_(tables), bp_(bp), surface_(surface), updatecontroler_(std::move(updatecontroler))
{
}

bool KeyboardInput::AppOnMessage(int vk, bool down, bool autoRepeat, ShiftSide side)
{
    if (!usekeyboard) return false;
    if (autoRepeat) return true;
    if (down && vk == VirtualKeys::kShift)
        vk = side == ShiftSide::Left ? VirtualKeys::kLeftShift : VirtualKeys::kRightShift;
    const MappingEntry empty{};
    const MappingEntry& e = vk >= 0 && vk < ControllerTables::kKeyEntries ? tables_.keyinbut[size_t(vk)] : empty;
    bp_.accion = e[0];
    bp_.value = down ? e[2] : 0;
    bp_.valor = down ? e[2] : 0;
    if (updatecontroler_) updatecontroler_(bp_);
    return false;
}

void KeyboardInput::VsButton3Click()
{
    iskeyboard = !iskeyboard;
    usekeyboard = iskeyboard;
    surface_.setPanelsIskeyboard(iskeyboard);
}

void KeyboardInput::followHint(const QString& word)
{
    if (word == QLatin1String("NOKEY")) usekeyboard = false;
    else if (word == QLatin1String("KEY")) usekeyboard = iskeyboard;
}
