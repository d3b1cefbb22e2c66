#include "controllers/dispatch/controllersurface.h"

const char* surfaceButtonName(SurfaceButton b)
{
    static const char* const kNames[] = {
#define OSTREL_SURFACE_NAME(name) #name,
        OSTREL_SURFACE_BUTTONS(OSTREL_SURFACE_NAME)
#undef OSTREL_SURFACE_NAME
    };
    const auto i = size_t(b);
    return i < sizeof kNames / sizeof kNames[0] ? kNames[i] : "";
}

HotCueLook hotCueLook(double a, double b)
{
    if (!(a > 0)) return HotCueLook::empty;
    return b > 0 ? HotCueLook::loop : HotCueLook::cue;
}
