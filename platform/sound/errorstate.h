// Setting the per-thread error code behind sound::lastError().
#pragma once

#include "platform/sound/sound.h"

namespace sound {

void setError(Error e);

// Sets e and returns r: `return fail(Error::Handle, false);`
template <class R>
R fail(Error e, R r)
{
    setError(e);
    return r;
}

}  // namespace sound
