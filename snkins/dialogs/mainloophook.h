// The main loop pause as the kit's dialogs reach it (the main window's mmain). The main
// window registers itself once it exists; until then a pause or resume does nothing.
#pragma once

class MainServices;

void setMainLoopHost(MainServices* host);
MainServices* mainLoopHost();
// host->mmain(flag) when a host is registered; always true, as mmain is
bool callMmain(bool flag);
