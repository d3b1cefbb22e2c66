#include "controllers/dispatch/actiondispatcher.h"

#include <cstddef>

ActionDispatcher::ActionDispatcher(ControllerSurface& surface, ControllerValues& values, DispatcherState& state,
                                   ControllerTables& tables)
    : surface_(surface), state_(state), values_(values), tables_(tables)
{
    addTransportActions();
    addHotCueLoopActions();
    addPitchJogActions();
    addMixerActions();
    addEffectsActions();
    addPadActions();
    addBrowserActions();
}

bool ActionDispatcher::hasNoAction(int code)
{
    if (code < 0 || code >= kCodes) return true;
    switch (code) {
    case 0:
    case 104: case 105: case 106: case 107:
    case 110: case 111: case 112: case 113: case 114:
    case 116: case 117: case 118: case 119: case 120:
    case 152: case 181: case 235:
        return true;
    default:
        return false;
    }
}

void ActionDispatcher::set(int code, Action run, int deck, int arg)
{
    if (hasNoAction(code)) return;
    table_[std::size_t(code)] = Entry{run, deck, arg};
}

void ActionDispatcher::updatecontroler(TInfo& info)
{
    if (hasNoAction(info.accion)) return;
    const Entry& entry = table_[std::size_t(info.accion)];
    if (!entry.run) return;
    TInfo e = info;
    (this->*entry.run)(e, entry.deck, entry.arg);
    info.oldvalor = e.oldvalor;
}
