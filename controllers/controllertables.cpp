#include "controllers/controllertables.h"

ControllerTables::ControllerTables()
    : midiinbut(kMidiEntries), midiourec(kMidiEntries), midiinbut2(kMidiEntries), midiourec2(kMidiEntries)
{
}
