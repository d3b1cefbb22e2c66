#include "snkins/dialogs/mainloophook.h"

#include <atomic>

#include "engine/mainservices.h"

namespace {
std::atomic<MainServices*> host{nullptr};
}

void setMainLoopHost(MainServices* h) { host.store(h); }

MainServices* mainLoopHost() { return host.load(); }

bool callMmain(bool flag)
{
    if (MainServices* h = host.load()) h->mmain(flag);
    return true;
}
